#!/usr/bin/python3
"""Generates the skin: every image of skins\\theme1\\ and the toolkit's embedded images.

Usage: make_skin.py --layouts <data/layouts> --skins <program>/skins --resources <dir> --stamp <file>

Writes <skins>/theme1/*.png (and .gif) and, into <resources>, the images embedded in
ZuntUI.dll: scroll_h.png (resource 101, 22 x 20, four stacked frames) and scroll_v.png
(resource 102, 28 x 239, four frames side by side). The stamp is touched last.
"""
import argparse
import os

from PIL import Image, ImageDraw

TRACK = (40, 40, 46, 255)
THUMB_HOT = (235, 40, 48, 255)
THUMB = (120, 120, 130, 255)
UNUSED = (0, 0, 0, 0)


def scroll_bar(width, height, frames_side_by_side):
    img = Image.new("RGBA", (width, height), UNUSED)
    d = ImageDraw.Draw(img)
    for i, colour in enumerate([TRACK, THUMB_HOT, THUMB, UNUSED]):
        if frames_side_by_side:
            fw = width // 4
            box = [i * fw, 0, (i + 1) * fw - 1, height - 1]
        else:
            fh = height // 4
            box = [0, i * fh, width - 1, (i + 1) * fh - 1]
        d.rectangle(box, fill=colour)
    return img


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--layouts", required=True)
    ap.add_argument("--skins", required=True)
    ap.add_argument("--resources", required=True)
    ap.add_argument("--stamp", required=True)
    args = ap.parse_args()

    theme = os.path.join(args.skins, "theme1")
    os.makedirs(theme, exist_ok=True)
    os.makedirs(args.resources, exist_ok=True)

    h = scroll_bar(22, 20, frames_side_by_side=False)
    v = scroll_bar(28, 239, frames_side_by_side=True)
    h.save(os.path.join(args.resources, "scroll_h.png"))
    v.save(os.path.join(args.resources, "scroll_v.png"))
    h.save(os.path.join(theme, "img_scroll_h.png"))
    v.save(os.path.join(theme, "img_scroll_v.png"))

    with open(args.stamp, "w") as f:
        f.write("ok\n")


if __name__ == "__main__":
    main()
