#!/usr/bin/python3
"""Authoring tool for the two layouts files in data/layouts/ (they are committed).

Usage: make_layouts.py [data/layouts]

Each model is written from a table of key rows: (name, desc, HID usage, width in key
units[, height in key units]) with None for a gap of `width` units. Key rectangles follow
from the unit size and the row positions; grid columns are the key's left edge in whole
units, so every key of a row gets its own column. LED positions (key_index) number the
keys row by row from Esc = 0. Change the tables here and run the script again rather than
editing rectangles by hand; the skin generator draws the keyboard pictures from the files.
"""
import math
import os
import sys
from xml.sax.saxutils import quoteattr

# HID keyboard usages.
ESC, ENTER, BKSP, TAB, SPACE = 0x29, 0x28, 0x2A, 0x2B, 0x2C
CAPS, PRTSC, SCRLK, PAUSE = 0x39, 0x46, 0x47, 0x48
INS, HOME, PGUP, DEL, END, PGDN = 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E
RIGHT, LEFT, DOWN, UP = 0x4F, 0x50, 0x51, 0x52
NUMLK, MENU = 0x53, 0x65
LCTRL, LSHIFT, LALT, LWIN, RCTRL, RSHIFT, RALT = 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6
FN = 0xFF  # the keyboard's own Fn: the program refuses to reassign code 0xFF

LETTERS = {c: 0x04 + i for i, c in enumerate("ABCDEFGHIJKLMNOPQRSTUVWXYZ")}
DIGITS = {str((i + 1) % 10): 0x1E + i for i in range(10)}


def fkey(n):
    return ("F%d" % n, "F%d" % n, 0x3A + n - 1, 1)


def letter(c):
    return (c, c, LETTERS[c], 1)


def digit(d):
    shifted = "!@#$%^&*()"[(int(d) + 9) % 10]
    return (d, "%s %s" % (d, shifted), DIGITS[d], 1)


def keypad(label, desc, code, w=1, h=1):
    return (label, desc, code, w, h)


NUMBER_ROW = [("`", "` ~", 0x35, 1)] + [digit(d) for d in "1234567890"] + [
    ("-", "- _", 0x2D, 1), ("=", "= +", 0x2E, 1), ("Backspace", "Backspace", BKSP, 2)]
TOP_ROW = [("Tab", "Tab", TAB, 1.5)] + [letter(c) for c in "QWERTYUIOP"] + [
    ("[", "[ {", 0x2F, 1), ("]", "] }", 0x30, 1), ("\\", "\\ |", 0x31, 1.5)]
HOME_ROW = [("Caps Lock", "Caps Lock", CAPS, 1.75)] + [letter(c) for c in "ASDFGHJKL"] + [
    (";", "; :", 0x33, 1), ("'", "' \"", 0x34, 1), ("Enter", "Enter", ENTER, 2.25)]
SHIFT_ROW = [("Shift", "Left Shift", LSHIFT, 2.25)] + [letter(c) for c in "ZXCVBNM"] + [
    (",", ", <", 0x36, 1), (".", ". >", 0x37, 1), ("/", "/ ?", 0x38, 1)]


def gap(w):
    return (None, None, None, w)


Q77X_ROWS = [
    [("Esc", "Esc", ESC, 1)] + [fkey(n) for n in range(1, 13)]
    + [("PrtSc", "Print Screen", PRTSC, 1), ("Ins", "Insert", INS, 1), ("Del", "Delete", DEL, 1)],
    NUMBER_ROW + [gap(0), ("Home", "Home", HOME, 1)],
    TOP_ROW + [("PgUp", "Page Up", PGUP, 1)],
    HOME_ROW + [("PgDn", "Page Down", PGDN, 1)],
    SHIFT_ROW + [("Shift", "Right Shift", RSHIFT, 1.75), ("\u2191", "Up", UP, 1), ("End", "End", END, 1)],
    [("Ctrl", "Left Ctrl", LCTRL, 1.25), ("Win", "Left Windows", LWIN, 1.25), ("Alt", "Left Alt", LALT, 1.25),
     ("", "Space", SPACE, 6.25), ("Alt", "Right Alt", RALT, 1), ("Fn", "Fn", FN, 1), ("Ctrl", "Right Ctrl", RCTRL, 1),
     ("\u2190", "Left", LEFT, 1), ("\u2193", "Down", DOWN, 1), ("\u2192", "Right", RIGHT, 1)],
]

