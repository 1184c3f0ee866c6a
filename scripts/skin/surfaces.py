"""Large surfaces: the window background, the caption bar, the message box and balloon
backgrounds, and the wait animation."""
import math
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter

from . import brand
from .canvas import Canvas, mix, subtract
from .theme import ACCENT, ACCENT_HI, BG, BG_DEEP, BORDER

WAIT_GREY = (0x33, 0x33, 0x33)   # the wait dialog's background and border colour


def _noise(size, amplitude, seed):
    """Fine grain (deterministic) so large dark gradients do not band."""
    rng = random.Random(seed)
    n = Image.frombytes("L", size, rng.randbytes(size[0] * size[1]))
    return n.point(lambda v: 128 + (v - 128) * amplitude // 128)


def window_background(width=1280, height=720):
    """main_bkg.png: graphite with a soft light from the top, a faint red glow at the
    bottom right and a fine grain; the caption, tab strip and pages draw over it."""
    base = Image.new("RGB", (width, height), BG_DEEP)
    # Vertical light: lighter below the caption, darker towards the bottom.
    grad = Image.new("RGB", (1, height))
    grad.putdata([mix(BG, BG_DEEP, min(1.0, y / height * 1.15))[:3] for y in range(height)])
    base = grad.resize((width, height))
    # A wide soft highlight centred over the keyboard area.
    glow = Image.new("L", (width // 4, height // 4), 0)
    ImageDraw.Draw(glow).ellipse([width // 4 * 0.18, -height // 4 * 0.35, width // 4 * 0.98, height // 4 * 0.55], fill=255)
    glow = glow.filter(ImageFilter.GaussianBlur(28)).resize((width, height), Image.BILINEAR)
    base = Image.composite(Image.new("RGB", (width, height), (30, 32, 38)), base, glow.point(lambda v: v * 55 // 255))
    # The accent: a low red glow in the bottom right corner.
    red = Image.new("L", (width // 4, height // 4), 0)
    ImageDraw.Draw(red).ellipse([width // 4 * 0.72, height // 4 * 0.78, width // 4 * 1.25, height // 4 * 1.35], fill=255)
    red = red.filter(ImageFilter.GaussianBlur(22)).resize((width, height), Image.BILINEAR)
    base = Image.composite(Image.new("RGB", (width, height), (90, 8, 14)), base, red.point(lambda v: v * 70 // 255))
    # Faint diagonal hairlines in the same corner.
    lines = Image.new("L", (width, height), 0)
    d = ImageDraw.Draw(lines)
    for i in range(0, 900, 14):
        d.line([(width - 520 + i, height), (width + i - 150, height - 370)], fill=255, width=1)
    fade = Image.new("L", (width, height), 0)
    ImageDraw.Draw(fade).ellipse([width - 700, height - 420, width + 300, height + 320], fill=255)
    fade = fade.filter(ImageFilter.GaussianBlur(90))
    lines = ImageChops.multiply(lines, fade)
    base = Image.composite(Image.new("RGB", (width, height), (120, 24, 30)), base, lines.point(lambda v: v * 40 // 255))
    # Grain.
    noise = _noise((width, height), 5, 20260101)
    base = ImageChops.add(base, Image.merge("RGB", [noise] * 3), 1, -128)
    return base.convert("RGBA")


def caption_bar(width=1278, height=49):
    """pic_caption.png: a darker band with the brand at the left and a red hairline that
    fades out towards both ends along its bottom edge. The product title (red) is drawn
    over its centre, the system buttons over its right end."""
    c = Canvas(width, height)
    c.paint(c.rect((0, 0, width, height)), c.vgradient(0, height, [(0, (27, 28, 33)), (1, (17, 18, 21))]))
    c.fill(c.rect((0, height - 2, width, height - 1)), (0, 0, 0), 0.6)
    line = c.rect((0, height - 1, width, height))
    c.paint(line, c.hgradient(0, width, [(0, (236, 28, 36, 0)), (0.3, (236, 28, 36, 140)),
                                         (0.5, (255, 60, 60, 255)), (0.7, (236, 28, 36, 140)),
                                         (1, (236, 28, 36, 0))]))
    brand.mark(c, 18, 11, 27)
    brand.wordmark(c, 54, 18, 12)
    return c.image()


def message_box(width=380, height=200):
    """bk_prompt.png: the message box card. Drawn as a nine-grid with 30-pixel corners
    over the 380 x 200 window; transparent corners are exactly (0, 0, 0, 0)."""
    c = Canvas(width, height)
    card = (0.5, 0.5, width - 0.5, height - 0.5)
    c.fill(c.rrect(card, 10), (74, 78, 88))
    inner = c.rrect((1.5, 1.5, width - 1.5, height - 1.5), 9)
    c.paint(inner, c.vgradient(0, height, [(0, (34, 36, 42)), (0.55, (26, 27, 32)), (1, (20, 21, 25))]))
    # Accent along the top edge and a divider under the title.
    top = c.rrect((1.5, 1.5, width - 1.5, 40), 9)
    c.fill(subtract(top, c.rect((0, 4, width, 40))), ACCENT)
    c.fill(c.rect((20, 47, width - 20, 48)), BORDER, 0.9)
    c.fill(c.rect((width / 2 - 28, 46.5, width / 2 + 28, 48.5)), ACCENT_HI)
    return c.image()


def balloon(width=190, height=100):
    """img_tip_bk.png: the key-tip balloon (white and light grey text), nine-grid corner 6."""
    c = Canvas(width, height)
    c.fill(c.rrect((0.5, 0.5, width - 0.5, height - 0.5), 5.5), (84, 88, 99), 0.98)
    c.paint(c.rrect((1.5, 1.5, width - 1.5, height - 1.5), 4.5),
            c.vgradient(0, height, [(0, (38, 40, 47, 247)), (1, (25, 26, 31, 247))]))
    c.fill(subtract(c.rrect((1.5, 1.5, width - 1.5, 12), 4.5), c.rect((0, 3.5, width, 12))), ACCENT)
    return c.image()


def loading_frames(size=100, count=12):
    """loading.gif: a red arc with a fading tail running around a faint ring, on the wait
    dialog's own grey (0x333333), one step every frame."""
    grey = WAIT_GREY
    frames = []
    for i in range(count):
        c = Canvas(size, size, background=grey)
        cx = cy = size / 2
        r = size * 0.30
        c.fill(c.ring(cx, cy, r, size * 0.07), (255, 255, 255), 0.08)
        head = i * 360.0 / count - 90
        tail = 240.0
        steps = 24
        for k in range(steps):
            a0 = head - tail + tail * k / steps
            a1 = head - tail + tail * (k + 1) / steps + 0.8
            t = (k + 1) / steps
            c.fill(c.arc(cx, cy, r, a0, a1, size * 0.07, caps=(k == steps - 1)), mix(grey, ACCENT, t ** 1.6))
        c.fill(c.circle(cx + r * math.cos(math.radians(head)), cy + r * math.sin(math.radians(head)), size * 0.045),
               ACCENT_HI)
        brand.mark(c, cx - size * 0.13, cy - size * 0.13, size * 0.26, detail=False)
        frames.append(c.image().convert("RGB"))
    return frames


def save_gif(frames, path):
    """One shared palette for all frames; it holds the wait dialog's grey exactly, so the
    animation meets the dialog's own background without a seam."""
    palette_source = Image.new("RGB", (frames[0].width * len(frames), frames[0].height))
    for i, f in enumerate(frames):
        palette_source.paste(f, (i * f.width, 0))
    colours = palette_source.quantize(colors=254, method=Image.MEDIANCUT).getpalette()[:254 * 3]
    colours += list(WAIT_GREY) + [0, 0, 0]
    palette = Image.new("P", (1, 1))
    palette.putpalette(colours)
    quantised = []
    for f in frames:
        q = f.quantize(palette=palette, dither=Image.NONE)
        # Pillow maps to the palette through a reduced-precision cache: put the grey back
        # exactly where the frame has it.
        exact = ImageChops.difference(f, Image.new("RGB", f.size, WAIT_GREY)).convert("L")
        q.paste(254, mask=exact.point(lambda v: 255 if v == 0 else 0))
        quantised.append(q)
    quantised[0].save(path, save_all=True, append_images=quantised[1:], duration=50, loop=0,
                      disposal=1, optimize=False)
