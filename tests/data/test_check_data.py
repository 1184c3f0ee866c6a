#!/usr/bin/python3
"""The data checker catches each kind of fault: it runs on deliberately broken copies of
the assembled program folder (and on small source fixtures) and must name the fault.
Also covers the two build tools that feed it: the language-file writer and the keyboard
pictures drawn from the layouts files.

Usage: test_check_data.py --program <build/Tastro> [unittest arguments]
"""
import argparse
import os
import re
import shutil
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))

from PIL import Image  # noqa: E402

import check_data  # noqa: E402
import make_language  # noqa: E402
from skin import keyboard  # noqa: E402

PROGRAM = None
DATA_PARTS = ["config.xml", "Tastro.ico", "layouts", "language", "skins", "font"]


# ------------------------------------------------------------------ mutations
def edit_text(path, fn, encoding="utf-8"):
    with open(path, encoding=encoding, newline="") as f:
        text = f.read()
    changed = fn(text)
    assert changed != text, "mutation changed nothing in %s" % path
    with open(path, "w", encoding=encoding, newline="") as f:
        f.write(changed)


def edit_language(path, fn):
    with open(path, "rb") as f:
        raw = f.read()
    text = fn(raw[2:].decode("utf-16-le"))
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16-le"))


def nth_key_attr(text, n, attr, value):
    """Sets attribute `attr` of the n-th <key> (0-based)."""
    keys = list(re.finditer(r"<key [^>]*/>", text))
    k = keys[n]
    new = re.sub(r'\b%s="[^"]*"' % attr, '%s="%s"' % (attr, value), k.group(0))
    return text[:k.start()] + new + text[k.end():]


def key_attr(text, n, attr):
    k = list(re.finditer(r"<key [^>]*/>", text))[n].group(0)
    return re.search(r'\b%s="([^"]*)"' % attr, k).group(1)


def truncate(path):
    """Keeps the first third of a file, as a broken copy or download would."""
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(data[:len(data) // 3])


def resize(path, size):
    im = Image.open(path).convert("RGBA")
    im.resize(size).save(path)


class Fixture(unittest.TestCase):
    """A fresh copy of the program folder's data and an empty source tree per test."""

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="tastro-data-")
        self.prog = os.path.join(self.tmp, "Tastro")
        os.makedirs(self.prog)
        for part in DATA_PARTS:
            src = os.path.join(PROGRAM, part)
            dst = os.path.join(self.prog, part)
            (shutil.copytree if os.path.isdir(src) else shutil.copy2)(src, dst)
        self.src = os.path.join(self.tmp, "src")
        for d in ("app", "ui", "storage"):
            os.makedirs(os.path.join(self.src, d))

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.prog, *parts)

    def skin(self, name):
        return self.path("skins", "theme1", *name.split("/"))

    def source(self, rel, code):
        with open(os.path.join(self.src, rel), "w", encoding="utf-8") as f:
            f.write(code)

    def problems(self):
        return check_data.check(self.prog, None, self.src)

    def assertCaught(self, kind, *fragments):
        found = self.problems()
        hits = [p for p in found if p.startswith("[%s]" % kind) and all(f in p for f in fragments)]
        self.assertTrue(hits, "no [%s] problem containing %r among:\n  %s"
                        % (kind, fragments, "\n  ".join(found) or "(none)"))

    def run_cases(self, cases):
        """cases: (label, mutation, kind, fragments...) each on its own fresh copy."""
        for label, mutate, kind, *fragments in cases:
            with self.subTest(label):
                self.tearDown()
                self.setUp()
                mutate()
                self.assertCaught(kind, *fragments)


class IntactData(Fixture):
    def test_the_built_data_passes(self):
        self.source("app/Page.cpp", 'void f() { SetImage(L"btn_apply.png", 4); LoadText(53, L"KB.DIALOG"); '
                                    'tabs.InsertItem(1, t, L"icon\\\\tab_customkey.png", p, 4, 0); '
                                    'list.SetImage(L"icon//icon_circle.png", 2); }\n')
        self.assertEqual(self.problems(), [])


