#!/usr/bin/python3
"""Draws the Tastro icon (a key cap with the red accent) at every size Windows asks for."""
import sys
from PIL import Image, ImageDraw

SIZES = [16, 24, 32, 48, 64, 128, 256]


def draw(size):
    s = 4  # supersampling for smooth edges
    n = size * s
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    pad = n * 0.06
    r = n * 0.2
    d.rounded_rectangle([pad, pad, n - pad, n - pad], radius=r, fill=(28, 28, 32, 255),
                        outline=(230, 20, 30, 255), width=max(1, int(n * 0.05)))
    top = n * 0.2
    inner = [n * 0.2, top, n * 0.8, n * 0.72]
    d.rounded_rectangle(inner, radius=n * 0.08, fill=(52, 52, 58, 255))
    # A "T" on the cap.
    bar = n * 0.08
    cx = n / 2
    d.rectangle([n * 0.3, top + n * 0.1, n * 0.7, top + n * 0.1 + bar], fill=(240, 30, 40, 255))
    d.rectangle([cx - bar / 2, top + n * 0.1, cx + bar / 2, n * 0.64], fill=(240, 30, 40, 255))
    return img.resize((size, size), Image.LANCZOS)


def main():
    out = sys.argv[1]
    big = draw(256)
    big.save(out, format="ICO", sizes=[(s, s) for s in SIZES],
             append_images=[draw(s) for s in SIZES[:-1]])


if __name__ == "__main__":
    main()
