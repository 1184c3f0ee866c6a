"""The one palette of the Tastro look: graphite surfaces, light grey text and the red
accent (the toolkit's selection colour and the caption title are pure red)."""
import os

# Surfaces, from the window background up to raised controls.
BG_DEEP = (11, 12, 14)
BG = (19, 20, 24)
SURFACE = (28, 30, 35)
SURFACE_HI = (38, 40, 47)
RAISED = (47, 50, 58)
BORDER = (58, 62, 71)
BORDER_HI = (86, 91, 102)
INSET = (13, 14, 17)

# Text and glyphs.
TEXT = (236, 237, 240)
TEXT_SOFT = (173, 173, 173)   # the tab strip's text colour
TEXT_DIM = (112, 116, 124)
DISABLED = (70, 73, 80)

# The accent.
ACCENT = (236, 28, 36)
ACCENT_HI = (255, 72, 72)
ACCENT_DK = (150, 12, 20)
ACCENT_GLOW = (255, 40, 40)

FONT_DIR_CANDIDATES = [
    "/usr/share/fonts/truetype/open-sans",
    "/usr/share/fonts/truetype/liberation",
]


def font(name):
    """Path of a font shipped by Debian's font packages (fonts-open-sans, fonts-liberation)."""
    for d in FONT_DIR_CANDIDATES:
        p = os.path.join(d, name)
        if os.path.exists(p):
            return p
    raise FileNotFoundError(name)


def ui_font(bold=False):
    return font("OpenSans-Bold.ttf" if bold else "OpenSans-Semibold.ttf")


def legend_font(bold=False):
    return font("LiberationSans-Bold.ttf" if bold else "LiberationSans-Regular.ttf")
