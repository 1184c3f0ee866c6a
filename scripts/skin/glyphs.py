"""Line icons drawn as coverage masks on a Canvas. Each function takes the canvas, the
centre (cx, cy), the icon's nominal size s (its box is s x s) and a stroke width w, and
returns a mask; callers choose the colour. Shapes are drawn on a 24-unit grid scaled to s,
so all icons share proportions and stroke weight."""
import math

from .canvas import intersect, subtract, union


class Grid:
    """Maps 24-unit icon coordinates (0..24, centre 12) to canvas pixels."""

    def __init__(self, cx, cy, s):
        self.cx, self.cy, self.k = cx, cy, s / 24.0

    def __call__(self, x, y):
        return (self.cx + (x - 12) * self.k, self.cy + (y - 12) * self.k)

    def pts(self, *xy):
        return [self(x, y) for x, y in xy]

    def len(self, v):
        return v * self.k

    def box(self, x0, y0, x1, y1):
        a, b = self(x0, y0), self(x1, y1)
        return (a[0], a[1], b[0], b[1])


def home(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    roof = c.stroke(g.pts((3, 11.5), (12, 3.5), (21, 11.5)), w)
    body = c.stroke(g.pts((5.5, 10), (5.5, 20.5), (18.5, 20.5), (18.5, 10)), w)
    door = c.stroke(g.pts((10, 20.5), (10, 15), (14, 15), (14, 20.5)), w * 0.9)
    return union(roof, body, door)


def keycap(c, cx, cy, s, w):
    """A key cap seen slightly from the front: the skirt, the dished top face joined to it
    at the corners, and a legend dot."""
    g = Grid(cx, cy, s)
    skirt = g.box(2.5, 3, 21.5, 21)
    face = g.box(6, 5.5, 18, 15.5)
    outer = subtract(c.rrect(skirt, g.len(3.5)), c.rrect(_inset(skirt, w), g.len(3.5) - w))
    top = subtract(c.rrect(face, g.len(2.2)), c.rrect(_inset(face, w * 0.85), max(0.3, g.len(2.2) - w)))
    edges = union(c.stroke(g.pts((6.6, 15), (4, 19.5)), w * 0.8), c.stroke(g.pts((17.4, 15), (20, 19.5)), w * 0.8),
                  c.stroke(g.pts((6.6, 6), (4, 4.5)), w * 0.7), c.stroke(g.pts((17.4, 6), (20, 4.5)), w * 0.7))
    legend = c.circle(*g(12, 10.5), g.len(1.6))
    return union(outer, top, edges, legend)


def keyboard(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    body = subtract(c.rrect(g.box(1.5, 6, 22.5, 18.5), g.len(2.5)),
                    c.rrect(_inset(g.box(1.5, 6, 22.5, 18.5), w), g.len(2.5) - w))
    dots = []
    for row, y in enumerate((9.5, 12.5)):
        for i in range(6):
            x = 5 + i * 2.8 + (0.7 if row else 0)
            dots.append(c.rrect(g.box(x - 0.8, y - 0.8, x + 0.8, y + 0.8), g.len(0.3)))
    space = c.stroke(g.pts((8, 15.5), (16, 15.5)), w)
    return union(body, space, *dots)


def macro(c, cx, cy, s, w):
    """Three event lines with a record dot: a recorded sequence."""
    g = Grid(cx, cy, s)
    lines = union(c.stroke(g.pts((3, 6), (14, 6)), w),
                  c.stroke(g.pts((3, 12), (11, 12)), w),
                  c.stroke(g.pts((3, 18), (14, 18)), w))
    play = c.polygon(g.pts((15, 9), (22, 13.5), (15, 18)))
    play = union(play, c.stroke(g.pts((15, 9), (22, 13.5), (15, 18)), w * 0.8, closed=True))
    return union(lines, play)


def light(c, cx, cy, s, w):
    """A sun: the lighting tab."""
    g = Grid(cx, cy, s)
    core = c.ring(*g(12, 12), g.len(4.2), w)
    rays = []
    for i in range(8):
        a = math.radians(i * 45)
        rays.append(c.stroke([g(12 + 7.5 * math.cos(a), 12 + 7.5 * math.sin(a)),
                              g(12 + 10 * math.cos(a), 12 + 10 * math.sin(a))], w))
    return union(core, *rays)


def gear(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    teeth = 8
    pts = []
    for i in range(teeth * 4):
        a = math.radians(i * 360 / (teeth * 4) - 360 / (teeth * 8))
        r = 10 if (i % 4) in (1, 2) else 7.6
        pts.append(g(12 + r * math.cos(a), 12 + r * math.sin(a)))
    body = c.polygon(pts)
    inner = c.circle(*g(12, 12), g.len(7.6) - w)
    ring = subtract(body, inner)
    return union(ring, c.ring(*g(12, 12), g.len(3.4), w))


def plus(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    return union(c.stroke(g.pts((12, 5), (12, 19)), w), c.stroke(g.pts((5, 12), (19, 12)), w))


def minus(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    return c.stroke(g.pts((5.5, 12), (18.5, 12)), w)


def cross(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    return union(c.stroke(g.pts((6, 6), (18, 18)), w), c.stroke(g.pts((18, 6), (6, 18)), w))


def trash(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    lid = c.stroke(g.pts((4, 6.5), (20, 6.5)), w)
    handle = c.stroke(g.pts((9.5, 6.5), (9.5, 4), (14.5, 4), (14.5, 6.5)), w * 0.9)
    can = c.stroke(g.pts((6, 6.5), (7.2, 20.5), (16.8, 20.5), (18, 6.5)), w)
    ribs = union(c.stroke(g.pts((10, 10), (10, 17)), w * 0.8), c.stroke(g.pts((14, 10), (14, 17)), w * 0.8))
    return union(lid, handle, can, ribs)


def pencil(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    body = c.stroke(g.pts((16, 4.5), (19.5, 8), (8.5, 19), (4.5, 19.5), (5, 15.5), (16, 4.5)), w)
    tip = c.stroke(g.pts((13.5, 7), (17, 10.5)), w * 0.9)
    return union(body, tip)


def tray_arrow(c, cx, cy, s, w, up):
    """A tray with an arrow going into it (import) or out of it (export)."""
    g = Grid(cx, cy, s)
    tray = c.stroke(g.pts((4, 14), (4, 20), (20, 20), (20, 14)), w)
    if up:
        arrow = union(c.stroke(g.pts((12, 16), (12, 3.5)), w),
                      c.stroke(g.pts((7.5, 8), (12, 3.5), (16.5, 8)), w))
    else:
        arrow = union(c.stroke(g.pts((12, 3.5), (12, 15.5)), w),
                      c.stroke(g.pts((7.5, 11), (12, 15.5), (16.5, 11)), w))
    return union(tray, arrow)


def arrow(c, cx, cy, s, w, direction):
    """A bold arrow pointing left, right, up or down."""
    g = Grid(cx, cy, s)
    base = [(4.5, 12), (19.5, 12)]
    head = [(11, 5.5), (4.5, 12), (11, 18.5)]
    rot = {"left": 0, "up": 90, "right": 180, "down": 270}[direction]

    def r(p):
        x, y = p[0] - 12, p[1] - 12
        a = math.radians(rot)
        return (12 + x * math.cos(a) - y * math.sin(a), 12 + x * math.sin(a) + y * math.cos(a))

    return union(c.stroke(g.pts(*[r(p) for p in base]), w), c.stroke(g.pts(*[r(p) for p in head]), w))


def chevron(c, cx, cy, s, w, direction):
    g = Grid(cx, cy, s)
    pts = {"down": [(6, 9), (12, 15), (18, 9)], "up": [(6, 15), (12, 9), (18, 15)],
           "left": [(15, 6), (9, 12), (15, 18)], "right": [(9, 6), (15, 12), (9, 18)]}[direction]
    return c.stroke(g.pts(*pts), w)


def clock(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    return union(c.ring(*g(12, 12), g.len(8.5), w), c.stroke(g.pts((12, 7), (12, 12), (15.5, 14)), w))


def globe(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    r = g.len(8.8)
    outer = c.ring(*g(12, 12), r, w)
    clip = c.circle(*g(12, 12), r)
    meridian = subtract(c.ellipse(g.box(7.6, 3.2, 16.4, 20.8)), c.ellipse(_inset(g.box(7.6, 3.2, 16.4, 20.8), w)))
    eq = c.stroke(g.pts((3.5, 12), (20.5, 12)), w * 0.85)
    lat1 = c.stroke(g.pts((5, 7.5), (19, 7.5)), w * 0.75)
    lat2 = c.stroke(g.pts((5, 16.5), (19, 16.5)), w * 0.75)
    return union(outer, intersect(union(meridian, eq, lat1, lat2), clip))


def monitor(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    screen = subtract(c.rrect(g.box(2.5, 4, 21.5, 16.5), g.len(1.5)),
                      c.rrect(_inset(g.box(2.5, 4, 21.5, 16.5), w), max(0.3, g.len(1.5) - w)))
    stand = union(c.stroke(g.pts((12, 16.5), (12, 20)), w), c.stroke(g.pts((7.5, 20.5), (16.5, 20.5)), w))
    return union(screen, stand)


def calculator(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    body = subtract(c.rrect(g.box(5, 2.5, 19, 21.5), g.len(2)),
                    c.rrect(_inset(g.box(5, 2.5, 19, 21.5), w), max(0.3, g.len(2) - w)))
    display = c.rect(g.box(8, 5.5, 16, 9))
    keys = [c.rect(g.box(x - 1, y - 1, x + 1, y + 1)) for y in (13, 17.5) for x in (9, 12, 15)]
    return union(body, display, *keys)


def envelope(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    body = subtract(c.rrect(g.box(2.5, 5, 21.5, 19), g.len(1.5)),
                    c.rrect(_inset(g.box(2.5, 5, 21.5, 19), w), max(0.3, g.len(1.5) - w)))
    flap = c.stroke(g.pts((3.5, 6.5), (12, 13), (20.5, 6.5)), w)
    return union(body, flap)


def play_pause(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    tri = c.polygon(g.pts((3.5, 5), (12, 12), (3.5, 19)))
    bars = union(c.rect(g.box(14, 5, 16.8, 19)), c.rect(g.box(18.8, 5, 21.6, 19)))
    return union(tri, bars)


def track(c, cx, cy, s, w, forward):
    g = Grid(cx, cy, s)
    if forward:
        shape = union(c.polygon(g.pts((4, 5.5), (11.5, 12), (4, 18.5))),
                      c.polygon(g.pts((11.5, 5.5), (19, 12), (11.5, 18.5))),
                      c.rect(g.box(19, 5.5, 21.5, 18.5)))
    else:
        shape = union(c.polygon(g.pts((20, 5.5), (12.5, 12), (20, 18.5))),
                      c.polygon(g.pts((12.5, 5.5), (5, 12), (12.5, 18.5))),
                      c.rect(g.box(2.5, 5.5, 5, 18.5)))
    return shape


def speaker(c, cx, cy, s, w, level):
    """level: 'down' (one wave), 'up' (two waves), 'mute' (a cross)."""
    g = Grid(cx, cy, s)
    cone = c.polygon(g.pts((2.5, 9), (6.5, 9), (11.5, 4.5), (11.5, 19.5), (6.5, 15), (2.5, 15)))
    parts = [cone]
    if level == "mute":
        parts += [c.stroke(g.pts((15, 9), (21, 15)), w), c.stroke(g.pts((21, 9), (15, 15)), w)]
    else:
        parts.append(c.arc(*g(11.5, 12), g.len(4.2), -45, 45, w))
        if level == "up":
            parts.append(c.arc(*g(11.5, 12), g.len(8.2), -50, 50, w))
    return union(*parts)


def search(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    return union(c.ring(*g(10, 10), g.len(6.2), w), c.stroke(g.pts((14.6, 14.6), (20.5, 20.5)), w * 1.2))


def usb(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    stem = c.stroke(g.pts((12, 3), (12, 19)), w)
    head = c.polygon(g.pts((12, 1.5), (14.5, 5), (9.5, 5)))
    left = c.stroke(g.pts((12, 14), (7, 11), (7, 8.5)), w)
    right = c.stroke(g.pts((12, 16), (17, 13), (17, 10.5)), w)
    ldot = c.circle(*g(7, 7.5), g.len(1.7))
    rsq = c.rect(g.box(15.5, 8, 18.5, 11))
    base = c.circle(*g(12, 20), g.len(2.4))
    return union(stem, head, left, right, ldot, rsq, base)


def bolt(c, cx, cy, s, w):
    g = Grid(cx, cy, s)
    return c.polygon(g.pts((14, 1.5), (5, 13.5), (11, 13.5), (9.5, 22.5), (19, 10), (13, 10), (14, 1.5)))


def sliders(c, cx, cy, s, w):
    """Three mixer sliders: the settings header icon."""
    g = Grid(cx, cy, s)
    parts = []
    for x, knob in ((6, 15), (12, 8), (18, 13)):
        parts.append(c.stroke(g.pts((x, 3.5), (x, 20.5)), w * 0.8))
        parts.append(c.circle(*g(x, knob), g.len(2.6)))
    return union(*parts)


def _inset(box, d):
    return (box[0] + d, box[1] + d, box[2] - d, box[3] - d)
