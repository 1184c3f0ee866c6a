"""Contact sheet: every image of the theme on the window background, labelled with its
name, size and frame count, frame borders marked, plus a rough mock of the main window
and the message box put together from the same files (Pillow, not the toolkit)."""
import glob
import os

from PIL import Image, ImageDraw, ImageFont

from .keyboard import load_layouts
from .manifest import BY_NAME
from .theme import TEXT, legend_font, ui_font

SHEET_W = 1320
PAD = 20
LABEL = (190, 192, 198)
MARK = (236, 28, 36)


class Sheet:
    def __init__(self):
        self.parts = []        # (image, x, y)
        self.labels = []       # (text, x, y, font, colour)
        self.y = PAD
        self.font = ImageFont.truetype(ui_font(), 12)
        self.title_font = ImageFont.truetype(ui_font(bold=True), 20)
        self.caption_font = ImageFont.truetype(legend_font(), 13)

    def heading(self, text):
        self.y += 10
        self.labels.append((text, PAD, self.y, self.title_font, TEXT))
        self.y += 34

    def flow(self, items):
        """Lays out (image, label) tiles left to right, wrapping."""
        x, row_h = PAD, 0
        for image, label in items:
            w, h = image.size
            tile_w = max(w, int(self.font.getlength(label)) + 4)
            if x + tile_w > SHEET_W - PAD:
                x, self.y = PAD, self.y + row_h + 14
                row_h = 0
            self.parts.append((image, x, self.y))
            self.labels.append((label, x, self.y + h + 4, self.font, LABEL))
            x += tile_w + 22
            row_h = max(row_h, h + 20)
        self.y += row_h + 14

    def block(self, image, label):
        self.parts.append((image, PAD, self.y))
        self.labels.append((label, PAD, self.y + image.height + 4, self.font, LABEL))
        self.y += image.height + 30

    def render(self):
        h = self.y + PAD
        sheet = Image.new("RGBA", (SHEET_W, h), (17, 18, 21, 255))
        for image, x, y in self.parts:
            sheet.alpha_composite(image.convert("RGBA"), (x, y))
        d = ImageDraw.Draw(sheet)
        for text, x, y, font, colour in self.labels:
            d.text((x, y), text, font=font, fill=colour)
        return sheet


def _magnified(img, name):
    """Small images are shown larger (nearest neighbour keeps the pixels honest), with
    the frame borders ticked in red."""
    entry = BY_NAME.get(name)
    scale = 1
    while img.height * (scale + 1) <= 64 and img.width * (scale + 1) <= 600:
        scale += 1
    big = img.resize((img.width * scale, img.height * scale), Image.NEAREST) if scale > 1 else img.copy()
    if entry and entry.frames > 1 and entry.arrangement in ("h", "v"):
        d = ImageDraw.Draw(big)
        for i in range(1, entry.frames):
            if entry.arrangement == "h":
                x = big.width * i // entry.frames
                d.line([(x, big.height - 3), (x, big.height - 1)], fill=MARK)
            else:
                y = big.height * i // entry.frames
                d.line([(big.width - 3, y), (big.width - 1, y)], fill=MARK)
    return big, scale


def contact_sheet(theme_dir, layouts_dir):
    sheet = Sheet()
    background = Image.open(os.path.join(theme_dir, "main_bkg.png")).convert("RGBA")

    sheet.heading("Main window (mock-up from the skin files)")
    sheet.block(mock_main_window(theme_dir, layouts_dir).resize((1280, 720)), "key page")
    sheet.block(mock_home_page(theme_dir), "home page (device list)")
    sheet.block(mock_message_box(theme_dir, background), "message box, wait dialog and key tip")

    sheet.heading("Keyboard pictures (drawn from the layouts files)")
    for layout in load_layouts(layouts_dir):
        img = Image.open(os.path.join(theme_dir, "keyboard", layout.image)).convert("RGBA")
        sheet.block(img, "keyboard/%s  %dx%d  %d keys" % (layout.image, img.width, img.height, len(layout.keys)))

    sheet.heading("Skin images (small ones magnified; red ticks mark frame borders)")
    names = sorted(os.path.relpath(p, theme_dir).replace(os.sep, "/")
                   for p in glob.glob(os.path.join(theme_dir, "**", "*.png"), recursive=True))
    names = [n for n in names if not n.startswith("keyboard/") and n not in ("main_bkg.png", "pic_caption.png")]
    tiles = []
    for n in names:
        img = Image.open(os.path.join(theme_dir, n)).convert("RGBA")
        big, scale = _magnified(img, n)
        entry = BY_NAME.get(n)
        frames = entry.frames if entry else 1
        tiles.append((big, "%s %dx%d /%d%s" % (n, img.width, img.height, frames, "  x%d" % scale if scale > 1 else "")))
    sheet.flow(tiles)

    gif = Image.open(os.path.join(theme_dir, "loading.gif"))
    frames = []
    for i in range(gif.n_frames):
        gif.seek(i)
        frames.append((gif.convert("RGBA").resize((60, 60), Image.LANCZOS), "frame %d" % i))
    sheet.heading("loading.gif (%d frames, 100x100)" % gif.n_frames)
    sheet.flow(frames)

    sheet.heading("pic_caption.png 1278x49 and main_bkg.png 1280x720 (half size)")
    sheet.block(Image.open(os.path.join(theme_dir, "pic_caption.png")).convert("RGBA"), "pic_caption.png")
    sheet.block(background.resize((640, 360), Image.LANCZOS), "main_bkg.png")
    return sheet.render()


