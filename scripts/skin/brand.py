"""The Tastro mark (a key cap seen from above with a red T) and the word mark. Used by the
caption bar, the logo, the wait animation and the program icon, so they are one design."""
from PIL import ImageFont

from .canvas import Canvas, subtract, union
from .theme import ACCENT, ACCENT_HI, TEXT, ui_font


def mark(c, x, y, size, detail=True):
    """Draws the mark with its top-left corner at (x, y), `size` pixels square."""
    s = size / 100.0

    def b(x0, y0, x1, y1):
        return (x + x0 * s, y + y0 * s, x + x1 * s, y + y1 * s)

    # Cap skirt and top face.
    c.paint(c.rrect(b(2, 2, 98, 98), 22 * s), c.vgradient(y, y + size, [(0, (54, 57, 65)), (1, (22, 23, 27))]))
    c.fill(subtract(c.rrect(b(2, 2, 98, 98), 22 * s), c.rrect(b(2 + 5, 2 + 5, 98 - 5, 98 - 5), 18 * s)), ACCENT)
    if detail:
        c.paint(c.rrect(b(16, 13, 84, 78), 13 * s), c.vgradient(y + 13 * s, y + 78 * s,
                                                               [(0, (64, 67, 76)), (1, (38, 40, 46))]))
    # The T.
    t = union(c.rrect(b(26, 24, 74, 37), 3 * s), c.rrect(b(43, 24, 57, 68), 3 * s))
    c.glow(t, ACCENT, 4 * s, 0.6)
    c.paint(t, c.vgradient(y + 24 * s, y + 68 * s, [(0, ACCENT_HI), (1, ACCENT)]))


def wordmark(c, x, y, height, colour=TEXT, spacing=0.18):
    """"TASTRO" in the bold interface face, cap height `height`, left edge x, top y.
    Returns the right edge."""
    font_px = height / 0.72
    font = ImageFont.truetype(ui_font(bold=True), int(font_px * c.ss))
    cursor = x
    letters = []
    for ch in "TASTRO":
        m = c.text_mask(ch, ui_font(bold=True), font_px, x=cursor, y=y + height, anchor="ls")
        letters.append(m)
        cursor += font.getlength(ch) / c.ss + spacing * height
    c.fill(union(*letters), colour)
    return cursor - spacing * height


def logo(width=120, height=30):
    """logo/logo.png: the mark and the word mark on transparency."""
    c = Canvas(width, height)
    mark(c, 0, 1, height - 2)
    wordmark(c, height + 6, (height - 13) / 2, 13)
    return c.image()