NAV = 0.25   # gap between the main block, the navigation block and the keypad
K104_ROWS = [
    [("Esc", "Esc", ESC, 1), gap(1)] + [fkey(n) for n in range(1, 5)] + [gap(0.5)]
    + [fkey(n) for n in range(5, 9)] + [gap(0.5)] + [fkey(n) for n in range(9, 13)]
    + [gap(NAV), ("PrtSc", "Print Screen", PRTSC, 1), ("ScrLk", "Scroll Lock", SCRLK, 1), ("Pause", "Pause", PAUSE, 1)],
    NUMBER_ROW + [gap(NAV), ("Ins", "Insert", INS, 1), ("Home", "Home", HOME, 1), ("PgUp", "Page Up", PGUP, 1),
                  gap(NAV), keypad("Num", "Num Lock", NUMLK), keypad("/", "Num /", 0x54),
                  keypad("*", "Num *", 0x55), keypad("-", "Num -", 0x56)],
    TOP_ROW + [gap(NAV), ("Del", "Delete", DEL, 1), ("End", "End", END, 1), ("PgDn", "Page Down", PGDN, 1),
               gap(NAV), keypad("7", "Num 7", 0x5F), keypad("8", "Num 8", 0x60), keypad("9", "Num 9", 0x61),
               keypad("+", "Num +", 0x57, 1, 2)],
    HOME_ROW + [gap(NAV + 3 + NAV), keypad("4", "Num 4", 0x5C), keypad("5", "Num 5", 0x5D), keypad("6", "Num 6", 0x5E)],
    SHIFT_ROW + [("Shift", "Right Shift", RSHIFT, 2.75), gap(NAV + 1), ("\u2191", "Up", UP, 1), gap(1 + NAV),
                 keypad("1", "Num 1", 0x59), keypad("2", "Num 2", 0x5A), keypad("3", "Num 3", 0x5B),
                 keypad("Enter", "Num Enter", 0x58, 1, 2)],
    [("Ctrl", "Left Ctrl", LCTRL, 1.25), ("Win", "Left Windows", LWIN, 1.25), ("Alt", "Left Alt", LALT, 1.25),
     ("", "Space", SPACE, 6.25), ("Alt", "Right Alt", RALT, 1.25), ("Fn", "Fn", FN, 1.25),
     ("Menu", "Menu", MENU, 1.25), ("Ctrl", "Right Ctrl", RCTRL, 1.25), gap(NAV),
     ("\u2190", "Left", LEFT, 1), ("\u2193", "Down", DOWN, 1), ("\u2192", "Right", RIGHT, 1), gap(NAV),
     keypad("0", "Num 0", 0x62, 2), keypad(".", "Num .", 0x63)],
]

# Lighting modes: (name text id, attribute bits, what it shows).
Q77X_MODES = [
    (801, 0x047, "Wave: brightness, speed, left/right, colour group 1"),
    (802, 0x083, "Breathing: brightness, speed, colour group 2"),
    (803, 0x003, "Spectrum cycle: brightness, speed"),
    (804, 0x011, "Static: brightness, free colour (the keyboard takes RGB in mode 4)"),
    (805, 0x043, "Reactive: brightness, speed, colour group 1"),
    (806, 0x087, "Ripple: brightness, speed, left/right, colour group 2"),
    (807, 0x043, "Starlight: brightness, speed, colour group 1"),
    (808, 0x007, "Marquee: brightness, speed, left/right"),
    (809, 0x801, "Zones: brightness, five colour areas (mode 9)"),
    (810, 0x101, "Custom: per-key colours, brightness"),
    (811, 0x200, "Music: reacts to the sound playing (wired only)"),
]
K104_MODES = [
    (804, 0x031, "Static: brightness, colour button, multicolour, free colour"),
    (802, 0x033, "Breathing: brightness, speed, colour button, multicolour, free colour"),
    (801, 0x007, "Wave: brightness, speed, left/right"),
    (806, 0x037, "Ripple: brightness, speed, left/right, colour button, multicolour, free colour"),
    (805, 0x023, "Reactive: brightness, speed, colour button, multicolour"),
    (810, 0x101, "Custom: per-key colours, brightness"),
    (811, 0x200, "Music: level-meter effects with amplitude and background"),
    (812, 0x400, "Screen sync: the keys follow the colours of the screen"),
]