# --------------------------------------------------------------------- mock-ups
def _frame(img, count, index, vertical=False):
    if vertical:
        h = img.height // count
        return img.crop((0, index * h, img.width, (index + 1) * h))
    w = img.width // count
    return img.crop((index * w, 0, (index + 1) * w, img.height))


def _nine(img, size, corner):
    """A rough nine-grid stretch, as the toolkit draws framed controls."""
    w, h = size
    c = corner
    out = Image.new("RGBA", size, (0, 0, 0, 0))
    sw, sh = img.size
    boxes = [(0, c, 0, c), (c, sw - c, c, w - c), (sw - c, sw, w - c, w)]
    rows = [(0, c, 0, c), (c, sh - c, c, h - c), (sh - c, sh, h - c, h)]
    for sx0, sx1, dx0, dx1 in boxes:
        for sy0, sy1, dy0, dy1 in rows:
            if dx1 > dx0 and dy1 > dy0 and sx1 > sx0 and sy1 > sy0:
                piece = img.crop((sx0, sy0, sx1, sy1)).resize((dx1 - dx0, dy1 - dy0), Image.BILINEAR)
                out.alpha_composite(piece, (dx0, dy0))
    return out


def _open(theme_dir, name):
    return Image.open(os.path.join(theme_dir, *name.split("/"))).convert("RGBA")


def _text(d, xy, text, size, colour, bold=False, anchor="la"):
    d.text(xy, text, font=ImageFont.truetype(ui_font(bold) if bold else legend_font(), size), fill=colour, anchor=anchor)


