"""Supersampled vector drawing on top of Pillow.

Every shape is drawn as a coverage mask at SS times the output size and painted with a
colour or a gradient; `Canvas.image()` averages the pixels down, which gives smooth,
anti-aliased edges at the output size. Coordinates are output pixels (floats allowed):
the pixel (x, y) covers the square [x, x + 1) x [y, y + 1).
"""
import math

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SS = 4


def clamp8(v):
    return max(0, min(255, int(round(v))))


def rgba(c, alpha=None):
    """(r, g, b) or (r, g, b, a) -> (r, g, b, a); `alpha` (0..1) scales the alpha."""
    if len(c) == 3:
        c = (c[0], c[1], c[2], 255)
    if alpha is not None:
        c = (c[0], c[1], c[2], clamp8(c[3] * alpha))
    return tuple(c)


def mix(a, b, t):
    """Linear blend of two colours (t = 0 gives a, 1 gives b)."""
    a, b = rgba(a), rgba(b)
    return tuple(clamp8(a[i] + (b[i] - a[i]) * t) for i in range(4))


class Canvas:
    def __init__(self, width, height, background=None, ss=SS):
        self.width, self.height, self.ss = width, height, ss
        self.size = (width * ss, height * ss)
        self.img = Image.new("RGBA", self.size, rgba(background) if background else (0, 0, 0, 0))

    # ------------------------------------------------------------------ masks
    def _p(self, v):
        return v * self.ss

    def _box(self, box):
        x0, y0, x1, y1 = box
        # ImageDraw boxes are inclusive: the last covered pixel is x1 - 1.
        return [self._p(x0), self._p(y0), self._p(x1) - 1, self._p(y1) - 1]

    def new_mask(self):
        return Image.new("L", self.size, 0)

    def rect(self, box):
        m = self.new_mask()
        ImageDraw.Draw(m).rectangle(self._box(box), fill=255)
        return m

    def rrect(self, box, radius):
        m = self.new_mask()
        r = max(0, self._p(radius))
        b = self._box(box)
        r = min(r, (b[2] - b[0]) / 2, (b[3] - b[1]) / 2)
        ImageDraw.Draw(m).rounded_rectangle(b, radius=r, fill=255)
        return m

    def ellipse(self, box):
        m = self.new_mask()
        ImageDraw.Draw(m).ellipse(self._box(box), fill=255)
        return m

    def circle(self, cx, cy, r):
        return self.ellipse((cx - r, cy - r, cx + r, cy + r))

    def ring(self, cx, cy, r, width):
        return subtract(self.circle(cx, cy, r + width / 2), self.circle(cx, cy, r - width / 2))

    def polygon(self, points):
        m = self.new_mask()
        ImageDraw.Draw(m).polygon([(self._p(x), self._p(y)) for x, y in points], fill=255)
        return m

    def stroke(self, points, width, closed=False):
        """A polyline with round caps and joins."""
        m = self.new_mask()
        d = ImageDraw.Draw(m)
        pts = [(self._p(x), self._p(y)) for x, y in points]
        if closed:
            pts = pts + [pts[0]]
        w = self._p(width)
        for a, b in zip(pts, pts[1:]):
            _thick_segment(d, a, b, w)
        for x, y in pts:
            d.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=255)
        return m

    def arc(self, cx, cy, r, start, end, width, caps=True):
        """An arc of radius r (centre line) from angle start to end (degrees, clockwise
        from 3 o'clock, as Pillow counts), with round caps."""
        steps = max(8, int(abs(end - start) / 3))
        pts = [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
                cy + r * math.sin(math.radians(start + (end - start) * i / steps)))
               for i in range(steps + 1)]
        if caps:
            return self.stroke(pts, width)
        m = self.new_mask()
        d = ImageDraw.Draw(m)
        sp = [(self._p(x), self._p(y)) for x, y in pts]
        for a, b in zip(sp, sp[1:]):
            _thick_segment(d, a, b, self._p(width))
        return m

    def text_mask(self, text, font_path, size, cx=None, cy=None, x=None, y=None, anchor="mm"):
        """Text centred on (cx, cy) by default; `anchor` as in Pillow."""
        m = self.new_mask()
        font = ImageFont.truetype(font_path, max(1, int(round(size * self.ss))))
        px = self._p(cx if cx is not None else x)
        py = self._p(cy if cy is not None else y)
        ImageDraw.Draw(m).text((px, py), text, font=font, fill=255, anchor=anchor)
        return m

    # ---------------------------------------------------------------- painting
    def paint(self, mask, paint, opacity=1.0):
        """Composites `paint` (a colour, or an RGBA image of the canvas size) through
        `mask` onto the canvas. Only the mask's bounding box is touched."""
        bbox = mask.getbbox()
        if not bbox:
            return
        m = mask.crop(bbox)
        if isinstance(paint, Image.Image):
            layer = paint.crop(bbox).copy()
        else:
            layer = Image.new("RGBA", m.size, rgba(paint))
        a = ImageChops.multiply(layer.getchannel("A"), m)
        if opacity < 1.0:
            a = a.point(lambda v: clamp8(v * opacity))
        layer.putalpha(a)
        region = self.img.crop(bbox)
        self.img.paste(Image.alpha_composite(region, layer), bbox[:2])

    def fill(self, mask, colour, opacity=1.0):
        self.paint(mask, colour, opacity)

    def glow(self, mask, colour, radius, opacity=1.0):
        """A soft halo of the mask's shape, blurred by `radius` output pixels."""
        blurred = mask.filter(ImageFilter.GaussianBlur(self._p(radius)))
        self.paint(blurred, colour, opacity)

    def vgradient(self, y0, y1, stops):
        """An RGBA image of the canvas size with a vertical gradient between output rows
        y0 and y1; `stops` is a list of (t, colour) with t in 0..1."""
        return _gradient(self.size, self._p(y0), self._p(y1), stops, vertical=True)

    def hgradient(self, x0, x1, stops):
        return _gradient(self.size, self._p(x0), self._p(x1), stops, vertical=False)

    def image(self):
        out = self.img.resize((self.width, self.height), Image.BOX)
        return clear_transparent(out)