class SkinFaults(Fixture):
    def test_missing_or_misshapen_skin_files(self):
        def transparent_colour():
            im = Image.open(self.skin("bk_prompt.png")).convert("RGBA")
            im.putpixel((0, 0), (255, 0, 0, 0))
            im.save(self.skin("bk_prompt.png"))

        def still_gif():
            Image.new("RGB", (100, 100), (51, 51, 51)).save(self.skin("loading.gif"))

        def see_through_background():
            im = Image.open(self.skin("main_bkg.png")).convert("RGBA")
            im.putpixel((640, 360), (0, 0, 0, 0))
            im.save(self.skin("main_bkg.png"))

        def paint_outside_wheel():
            im = Image.open(self.skin("img_circlepalette.png")).convert("RGBA")
            im.putpixel((1, 1), (255, 255, 255, 255))
            im.save(self.skin("img_circlepalette.png"))

        self.run_cases([
            ("missing", lambda: os.remove(self.skin("btn_apply.png")), "skin", "btn_apply.png", "missing"),
            ("missing in a folder", lambda: os.remove(self.skin("icon/tab_home.png")), "skin",
             "icon/tab_home.png", "missing"),
            ("wrong size", lambda: resize(self.skin("main_sysbtn_close.png"), (100, 30)), "skin",
             "main_sysbtn_close.png", "must be 120x30"),
            ("frames do not split", lambda: resize(self.skin("btn_radiobox.png"), (150, 20)), "skin",
             "btn_radiobox.png", "8 frames side by side"),
            ("stacked frames do not split", lambda: resize(self.skin("img_scroll_h.png"), (22, 18)), "skin",
             "img_scroll_h.png", "4 stacked frames"),
            ("frame too small for its nine-grid", lambda: resize(self.skin("img_edit.png"), (40, 10)), "skin",
             "img_edit.png", "smaller than 12x12"),
            ("unscaled frame too large for its slot", lambda: resize(self.skin("icon/tab_light.png"), (400, 60)),
             "skin", "icon/tab_light.png", "larger than 80x55"),
            ("slider track too narrow", lambda: resize(self.skin("img_slider_back.png"), (200, 12)), "skin",
             "img_slider_back.png", "at least 248"),
            ("battery fill differs from its outline", lambda: resize(self.skin("icon/icon_batteryvalue.png"),
                                                                      (20, 10)), "skin", "icon_batteryvalue.png",
             "size of icon/icon_battery_bkg.png"),
            ("coloured transparent pixel in a layered image", transparent_colour, "skin", "bk_prompt.png",
             "(0, 0, 0, 0)"),
            ("still GIF", still_gif, "skin", "loading.gif", "animated"),
            ("transparent window background", see_through_background, "skin", "main_bkg.png", "opaque"),
            ("colour outside the wheel radius", paint_outside_wheel, "skin", "img_circlepalette.png", "65"),
            ("keyboard picture does not match its layouts file",
             lambda: resize(self.skin("keyboard/q77x.png"), (700, 314)), "skin", "keyboard/q77x.png", "742x314"),
            ("keyboard picture missing", lambda: os.remove(self.skin("keyboard/k104.png")), "skin",
             "keyboard/k104.png", "missing"),
            ("truncated file", lambda: truncate(self.skin("img_combobox.png")), "skin", "img_combobox.png",
             "unreadable"),
        ])

    def test_skin_files_named_by_the_sources(self):
        self.run_cases([
            ("a name the skin lacks",
             lambda: self.source("app/Page.cpp", 'void f() { b->SetImage(L"btn_glow.png", 4); }\n'),
             "skin", "btn_glow.png", "missing", "app/Page.cpp"),
            ("a name in a sub-folder written with backslashes",
             lambda: self.source("ui/Tabs.cpp", 'auto n = L"icon\\\\tab_ghost.png";\n'),
             "skin", "icon/tab_ghost.png", "missing"),
            ("a frame count the skin does not have",
             lambda: self.source("app/Lists.cpp", 'void f() { l->SetImage(L"icon//icon_circle.png", 4); }\n'),
             "sources", "app/Lists.cpp", "icon/icon_circle.png", "4 frames", "has 2"),
        ])

    def test_what_is_not_a_skin_name_or_a_frame_count(self):
        self.source("app/Page.cpp", '// SetImage(L"old_button.png", 4) was the earlier look\n'
                                    '/* "retired.gif" */ auto p = L"%s\\\\keyboard\\\\%s.png";\n'
                                    # A table entry: the number after the name is a page id.
                                    'Tab tabs[] = {{0, L"icon\\\\tab_home.png", 50, 4}};\n')
        # The DPI tile's swatch asks for the check box image with 4 frames and stretches it whole.
        self.source("ui/Dpi.cpp", 'void f() { swatch->SetImage(L"btn_checkbox.png", 4); }\n')
        self.assertEqual(self.problems(), [])