def mock_main_window(theme_dir, layouts_dir):
    W, H = 1280, 720
    win = _open(theme_dir, "main_bkg.png")
    d = ImageDraw.Draw(win)
    win.alpha_composite(_open(theme_dir, "pic_caption.png"), (1, 1))
    # Tab strip background and the page panel (translucent grey areas of the program).
    overlay = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    od = ImageDraw.Draw(overlay)
    od.rectangle([1, 50, 75, H - 2], fill=(0x73, 0x73, 0x73, 77))
    od.rectangle([80, 50, 319, H - 2], fill=(0x73, 0x73, 0x73, 77))
    od.rectangle([80, 50, 319, 99], fill=(0x73, 0x73, 0x73, 77))
    win.alpha_composite(overlay)
    d = ImageDraw.Draw(win)
    d.rectangle([0, 0, W - 1, H - 1], outline=(200, 40, 40))
    _text(d, (W / 2, 25), "Brivo Q77X GAMING KEYBOARD", 18, (255, 0, 0), bold=True, anchor="mm")
    for i, name in enumerate(["main_sysbtn_close.png", "main_sysbtn_min.png", "main_sysbtn_website.png"]):
        win.alpha_composite(_frame(_open(theme_dir, name), 4, 1 if i == 0 else 0), (W - 50 - 50 * i, 20))
    tabs = [("tab_home", "Home", 0), ("tab_customkey", "Keys", 2), ("tab_macro", "Macros", 1),
            ("tab_light", "Lighting", 0)]
    for i, (name, text, frame) in enumerate(tabs):
        top = 60 + 80 * i
        win.alpha_composite(_frame(_open(theme_dir, "icon/%s.png" % name), 4, frame), (1 + 20, top + 7))
        _text(d, (1 + 40, top + 63), text, 13, (255, 0, 0) if frame else (0xAD, 0xAD, 0xAD), anchor="mm")
    top = H - 10 - 106
    win.alpha_composite(_frame(_open(theme_dir, "icon/tab_config.png"), 4, 0), (21, top + 7))
    _text(d, (41, top + 63), "Settings", 13, (0xAD, 0xAD, 0xAD), anchor="mm")
    # Profile panel.
    for i, name in enumerate(["imgbtn_add.png", "imgbtn_del.png", "imgbtn_edit.png", "imgbtn_import.png",
                              "imgbtn_export.png"]):
        win.alpha_composite(_frame(_open(theme_dir, name), 4, 1 if i == 0 else 0), (110 + 35 * i, 60))
    circle = _open(theme_dir, "icon/icon_circle.png")
    for i, name in enumerate(["Profile 1", "Profile 2", "Profile 3"]):
        y = 100 + 32 * i
        if i == 0:
            d.rectangle([81, y, 318, y + 31], fill=(255, 0, 0))
        win.alpha_composite(_frame(circle, 2, 1 if i == 0 else 0), (80 + 17, y + 8))
        _text(d, (130, y + 16), name, 14, (255, 255, 255), anchor="lm")
    # Keyboard picture, one key selected as the control outlines it.
    layout = load_layouts(layouts_dir)[-1]
    for l in load_layouts(layouts_dir):
        if l.image.startswith("q77x"):
            layout = l
    kb = _open(theme_dir, "keyboard/" + layout.image)
    win.alpha_composite(kb, (layout.xpos, layout.ypos))
    sel = layout.keys[20].rect
    d = ImageDraw.Draw(win)
    d.rounded_rectangle([layout.xpos + sel[0], layout.ypos + sel[1], layout.xpos + sel[0] + sel[2],
                         layout.ypos + sel[1] + sel[3]], radius=4, outline=(255, 255, 255), width=2)
    # Tip balloon over that key.
    tip = _open(theme_dir, "img_tip_bk.png")
    tx = layout.xpos + sel[0] + sel[2] // 2 - 95
    ty = layout.ypos + sel[1] - 100
    win.alpha_composite(tip, (tx, ty))
    _text(d, (tx + 95, ty + 18), "W", 14, (200, 200, 200), anchor="mm")
    _text(d, (tx + 95, ty + 45), "Macro", 14, (255, 255, 255), anchor="mm")
    _text(d, (tx + 95, ty + 73), "Macro 1", 18, (255, 255, 255), anchor="mm")
    # Function list: a few items in each state.
    fk = _open(theme_dir, "img_customkey.png")
    icons = ["icon_pc", "icon_cal", "icon_email", "icon_playpause", "icon_pre", "icon_next", "icon_vol_down",
             "icon_vol_up", "icon_vol_mute", "icon_home", "icon_web_search"]
    base_x, base_y = 340, H - 270
    for i, n in enumerate(icons):
        x = base_x + 50 * i
        win.alpha_composite(_frame(fk, 4, 1 if i == 3 else 0).resize((43, 28)), (x, base_y))
        win.alpha_composite(_open(theme_dir, "icon/%s.png" % n), (x + 11, base_y + 4))
    row = ["Esc", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"]
    for i, t in enumerate(row):
        x, y = base_x + 40 * i, base_y + 40
        win.alpha_composite(_frame(fk, 4, 2 if t == "F5" else 0), (x, y))
        _text(d, (x + 18, y + 14), t, 10, (255, 255, 255), anchor="mm")
    btn = _open(theme_dir, "btn_apply.png")
    for i, (t, frame) in enumerate([("New", 0), ("Delete", 1), ("Rename", 2), ("Copy", 3)]):
        win.alpha_composite(_nine(_frame(btn, 4, frame), (110, 38), 10), (base_x + 120 * i, base_y + 90))
        _text(d, (base_x + 120 * i + 55, base_y + 109), t, 14, (255, 255, 255) if frame != 3 else (128, 128, 128),
              anchor="mm")
    combo = _open(theme_dir, "img_combobox.png")
    win.alpha_composite(_nine(_frame(combo, 4, 0), (200, 38), 10), (base_x + 500, base_y + 90))
    _text(d, (base_x + 510, base_y + 109), "Português brasileiro", 14, (255, 255, 255), anchor="lm")
    check = _open(theme_dir, "btn_checkbox.png")
    radio = _open(theme_dir, "btn_radiobox.png")
    for i, f in enumerate([0, 4]):
        win.alpha_composite(_frame(check, 8, f), (base_x + 720, base_y + 80 + 26 * i))
        win.alpha_composite(_frame(radio, 8, f), (base_x + 900, base_y + 80 + 26 * i))
    _text(d, (base_x + 748, base_y + 90), "Colorful", 14, (230, 230, 230), anchor="lm")
    _text(d, (base_x + 748, base_y + 116), "Start with Windows", 14, (230, 230, 230), anchor="lm")
    _text(d, (base_x + 928, base_y + 90), "Record delays", 14, (230, 230, 230), anchor="lm")
    _text(d, (base_x + 928, base_y + 116), "Fixed delay", 14, (230, 230, 230), anchor="lm")
    track = _open(theme_dir, "img_slider_back.png")
    thumb = _open(theme_dir, "img_thumb.png")
    sx, sy, sw = base_x, base_y + 150, 243
    win.alpha_composite(track.crop((0, 6, track.width, 12)).resize((sw - 20, 6)), (sx + 12, sy + 15))
    off = int((sw - 30) * 0.6)
    win.alpha_composite(track.crop((0, 0, off + 10, 6)), (sx + 10, sy + 15))
    win.alpha_composite(_frame(thumb, 4, 0), (sx + off, sy))
    for i, n in enumerate(["btn_direction_left.png", "btn_direction_right.png"]):
        win.alpha_composite(_frame(_open(theme_dir, n), 8, 4 if i == 0 else 0), (sx + 300 + 80 * i, sy + 5))
    win.alpha_composite(_open(theme_dir, "img_circlepalette.png"), (sx + 480, sy - 20))
    win.alpha_composite(_open(theme_dir, "btn_colorful.png"), (sx + 640, sy + 10))
    for i, col in enumerate([(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)]):
        d.rectangle([sx + 675 + 35 * i + 2, sy + 12, sx + 675 + 35 * i + 27, sy + 37], fill=col)
    edit = _open(theme_dir, "img_edit.png")
    win.alpha_composite(_nine(_frame(edit, 4, 2), (60, 30), 4), (sx + 830, sy + 8))
    _text(d, (sx + 838, sy + 23), "255", 14, (230, 230, 230), anchor="lm")
    _text(d, (10, H - 22), "Ver: 1.0.0", 13, (0x96, 0x96, 0x96), anchor="lm")
    _text(d, (W / 2, H - 22), "Copyright © 2026 Tastro. All rights reserved.", 13, (0x96, 0x96, 0x96), anchor="mm")
    return win


def mock_home_page(theme_dir):
    win = _open(theme_dir, "main_bkg.png")
    win.alpha_composite(_open(theme_dir, "pic_caption.png"), (1, 1))
    d = ImageDraw.Draw(win)
    _text(d, (640, 25), "Brivo Q77X GAMING KEYBOARD", 18, (255, 0, 0), bold=True, anchor="mm")
    for i, name in enumerate(["main_sysbtn_close.png", "main_sysbtn_min.png", "main_sysbtn_website.png"]):
        win.alpha_composite(_frame(_open(theme_dir, name), 4, 0), (1230 - 50 * i, 20))
    x = (1280 - 460) // 2
    _text(d, (x + 236, 299), "Click your keyboard to configure it", 20, (255, 255, 255), bold=True, anchor="mm")
    rows = _open(theme_dir, "img_device_state.png")
    for i, (name, frame) in enumerate([("Brivo Q77X", 1), ("Brivo K104", 0)]):
        y = 318 + 50 * i
        win.alpha_composite(_nine(_frame(rows, 2, frame), (472, 38), 12), (x, y))
        _text(d, (x + 236, y + 19), name, 20, (255, 255, 255) if frame else (128, 128, 128), bold=True, anchor="mm")
    return win.crop((0, 0, 1280, 480))


def mock_message_box(theme_dir, background):
    canvas = background.crop((0, 0, 900, 240)).copy()
    box = _open(theme_dir, "bk_prompt.png")
    canvas.alpha_composite(box, (20, 20))
    d = ImageDraw.Draw(canvas)
    _text(d, (20 + 190, 20 + 27), "Delete profile", 16, (255, 255, 255), anchor="mm")
    _text(d, (20 + 190, 20 + 100), "Delete the selected profile?", 16, (255, 255, 255), anchor="mm")
    btn = _open(theme_dir, "btn_apply.png")
    for i, (t, frame) in enumerate([("OK", 1), ("Cancel", 0)]):
        x = 20 + (190 - 120 if i == 0 else 190 + 20)
        canvas.alpha_composite(_nine(_frame(btn, 4, frame), (100, 30), 8), (x, 20 + 160))
        _text(d, (x + 50, 20 + 175), t, 14, (255, 255, 255), anchor="mm")
    gif = Image.open(os.path.join(theme_dir, "loading.gif"))
    gif.seek(3)
    wait = Image.new("RGBA", (102, 102), (0x33, 0x33, 0x33, 255))
    wait.alpha_composite(gif.convert("RGBA"), (1, 1))
    canvas.alpha_composite(wait, (440, 70))
    tip = _open(theme_dir, "img_tip_bk.png")
    canvas.alpha_composite(tip, (600, 70))
    _text(d, (695, 88), "Caps Lock", 14, (200, 200, 200), anchor="mm")
    _text(d, (695, 115), "Key function", 14, (255, 255, 255), anchor="mm")
    _text(d, (695, 143), "Ctrl", 18, (255, 255, 255), anchor="mm")
    return canvas