def _thick_segment(d, a, b, w):
    (x0, y0), (x1, y1) = a, b
    dx, dy = x1 - x0, y1 - y0
    n = math.hypot(dx, dy)
    if n == 0:
        return
    ox, oy = -dy / n * w / 2, dx / n * w / 2
    d.polygon([(x0 + ox, y0 + oy), (x1 + ox, y1 + oy), (x1 - ox, y1 - oy), (x0 - ox, y0 - oy)],
              fill=255)


def _gradient(size, p0, p1, stops, vertical):
    n = size[1] if vertical else size[0]
    stops = sorted((t, rgba(c)) for t, c in stops)
    line = []
    for i in range(n):
        t = 0.0 if p1 == p0 else (i + 0.5 - p0) / (p1 - p0)
        t = max(0.0, min(1.0, t))
        for (ta, ca), (tb, cb) in zip(stops, stops[1:]):
            if t <= tb:
                line.append(mix(ca, cb, 0 if tb == ta else (t - ta) / (tb - ta)))
                break
        else:
            line.append(stops[-1][1])
    strip = Image.new("RGBA", (1, n) if vertical else (n, 1))
    strip.putdata(line)
    return strip.resize(size, Image.NEAREST)


def union(*masks):
    out = masks[0]
    for m in masks[1:]:
        out = ImageChops.lighter(out, m)
    return out


def subtract(a, b):
    return ImageChops.subtract(a, b)


def intersect(a, b):
    return ImageChops.multiply(a, b)


def clear_transparent(img):
    """Fully transparent pixels become (0, 0, 0, 0): layered windows treat a transparent
    pixel with a colour as opaque, and the PNGs compress better."""
    alpha = img.getchannel("A")
    keep = alpha.point(lambda v: 255 if v > 0 else 0)
    return Image.composite(img, Image.new("RGBA", img.size, (0, 0, 0, 0)), keep)


def strip(frames, vertical=False):
    """Joins equally sized frames side by side (or stacked)."""
    w, h = frames[0].size
    out = Image.new("RGBA", (w, h * len(frames)) if vertical else (w * len(frames), h), (0, 0, 0, 0))
    for i, f in enumerate(frames):
        out.paste(f, (0, i * h) if vertical else (i * w, 0))
    return out
