"""Keyboard pictures drawn from the layouts files: every key rectangle becomes a key cap
with its legend, so the picture and the key rectangles always agree. The keyboard
control draws its own outlines (selection, lighting preview) over the key rectangles."""
import glob
import os
import xml.etree.ElementTree as ET

from . import glyphs
from .canvas import Canvas, subtract
from .theme import ACCENT_HI, legend_font

# Shifted legends drawn above the main one, by HID usage.
SHIFTED = {0x35: "~", 0x2D: "_", 0x2E: "+", 0x2F: "{", 0x30: "}", 0x31: "|", 0x33: ":", 0x34: "\"",
           0x36: "<", 0x37: ">", 0x38: "?"}
SHIFTED.update({0x1E + i: "!@#$%^&*()"[i] for i in range(10)})
ARROWS = {0x4F: "right", 0x50: "left", 0x51: "down", 0x52: "up"}
ESC = 0x29

LEGEND = (214, 216, 222)
LEGEND_SOFT = (150, 154, 163)


class Key:
    def __init__(self, code, name, desc, index, row_col, rect):
        self.code, self.name, self.desc, self.index, self.row_col, self.rect = code, name, desc, index, row_col, rect


class Layout:
    def __init__(self, path):
        root = ET.parse(path).getroot()
        kb = root.find("Keyboard")
        self.path = path
        self.xpos, self.ypos = int(kb.get("xpos")), int(kb.get("ypos"))
        self.width, self.height = int(kb.get("width")), int(kb.get("height"))
        self.image = kb.get("image")
        self.keys = []
        for k in kb.find("KeyItems").findall("key"):
            x, y, w, h = (int(v) for v in k.get("rect").split("#"))
            self.keys.append(Key(int(k.get("code"), 16), k.get("name", ""), k.get("desc", ""),
                                 int(k.get("key_index")), k.get("row_col"), (x, y, w, h)))


def draw_keyboard(layout):
    w, h = layout.width, layout.height
    c = Canvas(w, h)
    # The case: a low aluminium-dark slab with a bevelled rim.
    case = (0.5, 0.5, w - 0.5, h - 0.5)
    c.fill(c.rrect(case, 16), (70, 73, 81))
    c.paint(c.rrect((1.5, 1.5, w - 1.5, h - 1.5), 15), c.vgradient(0, h, [(0, (44, 46, 53)), (1, (24, 25, 29))]))
    rim = subtract(c.rrect((1.5, 1.5, w - 1.5, h - 1.5), 15), c.rrect((1.5, 3.5, w - 1.5, h - 1.5), 15))
    c.fill(rim, (255, 255, 255), 0.12)
    # The plate the keys stand on.
    xs = [k.rect[0] for k in layout.keys] + [k.rect[0] + k.rect[2] for k in layout.keys]
    ys = [k.rect[1] for k in layout.keys] + [k.rect[1] + k.rect[3] for k in layout.keys]
    plate = (min(xs) - 6, min(ys) - 6, max(xs) + 6, max(ys) + 6)
    c.fill(c.rrect(plate, 9), (9, 10, 12))
    c.fill(subtract(c.rrect(plate, 9), c.rrect((plate[0], plate[1] + 1.5, plate[2], plate[3]), 9)), (0, 0, 0), 0.8)
    pic = c.image()
    unit = min(k.rect[3] for k in layout.keys)
    for k in layout.keys:
        cap = draw_key(k, unit)
        pic.alpha_composite(cap, (k.rect[0] - 2, k.rect[1] - 2))
    return pic


def draw_key(key, unit):
    """One key cap, drawn in its rectangle with a 2-pixel margin for the shadow."""
    x, y, w, h = key.rect
    c = Canvas(w + 4, h + 4)
    ox, oy = 2, 2
    # Shadow, skirt, then the dished top face.
    c.glow(c.rrect((ox, oy + 1.5, ox + w, oy + h + 1.5), 5), (0, 0, 0), 1.2, 0.9)
    c.paint(c.rrect((ox, oy, ox + w, oy + h), 5), c.vgradient(oy, oy + h, [(0, (50, 52, 59)), (1, (30, 31, 36))]))
    top = (ox + 3, oy + 2, ox + w - 3, oy + h - 5)
    c.paint(c.rrect(top, 4), c.vgradient(top[1], top[3], [(0, (66, 69, 78)), (1, (48, 50, 57))]))
    c.fill(subtract(c.rrect(top, 4), c.rrect((top[0], top[1] + 1, top[2], top[3]), 4)), (255, 255, 255), 0.14)
    cx = (top[0] + top[2]) / 2
    cy = (top[1] + top[3]) / 2
    scale = unit / 40.0
    colour = ACCENT_HI if key.code == ESC else LEGEND
    if key.code in ARROWS:
        c.fill(glyphs.arrow(c, cx, cy, 15 * scale, 1.7 * scale, ARROWS[key.code]), colour)
    elif key.code in SHIFTED:
        c.fill(c.text_mask(SHIFTED[key.code], legend_font(), 10.5 * scale, cx=cx, cy=cy - 7 * scale), LEGEND_SOFT)
        c.fill(c.text_mask(key.name, legend_font(), 12 * scale, cx=cx, cy=cy + 6 * scale), colour)
    elif key.name:
        size = 14 * scale if len(key.name) == 1 else (11 * scale if len(key.name) <= 3 else 10 * scale)
        c.fill(c.text_mask(key.name, legend_font(bold=len(key.name) == 1), size, cx=cx, cy=cy), colour)
    return c.image()


def save_picture(layout, path):
    img = draw_keyboard(layout)
    assert img.size == (layout.width, layout.height)
    img.save(path, optimize=True)
    return img


def load_layouts(folder):
    return [Layout(p) for p in sorted(glob.glob(os.path.join(folder, "*.xml")))]