MODELS = {
    "q77x": dict(
        title="Brivo Q77X: 75 % keyboard, 84 keys, cable and both wireless kinds (device type 201)",
        unit=44, key_gap=4, fn_gap=8, xpos=429, ypos=100, width=742, height=314,
        rows=Q77X_ROWS, modes=Q77X_MODES,
        menu=dict(macro=1, light_mode=1), sleep_time=1,
        firmware=dict(version="1.05", file="Q77X_FW_V105.bin", url="https://update.tastro.example/firmware/q77x/"),
        light=dict(rgb_keyboard=1, default_mode=1, default_brightness=4, default_speed=3,
                   brightness_max=4, speed_max=4)),
    "k104": dict(
        title="Brivo K104: full-size keyboard, 104 keys, cable (older command set, device type 104)",
        unit=38, key_gap=4, fn_gap=8, xpos=353, ypos=100, width=894, height=286,
        rows=K104_ROWS, modes=K104_MODES,
        menu=dict(macro=1, light_mode=1), sleep_time=0,
        firmware=dict(version="", file="", url=""),
        light=dict(rgb_keyboard=1, default_mode=1, default_brightness=5, default_speed=2,
                   brightness_max=5, speed_max=4)),
}


def layout_keys(m):
    """[(row, col, name, desc, code, x, y, w, h)] with pixel rectangles."""
    u, gap_px = m["unit"], m["key_gap"]
    widest = max(sum(k[3] for k in row) for row in m["rows"])
    mx = (m["width"] - widest * u) / 2.0
    body_h = len(m["rows"]) * u + m["fn_gap"]
    my = (m["height"] - body_h) / 2.0
    keys = []
    for r, row in enumerate(m["rows"]):
        left = 0.0
        top = my + r * u + (m["fn_gap"] if r > 0 else 0)
        for item in row:
            name, desc, code, w = item[:4]
            h = item[4] if len(item) > 4 else 1
            if code is not None:
                x0 = int(round(mx + left * u + gap_px / 2))
                x1 = int(round(mx + (left + w) * u - gap_px / 2))
                y0 = int(round(top + gap_px / 2))
                y1 = int(round(top + h * u + (m["fn_gap"] if h > 1 and r == 0 else 0) - gap_px / 2))
                keys.append((r, int(math.floor(left + 1e-6)), name, desc, code, x0, y0, x1 - x0, y1 - y0))
            left += w
    return keys


def render(device_info, m):
    keys = layout_keys(m)
    cols = max(k[1] for k in keys) + 1
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           "<!-- %s. Written by scripts/make_layouts.py. -->" % m["title"],
           "<!-- Key codes are HID keyboard usages (hex); key_index is the LED/key position, row by row",
           "     from Esc = 0; row_col is row_column in the 8 x 32 key grid; rect is x#y#w#h on the",
           "     picture skins/theme1/keyboard/%s.png, drawn from this file. -->" % device_info,
           "<device.info>",
           '  <menu macro="%(macro)d" light_mode="%(light_mode)d"/>' % m["menu"],
           '  <function sleep_time="%d"/>' % m["sleep_time"],
           '  <firmware version=%s file=%s url=%s/>' % tuple(quoteattr(m["firmware"][k]) for k in ("version", "file", "url")),
           '  <light rgb_keyboard="%(rgb_keyboard)d" default_mode="%(default_mode)d" '
           'default_brightness="%(default_brightness)d" default_speed="%(default_speed)d" '
           'brightness_max="%(brightness_max)d" speed_max="%(speed_max)d">' % m["light"]]
    for i, (text_id, bits, what) in enumerate(m["modes"], 1):
        out.append('    <info name="%d" mode="%d" attribute="%d"/> <!-- 0x%03X %s -->' % (text_id, i, bits, bits, what))
    out.append("  </light>")
    out.append('  <Keyboard xpos="%d" ypos="%d" width="%d" height="%d" image="%s.png" row_count="%d" col_count="%d">'
               % (m["xpos"], m["ypos"], m["width"], m["height"], device_info, len(m["rows"]), cols))
    out.append("    <KeyItems>")
    for index, (r, c, name, desc, code, x, y, w, h) in enumerate(keys):
        out.append('      <key code="%02X" name=%s desc=%s key_index="%d" light_index="%d" icon="" row_col="%d_%02d" rect="%d#%d#%d#%d"/>'
                   % (code, quoteattr(name), quoteattr(desc), index, index, r, c, x, y, w, h))
    out.append("    </KeyItems>")
    out.append("  </Keyboard>")
    out.append("</device.info>")
    return "\n".join(out) + "\n"


def main(argv):
    folder = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "layouts")
    os.makedirs(folder, exist_ok=True)
    for device_info, m in MODELS.items():
        with open(os.path.join(folder, device_info + ".xml"), "w", encoding="utf-8", newline="\n") as f:
            f.write(render(device_info, m))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