class LayoutsFaults(Fixture):
    def layouts(self, fn, name="q77x"):
        return lambda: edit_text(self.path("layouts", name + ".xml"), fn)

    def test_key_table_faults(self):
        first = lambda t: key_attr(t, 0, "rect")  # noqa: E731
        self.run_cases([
            ("rect outside the picture", self.layouts(lambda t: nth_key_attr(t, 3, "rect", "720#23#40#40")),
             "layouts", "layouts/q77x.xml", "falls outside the 742x314 picture"),
            ("negative rect", self.layouts(lambda t: nth_key_attr(t, 3, "rect", "-5#23#40#40")),
             "layouts", "falls outside"),
            ("two keys overlap", self.layouts(lambda t: nth_key_attr(t, 1, "rect", re.sub(
                r"^(\d+)", lambda m: str(int(m.group(1)) + 20), first(t)))), "layouts", "overlaps key 1"),
            ("code repeats", self.layouts(lambda t: nth_key_attr(t, 5, "code", "29")), "layouts",
             "code 29 repeats"),
            ("code is not a byte", self.layouts(lambda t: nth_key_attr(t, 5, "code", "1FF")), "layouts",
             "not a hexadecimal byte"),
            ("key_index repeats", self.layouts(lambda t: nth_key_attr(t, 7, "key_index", "3")), "layouts",
             "key_index 3 repeats"),
            ("key_index beyond the reports", self.layouts(lambda t: nth_key_attr(t, 7, "key_index", "110")),
             "layouts", "key_index '110' is outside 0..109"),
            ("no key at position 0", self.layouts(lambda t: nth_key_attr(t, 0, "key_index", "108")), "layouts",
             "no key has key_index 0"),
            ("grid cell repeats", self.layouts(lambda t: nth_key_attr(t, 9, "row_col", "0_02")), "layouts",
             "grid cell 0,2 repeats"),
            ("grid cell outside 8 x 32", self.layouts(lambda t: nth_key_attr(t, 9, "row_col", "9_40")),
             "layouts", "row_col '9_40' is outside"),
        ])

    def test_model_faults(self):
        self.run_cases([
            ("modes not numbered in order", self.layouts(lambda t: t.replace('mode="2"', 'mode="5"', 1)),
             "layouts", "numbered 1..N"),
            ("default mode not listed", self.layouts(lambda t: t.replace('default_mode="1"', 'default_mode="40"')),
             "layouts", "default_mode 40"),
            ("zero maximum", self.layouts(lambda t: t.replace('speed_max="4"', 'speed_max="0"')),
             "layouts", "speed_max must be above 0"),
            ("picture leaves its area", self.layouts(lambda t: t.replace('xpos="429"', 'xpos="600"')),
             "layouts", "leaves the area"),
            ("picture runs into the lower controls",
             self.layouts(lambda t: t.replace('ypos="100"', 'ypos="200"'), "k104"), "layouts", "leaves the area"),
            ("not XML at all", lambda: truncate(self.path("layouts", "q77x.xml")), "layouts",
             "layouts/q77x.xml", "unreadable"),
            ("elements out of order", self.layouts(lambda t: re.sub(
                r"(  <firmware [^>]*/>\n)(  <light .*?</light>\n)", r"\2\1", t, flags=re.S)),
             "layouts", "order menu, function, firmware, light, Keyboard"),
        ])


