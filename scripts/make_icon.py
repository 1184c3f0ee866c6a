#!/usr/bin/python3
"""Draws Tastro.ico: the Tastro mark (the key cap with the red T of the skin) at every
size Windows asks for, each size drawn on its own so small icons stay crisp.

Usage: make_icon.py <Tastro.ico>
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from skin import brand  # noqa: E402
from skin.canvas import Canvas  # noqa: E402

SIZES = [16, 20, 24, 32, 40, 48, 64, 128, 256]


def draw(size):
    c = Canvas(size, size, ss=8 if size < 64 else 4)
    brand.mark(c, 0, 0, size, detail=size >= 32)
    return c.image()


def main():
    if len(sys.argv) != 2:
        print("usage: make_icon.py <Tastro.ico>", file=sys.stderr)
        return 2
    out = sys.argv[1]
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    images = [draw(s) for s in SIZES]
    images[-1].save(out, format="ICO", sizes=[(s, s) for s in SIZES], append_images=images[:-1])
    return 0


if __name__ == "__main__":
    sys.exit(main())
