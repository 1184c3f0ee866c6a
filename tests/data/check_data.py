#!/usr/bin/python3
"""Checks the data of an assembled program folder against what the program needs.

Usage: check_data.py --program <build/Tastro> [--resources <build/generated/resources>]
                     [--sources <repository root>]

Prints one line per problem, "[kind] file: what is wrong", and exits with 1 when there is
any (0 otherwise). Kinds: program, config, layouts, language, skin, sources.

What the program's sources name is found by scanning them (comments removed):
  - text ids: every integer literal passed first to LoadText(...), and every constant
    declared as  kText<Name> = <integer>  (app/, storage/, device/, ui/);
  - skin files: every string literal ending in .png or .gif under app/ and ui/ ("\\\\" and
    "//" both separate folders); in SetImage, AddImgResInfo, SetIconImage and SetEditImage
    calls an integer right after the name is the frame count the control asks for.
The text ids the interface uses today (the pages are still being written) are listed in
KNOWN_TEXT_IDS; the lighting-mode names of the layouts files are text ids too.
"""
import argparse
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

from PIL import Image  # noqa: E402

from skin.manifest import BY_NAME, FILES, KEYBOARD_AREA, RESOURCES  # noqa: E402

LANGUAGES = (1033, 2052, 1046)
SECTION = "KB.DIALOG"
# Default-name prefixes other languages look for: they must read exactly so.
FIXED_TEXTS = {65: {1033: "Profile", 2052: "配置方案", 1046: "Perfil"},
               331: {1033: "Macro", 2052: "宏", 1046: "Macro"}}


def _ids(*spans):
    out = set()
    for s in spans:
        if isinstance(s, tuple):
            out.update(range(s[0], s[1] + 1))
        else:
            out.add(s)
    return out


# Texts of the main window, the pages and the dialogs, and the ids added for messages of
# mended behaviour (901-906, see the README's Data section).
KNOWN_TEXT_IDS = _ids(
    1, 2, 5, 10, 11, 20, 22, 23, 25, (26, 33), (50, 53), 55, 56, 60, 61, 65, 82, 83, 85, 86, 87,
    89, 90, 91, (100, 115), 117, 118, 120, 121, (150, 153), 156, 157, (165, 168), (170, 172),
    (175, 177), 201, 202, (204, 212), (230, 236), 252, (270, 279), 290, 291, 293, 295,
    (300, 312), (316, 323), (325, 327), (329, 331), (335, 337), (363, 370), (540, 546), 621,
    (701, 715), (901, 906))

SOURCE_TEXT_DIRS = ("app", "storage", "device", "ui")
SOURCE_SKIN_DIRS = ("app", "ui")
CPP_EXT = (".cpp", ".h", ".hpp", ".cc", ".inl")
BAD_NAME_CHARS = set('\\/:*?"<>|')


class Report:
    def __init__(self):
        self.problems = []

    def add(self, kind, where, what):
        self.problems.append("[%s] %s: %s" % (kind, where, what))


