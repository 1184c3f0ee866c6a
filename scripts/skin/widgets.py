"""Control images: buttons, boxes, lists, sliders, scroll bars and small icons.

State frames follow the toolkit's order: 0 normal, 1 hover, 2 pressed, 3 disabled, and for
check-capable controls 4-7 the same four states checked. One visual language throughout:
graphite plates with a hairline border, light glyphs, and the red accent for hover
borders, pressed and checked states.
"""
import colorsys
import math

from PIL import Image

from . import glyphs
from .canvas import Canvas, clear_transparent, mix, strip, subtract
from .theme import (ACCENT, ACCENT_DK, ACCENT_GLOW, ACCENT_HI, BORDER, BORDER_HI, DISABLED, INSET,
                    RAISED, SURFACE, SURFACE_HI, TEXT, TEXT_SOFT)

WHITE = (255, 255, 255)
NORMAL, HOVER, PRESSED, DISABLED_STATE = range(4)


# ------------------------------------------------------------------------- plates
def plate(c, box, radius, state, checked=False):
    """The raised face shared by push buttons, combo boxes, device rows and direction
    buttons."""
    x0, y0, x1, y1 = box
    outer = c.rrect(box, radius)
    inner = c.rrect((x0 + 1, y0 + 1, x1 - 1, y1 - 1), radius - 1)
    if checked:
        top, bottom, border = {
            NORMAL: (ACCENT, (196, 18, 28), ACCENT_HI),
            HOVER: (ACCENT_HI, ACCENT, (255, 120, 120)),
            PRESSED: ((176, 16, 24), ACCENT_DK, ACCENT),
            DISABLED_STATE: ((92, 40, 44), (78, 34, 38), (110, 52, 56)),
        }[state]
    else:
        top, bottom, border = {
            NORMAL: (SURFACE_HI, SURFACE, BORDER),
            HOVER: (RAISED, SURFACE_HI, ACCENT),
            PRESSED: ((190, 20, 30), ACCENT_DK, ACCENT_HI),
            DISABLED_STATE: ((27, 28, 32), (25, 26, 30), (42, 44, 50)),
        }[state]
    c.fill(outer, border)
    c.paint(inner, c.vgradient(y0, y1, [(0, top), (1, bottom)]))
    if state != DISABLED_STATE:
        # A hairline of light along the top edge gives the plate its lift.
        hl = subtract(inner, c.rrect((x0 + 1, y0 + 2, x1 - 1, y1 - 1), radius - 1))
        c.fill(hl, WHITE, 0.10 if not checked else 0.22)


def field(c, box, radius, state):
    """The sunken face of edit boxes."""
    x0, y0, x1, y1 = box
    border, fill = {
        NORMAL: (BORDER, INSET),
        HOVER: (BORDER_HI, INSET),
        PRESSED: (ACCENT, (16, 10, 12)),
        DISABLED_STATE: ((34, 36, 41), (18, 19, 22)),
    }[state]
    c.fill(c.rrect(box, radius), border)
    c.fill(c.rrect((x0 + 1, y0 + 1, x1 - 1, y1 - 1), radius - 1), fill)
    # Inner shadow along the top.
    c.fill(subtract(c.rect((x0 + 1, y0 + 1, x1 - 1, y0 + 3)), c.rect((x0 + 1, y0 + 2, x1 - 1, y0 + 3))), (0, 0, 0), 0.35)


def frames(count, w, h, draw):
    out = []
    for i in range(count):
        c = Canvas(w, h)
        draw(c, i)
        out.append(c.image())
    return out


# ---------------------------------------------------------------------- buttons
def push_button():
    """btn_apply.png: 4 x 120 x 38, nine-grid corner 8-10 (radius 6 fits)."""
    return strip(frames(4, 120, 38, lambda c, s: plate(c, (0, 0, 120, 38), 6, s)))