class LanguageFaults(Fixture):
    def lan(self, lang):
        return self.path("language", "%d.lan" % lang)

    def test_encoding_faults(self):
        def utf8(lang):
            def go():
                with open(self.lan(lang), "rb") as f:
                    text = f.read()[2:].decode("utf-16-le")
                with open(self.lan(lang), "w", encoding="utf-8") as f:
                    f.write(text)
            return go

        def no_bom():
            with open(self.lan(1046), "rb") as f:
                raw = f.read()
            with open(self.lan(1046), "wb") as f:
                f.write(raw[2:])

        def odd_length():
            with open(self.lan(1033), "ab") as f:
                f.write(b"\x41")

        self.run_cases([
            ("UTF-8 file", utf8(2052), "language", "language/2052.lan", "not UTF-16LE with a byte order mark"),
            ("UTF-16LE without BOM", no_bom, "language", "language/1046.lan", "byte order mark"),
            ("odd byte count", odd_length, "language", "language/1033.lan", "odd byte count"),
            ("missing file", lambda: os.remove(self.lan(1033)), "language", "language/1033.lan", "missing"),
        ])

    def test_content_faults(self):
        drop = lambda tid: lambda t: re.sub(r"(?m)^%d=.*\r\n" % tid, "", t)  # noqa: E731
        self.run_cases([
            ("a text the interface uses is missing",
             lambda: edit_language(self.lan(1046), drop(53)), "language", "language/1046.lan",
             "text 53 (used by the interface) is missing"),
            ("the languages hold different ids",
             lambda: edit_language(self.lan(2052), drop(901)), "language", "language/2052.lan",
             "lacks texts the other languages have: 901"),
            ("empty text", lambda: edit_language(self.lan(1033), lambda t: t.replace("82=Brightness", "82=")),
             "language", "text 82 is empty"),
            ("default-name prefix translated differently",
             lambda: edit_language(self.lan(1046), lambda t: t.replace("65=Perfil", "65=Profile")),
             "language", "language/1046.lan", "text 65 must be 'Perfil'"),
            ("a lighting mode name without text",
             lambda: edit_text(self.path("layouts", "k104.xml"), lambda t: t.replace('name="812"', 'name="899"')),
             "language", "text 899 (used by a lighting mode of layouts/k104.xml) is missing"),
        ])

    def test_text_ids_used_by_the_sources(self):
        self.run_cases([
            ("LoadText literal", lambda: self.source(
                "app/Settings.cpp", 'void f() { label->SetText(LoadText(4242, L"KB.DIALOG")); }\n'),
             "language", "text 4242 (used by app/Settings.cpp) is missing"),
            ("named text constant", lambda: self.source(
                "storage/Exchange.cpp", "constexpr int kTextExportFailed = 4343;\n"),
             "language", "text 4343 (used by storage/Exchange.cpp) is missing"),
        ])

    def test_ids_in_comments_are_not_used(self):
        self.source("app/Settings.cpp", "// LoadText(4242, L\"KB.DIALOG\") once labelled this\nint x = 1;\n")
        self.assertEqual(self.problems(), [])


class ConfigFaults(Fixture):
    def config(self, fn):
        return lambda: edit_text(self.path("config.xml"), fn)

    def test_description_file_faults(self):
        self.run_cases([
            ("lower-case interface pattern", self.config(lambda t: t.replace(
                "VID_FFFE&amp;PID_0201", "vid_fffe&amp;pid_0201")), "config", "must be upper case"),
            ("product name set", self.config(lambda t: t.replace('product_name=""', 'product_name="Q77X"', 1)),
             "config", "product_name must be empty"),
            ("layouts file missing", lambda: os.remove(self.path("layouts", "k104.xml")), "config",
             "layouts/k104.xml does not exist"),
            ("no start-up model", self.config(lambda t: t.replace('device_type="201"', 'device_type="202"')),
             "config", "no model with device_type 201"),
            ("repeated device type", self.config(lambda t: t.replace('device_type="104"', 'device_type="201"')),
             "config", "device_type 201 repeats"),
            ("model name unfit for a file name", self.config(lambda t: t.replace('name="Brivo K104"',
                                                                                  'name="Brivo K104/old"')),
             "config", "valid file name"),
            ("update address without the final slash", self.config(lambda t: t.replace(
                "tastro.example/software/", "tastro.example/software")), "config", "must end with '/'"),
            ("damaged file", lambda: truncate(self.path("config.xml")), "config", "config.xml", "unreadable"),
            ("software before the models", self.config(lambda t: re.sub(
                r"(  <device.info>.*?</device.info>\n)(  <software.*?</software>\n)", r"\2\1", t, flags=re.S)),
             "config", "order device.info, software"),
        ])

    def test_program_folder_files(self):
        def small_icon():
            Image.new("RGBA", (32, 32), (255, 0, 0, 255)).save(self.path("Tastro.ico"), sizes=[(16, 16), (32, 32)])

        self.run_cases([
            ("font missing", lambda: os.remove(self.path("font", "Arial.ttf")), "program", "font/Arial.ttf"),
            ("icon without the large sizes", small_icon, "program", "Tastro.ico", "256"),
        ])