# ----------------------------------------------------------------- source scan
def strip_comments(text):
    """Removes // and /* */ comments, keeping string and character literals."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(text[i:j + 1])
            i = j + 1
        elif text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            out.append(" ")
            i = n if j < 0 else j + 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


LOADTEXT_RE = re.compile(r"\bLoadText\s*\(\s*(\d+)\s*[,)]")
CONST_RE = re.compile(r"\bkText\w*\s*=\s*(\d+)\b")
LITERAL_RE = re.compile(r'(?:L|u8|u)?"((?:[^"\\\n]|\\.)*\.(?:png|gif))"', re.IGNORECASE)
# Calls whose second argument is the frame count of the image named first.
COUNTED_RE = re.compile(r'\b(?:SetImage|AddImgResInfo|SetIconImage|SetEditImage)\s*\(\s*'
                        r'(?:L|u8|u)?"((?:[^"\\\n]|\\.)*\.(?:png|gif))"\s*,\s*(\d+)\s*[,)]', re.IGNORECASE)


def normalise_skin_name(literal):
    text = literal.replace("\\\\", "\\")
    parts = [p for p in re.split(r"[\\/]+", text) if p]
    return "/".join(parts)


def source_files(root, folders):
    for folder in folders:
        base = os.path.join(root, folder)
        for dirpath, _, names in os.walk(base):
            for name in sorted(names):
                if name.endswith(CPP_EXT):
                    yield os.path.join(dirpath, name)


def scan_sources(root):
    """(text ids -> first file, skin name -> [(file, frame count or None)])"""
    texts, skins = {}, {}
    for path in source_files(root, SOURCE_TEXT_DIRS):
        with open(path, encoding="utf-8", errors="replace") as f:
            code = strip_comments(f.read())
        rel = os.path.relpath(path, root)
        for m in LOADTEXT_RE.finditer(code):
            texts.setdefault(int(m.group(1)), rel)
        for m in CONST_RE.finditer(code):
            texts.setdefault(int(m.group(1)), rel)
        if rel.split(os.sep)[0] in SOURCE_SKIN_DIRS:
            counted = {m.start(1): int(m.group(2)) for m in COUNTED_RE.finditer(code)}
            for m in LITERAL_RE.finditer(code):
                if "%" in m.group(1):
                    continue
                skins.setdefault(normalise_skin_name(m.group(1)), []).append((rel, counted.get(m.start(1))))
    return texts, skins


# ------------------------------------------------------------------- languages
def read_language(path, report):
    """Returns {id: text} or None when the file is unusable."""
    name = os.path.relpath(path, os.path.dirname(os.path.dirname(path)))
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError:
        report.add("language", name, "missing")
        return None
    if not raw.startswith(b"\xff\xfe"):
        report.add("language", name, "not UTF-16LE with a byte order mark (FF FE)")
        return None
    if len(raw) % 2:
        report.add("language", name, "odd byte count: not UTF-16LE")
        return None
    try:
        text = raw[2:].decode("utf-16-le")
    except UnicodeDecodeError as e:
        report.add("language", name, "not valid UTF-16LE (%s)" % e.reason)
        return None
    texts, section = {}, None
    for number, line in enumerate(text.splitlines(), 1):
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
            continue
        if section != SECTION:
            continue
        key, sep, value = line.partition("=")
        key = key.strip()
        if not sep or not key.isdigit():
            report.add("language", name, "line %d is not <text id>=<text>" % number)
            continue
        tid = int(key)
        if tid in texts:
            report.add("language", name, "text %d appears twice" % tid)
        if not value.strip():
            report.add("language", name, "text %d is empty" % tid)
        if len(value.strip()) > 259:
            report.add("language", name, "text %d is longer than 259 characters" % tid)
        texts[tid] = value.strip()
    if section is None and not texts:
        report.add("language", name, "no [%s] section" % SECTION)
    return texts


def check_languages(program, needed, report):
    """`needed`: {id: where it is used}."""
    files = {}
    for lang in LANGUAGES:
        files[lang] = read_language(os.path.join(program, "language", "%d.lan" % lang), report)
    loaded = {k: v for k, v in files.items() if v is not None}
    for lang, texts in loaded.items():
        where = "language/%d.lan" % lang
        for tid in sorted(needed):
            if tid not in texts:
                report.add("language", where, "text %d (used by %s) is missing" % (tid, needed[tid]))
        for tid, by_lang in FIXED_TEXTS.items():
            if tid in texts and texts[tid] != by_lang[lang]:
                report.add("language", where, "text %d must be %r (default-name prefix), not %r"
                           % (tid, by_lang[lang], texts[tid]))
    all_ids = set().union(*[set(t) for t in loaded.values()]) if loaded else set()
    for lang, texts in loaded.items():
        missing = sorted(all_ids - set(texts))
        if missing:
            report.add("language", "language/%d.lan" % lang,
                       "lacks texts the other languages have: %s" % ", ".join(map(str, missing)))


# ---------------------------------------------------------------------- config
def _ordered(report, kind, where, parent, order):
    seen = [child.tag for child in parent if child.tag in order]
    positions = [order.index(t) for t in seen]
    if positions != sorted(positions):
        report.add(kind, where, "<%s> children must come in the order %s (found %s)"
                   % (parent.tag, ", ".join(order), ", ".join(seen)))


def _hex(text):
    try:
        return int(text, 16)
    except (TypeError, ValueError):
        return None


def check_config(program, report):
    path = os.path.join(program, "config.xml")
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as e:
        report.add("config", "config.xml", "unreadable (%s)" % e)
        return []
    if root.tag != "config":
        report.add("config", "config.xml", "root element must be <config>")
        return []
    _ordered(report, "config", "config.xml", root, ["device.info", "software"])
    models, types = [], set()
    info = root.find("device.info")
    for kb in (info.findall("keyboard") if info is not None else []):
        name, device_info = kb.get("name", ""), kb.get("device_info", "")
        where = "config.xml keyboard %r" % name
        if not name or set(name) & BAD_NAME_CHARS or ".." in name:
            report.add("config", where, "name must be a valid file name (it names the database)")
        if not device_info or set(device_info) & BAD_NAME_CHARS or ".." in device_info:
            report.add("config", where, "device_info must be a plain file name")
        try:
            device_type = int(kb.get("device_type", ""))
        except ValueError:
            report.add("config", where, "device_type is not a decimal number")
            device_type = None
        if device_type in types:
            report.add("config", where, "device_type %s repeats (the first model wins)" % device_type)
        types.add(device_type)
        if device_info and not os.path.isfile(os.path.join(program, "layouts", device_info + ".xml")):
            report.add("config", where, "layouts/%s.xml does not exist" % device_info)
        modes = kb.findall("mode")
        if not modes:
            report.add("config", where, "has no <mode>")
        for mode in modes:
            if mode.get("value") not in ("0", "1", "2"):
                report.add("config", where, "mode value %r is not 0, 1 or 2" % mode.get("value"))
            for attr in ("vid", "pid"):
                v = _hex(mode.get(attr))
                if v is None or not 0 < v <= 0xFFFF:
                    report.add("config", where, "%s %r is not a USB id in hexadecimal" % (attr, mode.get(attr)))
            if mode.get("product_name", ""):
                report.add("config", where, "product_name must be empty (interfaces are enumerated without strings)")
            pattern = mode.get("hid_interface", "")
            if pattern != pattern.upper():
                report.add("config", where, "hid_interface %r must be upper case" % pattern)
        models.append((name, device_type, device_info))
    if 201 not in types:
        report.add("config", "config.xml", "no model with device_type 201 (the model selected at start-up)")
    software = root.find("software")
    if software is None or not software.get("name"):
        report.add("config", "config.xml", "<software> with a name is missing")
    else:
        _ordered(report, "config", "config.xml", software, ["website", "store", "upgrade", "copyright"])
        upgrade = software.find("upgrade")
        if upgrade is not None and not upgrade.get("url", "").endswith("/"):
            report.add("config", "config.xml", "upgrade url must end with '/'")
    return models


# --------------------------------------------------------------------- layouts
def parse_row_col(text):
    """Row and column as the program reads them: the first character, and the last
    character of a 3-character text or else the last two."""
    if len(text) < 2 or not text[0].isdigit():
        return None
    col = text[-1:] if len(text) == 3 else text[-2:]
    if not col.isdigit():
        return None
    return int(text[0]), int(col)


def check_layouts(program, device_info, report):
    """Returns the lighting-mode text ids of the file."""
    rel = "layouts/%s.xml" % device_info
    try:
        root = ET.parse(os.path.join(program, "layouts", device_info + ".xml")).getroot()
    except (OSError, ET.ParseError) as e:
        report.add("layouts", rel, "unreadable (%s)" % e)
        return set()
    if root.tag != "device.info":
        report.add("layouts", rel, "root element must be <device.info>")
        return set()
    _ordered(report, "layouts", rel, root, ["menu", "function", "firmware", "light", "Keyboard"])
    names = set()
    fw = root.find("firmware")
    if fw is not None and fw.get("url") and not fw.get("url").endswith("/"):
        report.add("layouts", rel, "firmware url must end with '/'")
    light = root.find("light")
    if light is not None:
        vals = {}
        for a in ("default_mode", "default_brightness", "default_speed", "brightness_max", "speed_max"):
            try:
                vals[a] = int(light.get(a, ""))
            except ValueError:
                report.add("layouts", rel, "light %s is not a decimal number" % a)
                vals[a] = 0
        for a in ("brightness_max", "speed_max"):
            if vals[a] <= 0:
                report.add("layouts", rel, "light %s must be above 0" % a)
        if not 0 <= vals["default_brightness"] <= vals["brightness_max"]:
            report.add("layouts", rel, "default_brightness is outside 0..brightness_max")
        if not 0 <= vals["default_speed"] <= vals["speed_max"]:
            report.add("layouts", rel, "default_speed is outside 0..speed_max")
        infos = light.findall("info")
        modes = []
        for pos, info in enumerate(infos, 1):
            try:
                mode, name, bits = int(info.get("mode", "")), int(info.get("name", "")), int(info.get("attribute", ""))
            except ValueError:
                report.add("layouts", rel, "light info %d: name, mode and attribute must be decimal" % pos)
                continue
            if mode != pos:
                report.add("layouts", rel, "light info %d has mode %d: modes must be numbered 1..N in order"
                           % (pos, mode))
            if not 0 < bits < 0x1000:
                report.add("layouts", rel, "light info %d: attribute %d has no known bit" % (pos, bits))
            names.add(name)
            modes.append(mode)
        if vals["default_mode"] not in modes:
            report.add("layouts", rel, "default_mode %d is not one of the modes" % vals["default_mode"])
    kb = root.find("Keyboard")
    if kb is None:
        report.add("layouts", rel, "<Keyboard> is missing")
        return names
    try:
        x, y, w, h = (int(kb.get(a, "")) for a in ("xpos", "ypos", "width", "height"))
        rows, cols = int(kb.get("row_count", "")), int(kb.get("col_count", ""))
    except ValueError:
        report.add("layouts", rel, "Keyboard position, size and grid must be decimal numbers")
        return names
    ax0, ay0, ax1, ay1 = KEYBOARD_AREA
    if x < ax0 or y < ay0 or x + w > ax1 or y + h > ay1:
        report.add("layouts", rel, "picture at (%d, %d) size %dx%d leaves the area x %d..%d, y %d..%d"
                   % (x, y, w, h, ax0, ax1, ay0, ay1))
    if not (0 < rows <= 8 and 0 < cols <= 32):
        report.add("layouts", rel, "key grid %d x %d is outside 8 x 32" % (rows, cols))
    image = kb.get("image", "")
    pic = os.path.join(program, "skins", "theme1", "keyboard", image)
    try:
        with Image.open(pic) as im:
            if im.size != (w, h):
                report.add("skin", "keyboard/%s" % image, "is %dx%d, the layouts file says %dx%d"
                           % (im.size[0], im.size[1], w, h))
    except OSError:
        report.add("skin", "keyboard/%s" % image, "missing or unreadable (named by %s)" % rel)
    items = kb.find("KeyItems")
    keys = items.findall("key") if items is not None else []
    if not keys:
        report.add("layouts", rel, "has no keys")
    codes, indexes, cells, rects = {}, {}, {}, []
    for n, key in enumerate(keys, 1):
        label = "key %d (%s)" % (n, key.get("desc") or key.get("name") or key.get("code"))
        code = _hex(key.get("code"))
        if code is None or not 0 < code <= 0xFF:
            report.add("layouts", rel, "%s: code %r is not a hexadecimal byte 1..FF" % (label, key.get("code")))
        elif code in codes:
            report.add("layouts", rel, "%s: code %02X repeats %s" % (label, code, codes[code]))
        else:
            codes[code] = label
        try:
            index = int(key.get("key_index", ""))
        except ValueError:
            index = None
        if index is None or not 0 <= index <= 109:
            report.add("layouts", rel, "%s: key_index %r is outside 0..109" % (label, key.get("key_index")))
        elif index in indexes:
            report.add("layouts", rel, "%s: key_index %d repeats %s" % (label, index, indexes[index]))
        else:
            indexes[index] = label
        cell = parse_row_col(key.get("row_col", ""))
        if cell is None or not (cell[0] < min(rows, 8) and cell[1] < min(cols, 32)):
            report.add("layouts", rel, "%s: row_col %r is outside the %d x %d grid"
                       % (label, key.get("row_col"), rows, cols))
        elif cell in cells:
            report.add("layouts", rel, "%s: grid cell %d,%d repeats %s" % (label, cell[0], cell[1], cells[cell]))
        else:
            cells[cell] = label
        try:
            kx, ky, kw, kh = (int(v) for v in key.get("rect", "").split("#"))
        except ValueError:
            report.add("layouts", rel, "%s: rect %r is not x#y#w#h" % (label, key.get("rect")))
            continue
        if kw <= 0 or kh <= 0 or kx < 0 or ky < 0 or kx + kw > w or ky + kh > h:
            report.add("layouts", rel, "%s: rect %s falls outside the %dx%d picture" % (label, key.get("rect"), w, h))
        for other_label, (ox, oy, ow, oh) in rects:
            if kx < ox + ow and ox < kx + kw and ky < oy + oh and oy < ky + kh:
                report.add("layouts", rel, "%s overlaps %s" % (label, other_label))
        rects.append((label, (kx, ky, kw, kh)))
    if keys and 0 not in indexes:
        report.add("layouts", rel, "no key has key_index 0 (keys missing from the maps use position 0)")
    return names


# ------------------------------------------------------------------------ skin
def _frame_size(entry, size):
    w, h = size
    if entry.arrangement == "h":
        return (w // entry.frames, h)
    if entry.arrangement == "v":
        return (w, h // entry.frames)
    if entry.arrangement == "halves":
        return (w, h // 2)
    return (w, h)


def check_image(path, entry, report, where=None):
    """Checks one image against its rules; returns its size, or None when unreadable."""
    where = where or entry.name
    try:
        with Image.open(path) as im:
            im.load()
            return _check_loaded(im, entry, report, where)
    except OSError:
        report.add("skin", where, "missing or unreadable")
        return None


def _check_loaded(im, entry, report, where):
    w, h = im.size
    r = entry.rules
    if entry.arrangement == "gif":
        frames = getattr(im, "n_frames", 1)
        if im.format != "GIF" or frames < 2:
            report.add("skin", where, "must be an animated GIF (has %d frame(s))" % frames)
    elif entry.arrangement == "h" and w % entry.frames:
        report.add("skin", where, "width %d does not split into %d frames side by side" % (w, entry.frames))
    elif entry.arrangement == "v" and h % entry.frames:
        report.add("skin", where, "height %d does not split into %d stacked frames" % (h, entry.frames))
    elif entry.arrangement == "halves" and h % 2:
        report.add("skin", where, "height %d does not split into two halves" % h)
    if "size" in r and (w, h) != tuple(r["size"]):
        report.add("skin", where, "is %dx%d, must be %dx%d" % (w, h, r["size"][0], r["size"][1]))
    fw, fh = _frame_size(entry, (w, h))
    if "min_frame" in r and (fw < r["min_frame"][0] or fh < r["min_frame"][1]):
        report.add("skin", where, "frame %dx%d is smaller than %dx%d" % (fw, fh, r["min_frame"][0], r["min_frame"][1]))
    if "max_frame" in r and (fw > r["max_frame"][0] or fh > r["max_frame"][1]):
        report.add("skin", where, "frame %dx%d is larger than %dx%d" % (fw, fh, r["max_frame"][0], r["max_frame"][1]))
    if "min_width" in r and w < r["min_width"]:
        report.add("skin", where, "is %d wide, needs at least %d" % (w, r["min_width"]))
    if entry.arrangement == "gif":
        return (w, h)
    rgba = im.convert("RGBA")
    alpha = rgba.getchannel("A")
    if r.get("opaque") and alpha.getextrema()[0] < 255:
        report.add("skin", where, "must be opaque")
    if r.get("layered"):
        # Any pixel with alpha 0 but a colour shows opaque in a layered window.
        bad = sum(1 for (cr, cg, cb, ca) in rgba.getdata() if ca == 0 and (cr or cg or cb))
        if bad:
            report.add("skin", where, "%d fully transparent pixels are not (0, 0, 0, 0)" % bad)
    if "wheel" in r:
        radius = r["wheel"]
        cx, cy = w / 2.0, h / 2.0
        px = rgba.load()
        outside = sum(1 for yy in range(h) for xx in range(w)
                      if px[xx, yy][3] and ((xx + 0.5 - cx) ** 2 + (yy + 0.5 - cy) ** 2) > (radius + 1) ** 2)
        if outside or px[int(cx), int(cy)][3] < 255:
            report.add("skin", where, "the wheel must be centred and lie within %d pixels of the centre" % radius)
    return (w, h)


def check_skin(program, resources, source_skins, report):
    theme = os.path.join(program, "skins", "theme1")
    sizes = {}
    for entry in FILES:
        sizes[entry.name] = check_image(os.path.join(theme, *entry.name.split("/")), entry, report)
    for entry in FILES:
        other = entry.rules.get("same_as")
        if other and sizes.get(entry.name) and sizes.get(other) and sizes[entry.name] != sizes[other]:
            report.add("skin", entry.name, "must have the size of %s" % other)
    if resources:
        for entry in RESOURCES:
            check_image(os.path.join(resources, entry.name), entry, report, where="resource " + entry.name)
    for name, uses in sorted(source_skins.items()):
        path = os.path.join(theme, *name.split("/"))
        if not os.path.isfile(path):
            report.add("skin", name, "missing (named by %s)" % uses[0][0])
            continue
        entry = BY_NAME.get(name)
        for where, count in uses:
            if count is None:
                continue
            if (entry is not None and entry.arrangement in ("h", "v") and count != entry.frames
                    and count not in entry.rules.get("also_counts", ())):
                report.add("sources", where, "asks %s for %d frames, the skin has %d" % (name, count, entry.frames))
            elif entry is None:
                with Image.open(path) as im:
                    if im.size[0] % count:
                        report.add("skin", name, "width %d does not split into the %d frames %s asks for"
                                   % (im.size[0], count, where))


# -------------------------------------------------------------------- program
def check_icon(program, report):
    path = os.path.join(program, "Tastro.ico")
    try:
        with open(path, "rb") as f:
            data = f.read()
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        sizes = {(data[6 + 16 * i] or 256) for i in range(count)}
    except (OSError, struct.error, IndexError):
        report.add("program", "Tastro.ico", "missing or not an icon file")
        return
    if reserved != 0 or kind != 1 or not {16, 32, 48, 256} <= sizes:
        report.add("program", "Tastro.ico", "must hold the sizes 16, 32, 48 and 256 (has %s)" % sorted(sizes))


def check(program, resources=None, sources=None):
    report = Report()
    if not os.path.isdir(program):
        report.add("program", program, "no such folder")
        return report.problems
    if not os.path.isfile(os.path.join(program, "font", "Arial.ttf")):
        report.add("program", "font/Arial.ttf", "missing")
    check_icon(program, report)
    source_texts, source_skins = scan_sources(sources) if sources else ({}, {})
    models = check_config(program, report)
    needed = {tid: "the interface" for tid in KNOWN_TEXT_IDS}
    for tid, where in source_texts.items():
        needed[tid] = where
    for _, _, device_info in models:
        if device_info and os.path.isfile(os.path.join(program, "layouts", device_info + ".xml")):
            for tid in check_layouts(program, device_info, report):
                needed.setdefault(tid, "a lighting mode of layouts/%s.xml" % device_info)
    check_languages(program, needed, report)
    check_skin(program, resources, source_skins, report)
    return report.problems


def main(argv=None):
    ap = argparse.ArgumentParser(description="Checks the data of an assembled program folder.")
    ap.add_argument("--program", required=True)
    ap.add_argument("--resources")
    ap.add_argument("--sources")
    args = ap.parse_args(argv)
    problems = check(args.program, args.resources, args.sources)
    for p in problems:
        print(p)
    print("data check: %d problem(s) in %s" % (len(problems), args.program))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