def combo_box():
    """img_combobox.png: 4 x 200 x 38; the drop arrow lives in the right 36 pixels."""
    def draw(c, s):
        # Open (frame 2) keeps the hovered face: the pop-up list below carries the red.
        plate(c, (0, 0, 200, 38), 6, HOVER if s == PRESSED else s)
        divider = BORDER if s != DISABLED_STATE else (40, 42, 48)
        c.fill(c.rect((164, 9, 165, 29)), divider, 0.8)
        colour = {NORMAL: TEXT_SOFT, HOVER: TEXT, PRESSED: ACCENT_HI, DISABLED_STATE: DISABLED}[s]
        c.fill(glyphs.chevron(c, 182, 19, 14, 2.0, "up" if s == PRESSED else "down"), colour)
    return strip(frames(4, 200, 38, draw))


def edit_box():
    """img_edit.png: 4 x 60 x 30: normal, hover, focused, disabled."""
    return strip(frames(4, 60, 30, lambda c, s: field(c, (0, 0, 60, 30), 3.5, s)))


def device_row():
    """img_device_state.png: frame 0 a listed model, frame 1 a connected one (60 x 38,
    nine-grid corner 12: the accent bar stays inside the left corner column)."""
    def draw(c, i):
        if i == 0:
            plate(c, (0, 0, 60, 38), 7, DISABLED_STATE)
        else:
            plate(c, (0, 0, 60, 38), 7, NORMAL)
            rim = subtract(c.rrect((0, 0, 60, 38), 7), c.rrect((1, 1, 59, 37), 6))
            c.fill(rim, mix(BORDER, ACCENT, 0.45))
            bar = c.rrect((4, 10, 7, 28), 1.5)
            c.glow(bar, ACCENT_GLOW, 2.5, 0.8)
            c.fill(bar, ACCENT_HI)
    return strip(frames(2, 60, 38, draw))


def function_key():
    """img_customkey.png: 4 x 36 x 28 key faces of the function list."""
    def draw(c, s):
        if s == PRESSED:
            c.fill(c.rrect((0, 0, 36, 28), 4), ACCENT_HI)
            c.paint(c.rrect((1, 1, 35, 27), 3), c.vgradient(0, 28, [(0, ACCENT), (1, (196, 18, 28))]))
            return
        top, bottom, border = {NORMAL: ((44, 46, 53), (34, 36, 41), (56, 59, 67)),
                               HOVER: ((58, 61, 69), (44, 46, 53), ACCENT),
                               DISABLED_STATE: ((28, 29, 33), (26, 27, 31), (38, 40, 45))}[s]
        c.fill(c.rrect((0, 0, 36, 28), 4), border)
        c.paint(c.rrect((1, 1, 35, 27), 3), c.vgradient(0, 28, [(0, top), (1, bottom)]))
        c.fill(c.rect((2, 25, 34, 27)), (0, 0, 0), 0.25)
    return strip(frames(4, 36, 28, draw))


def image_button(glyph, size=30, danger=False):
    """Icon buttons drawn unscaled (4 frames): a glyph alone, a soft plate on hover, the
    accent plate while pressed."""
    def draw(c, s):
        box = (1, 1, size - 1, size - 1)
        r = size * 0.22
        if s == HOVER:
            c.fill(c.rrect(box, r), ACCENT if danger else WHITE, 1.0 if danger else 0.10)
        elif s == PRESSED:
            c.fill(c.rrect(box, r), ACCENT_DK if danger else ACCENT)
        colour = {NORMAL: TEXT_SOFT, HOVER: WHITE, PRESSED: WHITE, DISABLED_STATE: DISABLED}[s]
        c.fill(glyph(c, size / 2, size / 2, size * 0.56, max(1.2, size * 0.06)), colour)
    return strip(frames(4, size, size, draw))


def system_buttons():
    return {
        "main_sysbtn_close.png": image_button(glyphs.cross, danger=True),
        "main_sysbtn_min.png": image_button(glyphs.minus),
        "main_sysbtn_website.png": image_button(glyphs.globe),
    }