class LanguageSources(unittest.TestCase):
    """make_language.py turns a UTF-8 source into the UTF-16LE file and refuses bad ones."""

    def test_writes_utf16le_with_bom_and_crlf(self):
        data = make_language.render(make_language.parse("; c\n[KB.DIALOG]\n65=配置方案\n1= Close \n", "t"))
        self.assertTrue(data.startswith(b"\xff\xfe"))
        self.assertEqual(data[2:].decode("utf-16-le"), "[KB.DIALOG]\r\n65=配置方案\r\n1=Close\r\n")

    def test_refuses_sources_the_program_would_misread(self):
        cases = [
            ("no section", "1=Close\n", "before the [KB.DIALOG] section"),
            ("other section", "[Other]\n1=Close\n", "unexpected section"),
            ("repeated id", "[KB.DIALOG]\n1=Close\n1=Shut\n", "appears twice"),
            ("empty text", "[KB.DIALOG]\n1=\n", "is empty"),
            ("key not an id", "[KB.DIALOG]\nclose=Close\n", "expected <text id>=<text>"),
            ("text too long", "[KB.DIALOG]\n1=" + "x" * 260 + "\n", "longer than 259"),
        ]
        for label, text, fragment in cases:
            with self.subTest(label):
                with self.assertRaises(ValueError) as ctx:
                    make_language.parse(text, "t.ini")
                self.assertIn(fragment, str(ctx.exception))


class KeyboardPictures(unittest.TestCase):
    """The pictures follow the key rectangles of the layouts file they are drawn from."""

    LAYOUT = """<?xml version="1.0" encoding="UTF-8"?>
<device.info><Keyboard xpos="400" ypos="100" width="200" height="80" image="t.png" row_count="1" col_count="2">
<KeyItems>
<key code="04" name="A" desc="A" key_index="0" light_index="0" icon="" row_col="0_00" rect="%s"/>
<key code="05" name="B" desc="B" key_index="1" light_index="1" icon="" row_col="0_01" rect="%s"/>
</KeyItems></Keyboard></device.info>
"""

    def picture(self, rect_a, rect_b):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "t.xml")
            with open(path, "w", encoding="utf-8") as f:
                f.write(self.LAYOUT % (rect_a, rect_b))
            return keyboard.draw_keyboard(keyboard.Layout(path)).convert("RGB")

    @staticmethod
    def lightness(img, x, y):
        return sum(img.getpixel((x, y)))

    def test_key_caps_sit_on_their_rectangles(self):
        moved = self.picture("20#20#40#40", "140#20#40#40")
        # Centre of each key cap is the lighter cap face; the gap between them is the plate.
        plate = self.lightness(moved, 100, 40)
        for x, y in ((40, 32), (160, 32)):
            self.assertGreater(self.lightness(moved, x, y), plate + 60, (x, y))
        # Moving a key in the file moves its cap in the picture.
        other = self.picture("20#20#40#40", "80#20#40#40")
        self.assertGreater(self.lightness(other, 100, 32), plate + 60)
        self.assertEqual(other.size, (200, 80))


def main():
    global PROGRAM
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    args, rest = ap.parse_known_args()
    PROGRAM = os.path.abspath(args.program)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=1)


if __name__ == "__main__":
    main()
