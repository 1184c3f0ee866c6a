#!/usr/bin/python3
"""Generates the skin: every image of skins\\theme1\\ and the toolkit's embedded images.

Usage:
  make_skin.py --layouts <data/layouts> --skins <program>/skins --resources <dir> --stamp <file>
               [--contact-sheet <sheet.png>]
  make_skin.py --layouts <data/layouts> --contact-sheet <sheet.png>

Writes <skins>/theme1/... (every file of scripts/skin/manifest.py, plus one keyboard
picture per layouts file under keyboard\\, drawn from its key rectangles) and, into
<resources>, the images embedded in ZuntUI.dll: scroll_h.png (resource 101, 22 x 20, four
stacked frames) and scroll_v.png (resource 102, 28 x 239, four frames side by side). The
stamp is touched last. --contact-sheet also renders one PNG showing every image on the
window background, for review; without --skins the skin goes to a temporary folder.
"""
import argparse
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from skin import brand, glyphs, surfaces, widgets  # noqa: E402
from skin.keyboard import load_layouts, save_picture  # noqa: E402
from skin.manifest import FILES  # noqa: E402
from skin.theme import ACCENT  # noqa: E402


def skin_images():
    """name -> PIL image for every still image of the theme (the GIF is separate)."""
    img = {
        "main_bkg.png": surfaces.window_background(),
        "pic_caption.png": surfaces.caption_bar(),
        "logo/logo.png": brand.logo(),
        "img_device_state.png": widgets.device_row(),
        "img_customkey.png": widgets.function_key(),
        "icon/icon_circle.png": widgets.list_circle(),
        "img_edit.png": widgets.edit_box(),
        "img_combobox.png": widgets.combo_box(),
        "btn_apply.png": widgets.push_button(),
        "btn_radiobox.png": widgets.radio_box(),
        "btn_checkbox.png": widgets.check_box(),
        "img_slider_back.png": widgets.slider_track(),
        "img_thumb.png": widgets.slider_thumb(),
        "btn_colorful.png": widgets.colourful_swatch(),
        "img_circlepalette.png": widgets.colour_wheel(),
        "bk_prompt.png": surfaces.message_box(),
        "img_tip_bk.png": surfaces.balloon(),
        "img_scroll_v.png": widgets.scroll_vertical(),
        "img_scroll_h.png": widgets.scroll_horizontal(),
        "img_spin_up.png": widgets.spin_button("up"),
        "img_spin_down.png": widgets.spin_button("down"),
        "img_palette_thumb.png": widgets.palette_thumb(),
    }
    img.update(widgets.system_buttons())
    img.update(widgets.profile_buttons())
    img.update(widgets.record_buttons())
    for d in ("left", "right", "top", "bottom"):
        img["btn_direction_%s.png" % d] = widgets.direction_button({"top": "up", "bottom": "down"}.get(d, d))
    for d in ("left", "right", "top"):
        img["img_tip_arrow_%s.png" % d] = widgets.tip_arrow(d)
    tabs = {"tab_home": glyphs.home, "tab_customkey": glyphs.keycap, "tab_macro": glyphs.macro,
            "tab_light": glyphs.light, "tab_config": glyphs.gear}
    for name, g in tabs.items():
        img["icon/%s.png" % name] = widgets.tab_icon(g)
    headers = {"icon_keyboard": glyphs.keyboard, "icon_macro": glyphs.macro,
               "icon_lightmode": glyphs.light, "icon_config": glyphs.sliders}
    for name, g in headers.items():
        img["icon/%s.png" % name] = widgets.icon(g, 32, ACCENT, stroke=2.2)
    for name, g in widgets.MEDIA_ICONS.items():
        img[name] = widgets.icon(g, 20, (226, 228, 233), stroke=1.5)
    outline, level, charge = widgets.battery()
    img["icon/icon_battery_bkg.png"] = outline
    img["icon/icon_batteryvalue.png"] = level
    img["icon/icon_charge.png"] = charge
    img["icon/mode_usb.png"] = widgets.icon(glyphs.usb, 24, (173, 173, 173), stroke=1.8)
    return img


def write_skin(layouts_dir, theme_dir, resources_dir=None):
    images = skin_images()
    missing = [f.name for f in FILES if f.name not in images and f.name != "loading.gif"]
    if missing:
        raise SystemExit("make_skin: no artwork for %s" % ", ".join(missing))
    for name, image in images.items():
        path = os.path.join(theme_dir, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        image.save(path, optimize=True)
    surfaces.save_gif(surfaces.loading_frames(), os.path.join(theme_dir, "loading.gif"))
    keyboards = {}
    os.makedirs(os.path.join(theme_dir, "keyboard"), exist_ok=True)
    for layout in load_layouts(layouts_dir):
        keyboards[layout.image] = save_picture(layout, os.path.join(theme_dir, "keyboard", layout.image))
    if resources_dir:
        os.makedirs(resources_dir, exist_ok=True)
        images["img_scroll_h.png"].save(os.path.join(resources_dir, "scroll_h.png"), optimize=True)
        images["img_scroll_v.png"].save(os.path.join(resources_dir, "scroll_v.png"), optimize=True)
    return images, keyboards


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--layouts", required=True)
    ap.add_argument("--skins")
    ap.add_argument("--resources")
    ap.add_argument("--stamp")
    ap.add_argument("--contact-sheet", dest="sheet")
    args = ap.parse_args()
    if not args.skins and not args.sheet:
        ap.error("nothing to do: give --skins or --contact-sheet")

    with tempfile.TemporaryDirectory() as tmp:
        skins = args.skins or tmp
        theme = os.path.join(skins, "theme1")
        os.makedirs(theme, exist_ok=True)
        write_skin(args.layouts, theme, args.resources)
        if args.sheet:
            from skin.contact import contact_sheet
            contact_sheet(theme, args.layouts).save(args.sheet, optimize=True)

    if args.stamp:
        with open(args.stamp, "w") as f:
            f.write("ok\n")


if __name__ == "__main__":
    main()