def profile_buttons():
    return {
        "imgbtn_add.png": image_button(glyphs.plus),
        "imgbtn_del.png": image_button(glyphs.trash),
        "imgbtn_edit.png": image_button(glyphs.pencil),
        "imgbtn_import.png": image_button(lambda c, x, y, s, w: glyphs.tray_arrow(c, x, y, s, w, up=False)),
        "imgbtn_export.png": image_button(lambda c, x, y, s, w: glyphs.tray_arrow(c, x, y, s, w, up=True)),
    }


def record_buttons():
    return {
        "btn_record_del.png": image_button(glyphs.cross, size=20),
        "btn_record_up.png": image_button(lambda c, x, y, s, w: glyphs.arrow(c, x, y, s, w, "up"), size=20),
        "btn_record_down.png": image_button(lambda c, x, y, s, w: glyphs.arrow(c, x, y, s, w, "down"), size=20),
        "btn_record_time.png": image_button(glyphs.clock, size=20),
    }


# ------------------------------------------------------------ check and radio
def _check_colours(s):
    checked, state = s >= 4, s % 4
    if checked:
        fill = {NORMAL: ACCENT, HOVER: ACCENT_HI, PRESSED: ACCENT_DK, DISABLED_STATE: (84, 38, 42)}[state]
        border = {NORMAL: ACCENT_HI, HOVER: (255, 120, 120), PRESSED: ACCENT, DISABLED_STATE: (104, 50, 54)}[state]
        mark = WHITE if state != DISABLED_STATE else (150, 150, 150)
    else:
        fill = {NORMAL: INSET, HOVER: (24, 20, 22), PRESSED: SURFACE_HI, DISABLED_STATE: (20, 21, 24)}[state]
        border = {NORMAL: BORDER_HI, HOVER: ACCENT_HI, PRESSED: ACCENT, DISABLED_STATE: (46, 48, 54)}[state]
        mark = None
    return fill, border, mark


def check_box():
    """btn_checkbox.png: 8 x 20 x 20."""
    def draw(c, s):
        fill, border, mark = _check_colours(s)
        c.fill(c.rrect((2, 2, 18, 18), 4), border)
        c.fill(c.rrect((3.5, 3.5, 16.5, 16.5), 2.8), fill)
        if mark:
            c.fill(c.stroke([(6, 10.2), (8.8, 13), (14.2, 7.2)], 2.1), mark)
    return strip(frames(8, 20, 20, draw))


def radio_box():
    """btn_radiobox.png: 8 x 20 x 20."""
    def draw(c, s):
        fill, border, mark = _check_colours(s)
        c.fill(c.circle(10, 10, 8), border)
        c.fill(c.circle(10, 10, 6.6), fill)
        if mark:
            c.fill(c.circle(10, 10, 3.4), mark)
    return strip(frames(8, 20, 20, draw))


def direction_button(direction):
    """btn_direction_*.png: 8 x 30 x 30 radio faces with an arrow."""
    def draw(c, s):
        checked, state = s >= 4, s % 4
        plate(c, (1, 1, 29, 29), 6, state, checked=checked)
        if checked:
            colour = WHITE if state != DISABLED_STATE else (160, 150, 150)
        else:
            colour = {NORMAL: TEXT_SOFT, HOVER: WHITE, PRESSED: WHITE, DISABLED_STATE: DISABLED}[state]
        c.fill(glyphs.arrow(c, 15, 15, 17, 2.2, direction), colour)
    return strip(frames(8, 30, 30, draw))


# --------------------------------------------------------------------- lists
def list_circle():
    """icon/icon_circle.png: 2 x 16 x 16; frame 1 marks the selected (red) row."""
    def draw(c, i):
        if i == 0:
            c.fill(c.ring(8, 8, 4.6, 1.5), WHITE, 0.55)
        else:
            c.fill(c.ring(8, 8, 5.6, 1.5), WHITE)
            c.fill(c.circle(8, 8, 3.0), WHITE)
    return strip(frames(2, 16, 16, draw))


# ------------------------------------------------------------------- sliders
def slider_track():
    """img_slider_back.png: 248 x 12; upper half the filled part, lower half the track."""
    c = Canvas(248, 12)
    filled = c.rrect((0, 1, 248, 5), 2)
    c.paint(filled, c.hgradient(0, 248, [(0, ACCENT_DK), (0.5, ACCENT), (1, ACCENT_HI)]))
    c.fill(c.rrect((0, 7, 248, 11), 2), (58, 61, 69))
    c.fill(c.rect((1, 7, 247, 8)), (0, 0, 0), 0.35)
    return c.image()


def slider_thumb():
    """img_thumb.png: 4 x 30 x 30; the knob is centred on the track's middle row (18)."""
    def draw(c, i):
        cx, cy = 15, 18
        grey = i == 3
        if i == 1:
            c.glow(c.circle(cx, cy, 8.5), ACCENT_GLOW, 3, 0.9)
        c.glow(c.circle(cx, cy + 1.2, 8), (0, 0, 0), 1.5, 0.7)
        c.fill(c.circle(cx, cy, 8.6 if i == 1 else 8), DISABLED if grey else ACCENT)
        c.paint(c.circle(cx, cy, 5.2), c.vgradient(cy - 5, cy + 5, [(0, WHITE), (1, (214, 216, 222))]) if not grey
                else (120, 122, 128))
    return strip(frames(4, 30, 30, draw))


# --------------------------------------------------------------- scroll bars
def scroll_frames(vertical):
    """The four scroll-bar frames: track, thumb under the pointer, thumb, unused."""
    if vertical:
        w, h = 7, 239
    else:
        w, h = 22, 5
    colours = [(WHITE, 0.07), (ACCENT, 1.0), ((118, 123, 134), 1.0), (WHITE, 0.04)]
    out = []
    for colour, opacity in colours:
        c = Canvas(w, h)
        box = (1, 0, 6, h) if vertical else (0, 0, w, h)
        r = 2.5
        c.fill(c.rrect(box, r), colour, opacity)
        out.append(c.image())
    return strip(out, vertical=not vertical)


def scroll_vertical():
    return scroll_frames(True)


def scroll_horizontal():
    return scroll_frames(False)


def spin_button(direction):
    def draw(c, s):
        colour = {NORMAL: TEXT_SOFT, HOVER: WHITE, PRESSED: ACCENT_HI, DISABLED_STATE: DISABLED}[s]
        c.fill(c.polygon([(2, 7), (8, 7), (5, 3)] if direction == "up" else [(2, 3), (8, 3), (5, 7)]), colour)
    return strip(frames(4, 10, 10, draw))


def palette_thumb():
    def draw(c, s):
        colour = {NORMAL: TEXT, HOVER: WHITE, PRESSED: ACCENT_HI, DISABLED_STATE: DISABLED}[s]
        c.fill(c.polygon([(1, 4), (7, 0.5), (7, 7.5)]), colour)
    return strip(frames(4, 8, 8, draw))


# ----------------------------------------------------------- colour pickers
def colour_wheel(size=131, radius=65.0):
    """img_circlepalette.png: hue around the centre (red towards the upper right, where
    the control puts its ring first), white at the centre. The control reads the screen
    pixel under its ring, so the wheel has no border that could be picked."""
    ss = 3
    big = size * ss
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    px = img.load()
    c0 = size / 2.0
    for y in range(big):
        fy = (y + 0.5) / ss - c0
        for x in range(big):
            fx = (x + 0.5) / ss - c0
            d = math.hypot(fx, fy)
            if d > radius:
                continue
            angle = (math.degrees(math.atan2(-fy, fx)) - 45.0) % 360.0
            r, g, b = colorsys.hsv_to_rgb(angle / 360.0, min(1.0, d / (radius - 1.0)), 1.0)
            px[x, y] = (int(r * 255 + 0.5), int(g * 255 + 0.5), int(b * 255 + 0.5), 255)
    return clear_transparent(img.resize((size, size), Image.BOX))


def colourful_swatch():
    """btn_colorful.png: the multicolour choice, a square like the plain colour swatches
    (which fill their slot inset by 2) with the hues running around a white core."""
    c = Canvas(30, 30)
    n = 30 * c.ss
    conic = Image.new("RGBA", (n, n))
    conic.putdata([_hue_pixel((math.degrees(math.atan2(-(y + 0.5 - n / 2), x + 0.5 - n / 2)) - 45) % 360)
                   for y in range(n) for x in range(n)])
    c.paint(c.rect((2, 2, 28, 28)), conic)
    c.glow(c.circle(15, 15, 3.5), WHITE, 3.5, 0.9)
    return c.image()


def _hue_pixel(angle):
    r, g, b = colorsys.hsv_to_rgb(angle / 360.0, 0.92, 1.0)
    return (int(r * 255 + 0.5), int(g * 255 + 0.5), int(b * 255 + 0.5), 255)


# ------------------------------------------------------------------- balloons
def tip_arrow(direction):
    c = Canvas(12, 12)
    pts = {"left": [(11, 1), (11, 11), (2, 6)], "right": [(1, 1), (1, 11), (10, 6)],
           "top": [(1, 11), (11, 11), (6, 2)]}[direction]
    c.fill(c.polygon(pts), (33, 35, 41), 0.96)
    return c.image()


# -------------------------------------------------------------------- icons
def icon(glyph, size, colour, stroke=None):
    c = Canvas(size, size)
    c.fill(glyph(c, size / 2, size / 2, size * 0.9, stroke or max(1.3, size * 0.085)), colour)
    return c.image()


def tab_icon(glyph):
    """icon/tab_*.png: 4 x 40 x 40: normal, hovered tab, selected tab, unused."""
    def draw(c, s):
        if s == PRESSED:
            c.glow(glyph(c, 20, 20, 28, 2.2), ACCENT_GLOW, 3.5, 0.55)
        colour = {NORMAL: TEXT_SOFT, HOVER: WHITE, PRESSED: ACCENT_HI, DISABLED_STATE: DISABLED}[s]
        c.fill(glyph(c, 20, 20, 28, 2.2), colour)
    return strip(frames(4, 40, 40, draw))


MEDIA_ICONS = {
    "icon/icon_pc.png": glyphs.monitor,
    "icon/icon_cal.png": glyphs.calculator,
    "icon/icon_email.png": glyphs.envelope,
    "icon/icon_playpause.png": glyphs.play_pause,
    "icon/icon_pre.png": lambda c, x, y, s, w: glyphs.track(c, x, y, s, w, forward=False),
    "icon/icon_next.png": lambda c, x, y, s, w: glyphs.track(c, x, y, s, w, forward=True),
    "icon/icon_vol_down.png": lambda c, x, y, s, w: glyphs.speaker(c, x, y, s, w, "down"),
    "icon/icon_vol_up.png": lambda c, x, y, s, w: glyphs.speaker(c, x, y, s, w, "up"),
    "icon/icon_vol_mute.png": lambda c, x, y, s, w: glyphs.speaker(c, x, y, s, w, "mute"),
    "icon/icon_home.png": glyphs.home,
    "icon/icon_web_search.png": glyphs.search,
}


def battery():
    outline = Canvas(28, 14)
    outline.fill(subtract(outline.rrect((1, 1, 25, 13), 2.5), outline.rrect((2.5, 2.5, 23.5, 11.5), 1.5)), TEXT_SOFT)
    outline.fill(outline.rrect((25, 4.5, 27.5, 9.5), 1), TEXT_SOFT)
    level = Canvas(28, 14)
    level.fill(level.rrect((4, 4, 22, 10), 1), TEXT)
    charge = Canvas(10, 14)
    charge.fill(glyphs.bolt(charge, 5, 7, 13, 1), TEXT)
    return outline.image(), level.image(), charge.image()
