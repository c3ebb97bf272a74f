#!/usr/bin/env python3
"""Draw Kavrin's icons and separator bitmap; writes res/icons/*.ico and res/separator.bmp.

Standard library only. Shapes are predicates over continuous pixel coordinates
(pixel (x, y) covers [x, x+1) x [y, y+1), y grows downwards); each pixel is
supersampled SS x SS times and the covered fraction becomes alpha.
Output is deterministic: running it twice writes identical bytes.
"""

import math
import os
import struct

SS = 4  # supersampling factor per axis
RES_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ICON_DIR = os.path.join(RES_DIR, "icons")


# ---------------------------------------------------------------- shapes

def polygon(points):
    """Return a predicate true inside the polygon (even-odd rule)."""
    pts = list(points)

    def inside(x, y):
        """Even-odd crossing test."""
        hit = False
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < xi + (y - yi) * (xj - xi) / (yj - yi):
                hit = not hit
            j = i
        return hit
    return inside


def circle(cx, cy, r):
    """Return a predicate true inside the disc of radius r centred at (cx, cy)."""
    def inside(x, y):
        """Point-in-disc test."""
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def _segment_distance(x, y, ax, ay, bx, by):
    """Distance from (x, y) to the segment from (ax, ay) to (bx, by)."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def thick_line(points, width, closed=False):
    """Return a predicate for a polyline stroked with round caps and joins."""
    pts = list(points) + ([points[0]] if closed else [])
    segs = list(zip(pts, pts[1:]))
    half = width / 2.0

    def inside(x, y):
        """Within half the width of any segment."""
        return any(_segment_distance(x, y, a[0], a[1], b[0], b[1]) <= half for a, b in segs)
    return inside


def rounded_polygon(points, radius):
    """Return a predicate for a convex polygon grown outwards by radius (rounded corners)."""
    core = polygon(points)
    edge = thick_line(points, 2 * radius, closed=True)

    def inside(x, y):
        """Inside the polygon or near its edge."""
        return core(x, y) or edge(x, y)
    return inside


def arc_points(cx, cy, r, start_deg, end_deg, steps=48):
    """Return points along a circular arc; angles are counter-clockwise on screen, 0 = right."""
    out = []
    for i in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
        out.append((cx + r * math.cos(a), cy - r * math.sin(a)))
    return out


def gear(cx, cy, r_tip, r_root, r_hole, teeth):
    """Return a predicate for a gear with trapezoid teeth (one pointing right) and a round hole."""
    def inside(x, y):
        """Hole, root disc, then tapering teeth by angle."""
        d = math.hypot(x - cx, y - cy)
        if d < r_hole or d > r_tip:
            return False
        if d <= r_root:
            return True
        phase = (math.atan2(y - cy, x - cx) / (2 * math.pi) * teeth + 0.5) % 1.0
        duty = 0.68 - 0.22 * (d - r_root) / (r_tip - r_root)
        return abs(phase - 0.5) < duty / 2
    return inside


def union(*shapes):
    """Return a predicate true where any of the shapes is."""
    def inside(x, y):
        """Any shape contains the point."""
        return any(s(x, y) for s in shapes)
    return inside


def vertical_gradient(top_rgb, bottom_rgb, y0, y1):
    """Return a colour function blending top_rgb at y0 into bottom_rgb at y1."""
    def colour(x, y):
        """Linear blend clamped to [y0, y1]."""
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top_rgb, bottom_rgb))
    return colour


# ---------------------------------------------------------------- canvas

class Canvas:
    """A square RGBA image stored premultiplied as floats in 0..1."""

    def __init__(self, size):
        """Create a fully transparent size x size canvas."""
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, shape, colour):
        """Composite colour (RGB 0..255 tuple or function of x, y) over the shape's coverage."""
        offsets = [(i + 0.5) / SS for i in range(SS)]
        for py in range(self.size):
            for px in range(self.size):
                hits = sum(1 for oy in offsets for ox in offsets if shape(px + ox, py + oy))
                if not hits:
                    continue
                a = hits / float(SS * SS)
                rgb = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                p = self.px[py * self.size + px]
                for c in range(3):
                    p[c] = rgb[c] / 255.0 * a + p[c] * (1 - a)
                p[3] = a + p[3] * (1 - a)

    def bgra_rows(self):
        """Return rows top-down, each a list of straight-alpha (b, g, r, a) byte tuples."""
        rows = []
        for py in range(self.size):
            row = []
            for px in range(self.size):
                r, g, b, a = self.px[py * self.size + px]
                alpha = int(round(a * 255))
                if alpha == 0:
                    row.append((0, 0, 0, 0))
                    continue
                row.append(tuple(min(255, int(round(v / a * 255))) for v in (b, g, r)) + (alpha,))
            rows.append(row)
        return rows


# ---------------------------------------------------------------- icons

def draw_app(size):
    """Draw a white paper sheet with a folded top-right corner and a blue gear."""
    cv = Canvas(size)
    if size == 32:
        left, right, top, bottom, fold = 5.5, 26.5, 1.5, 30.5, 7.0
        gcx, gcy, tip, root, hole, teeth, rim = 16.0, 19.0, 8.6, 6.4, 2.4, 8, 1.1
    else:
        left, right, top, bottom, fold = 2.5, 13.5, 0.5, 15.5, 5.0
        gcx, gcy, tip, root, hole, teeth, rim = 8.0, 10.0, 5.1, 3.6, 1.5, 8, 0.0
    page = [(left, top), (right - fold, top), (right, top + fold), (right, bottom), (left, bottom)]
    flap = [(right - fold, top), (right - fold, top + fold), (right, top + fold)]
    cv.fill(polygon(page), vertical_gradient((255, 255, 255), (222, 226, 232), top, bottom))
    cv.fill(polygon(flap), (200, 204, 212))
    cv.fill(thick_line(page, 1.0, closed=True), (112, 116, 124))
    cv.fill(thick_line(flap, 1.0), (112, 116, 124))
    if rim:
        cv.fill(gear(gcx, gcy, tip, root, hole, teeth), (24, 64, 150))
    cv.fill(gear(gcx, gcy, tip - rim, root - rim, hole + rim, teeth),
            vertical_gradient((80, 150, 240), (30, 90, 200), gcy - tip, gcy + tip))
    return cv


def draw_ok(size):
    """Draw a green check mark with a darker green edge."""
    cv = Canvas(size)
    if size == 32:
        path, width, edge = [(5.5, 16.5), (12.5, 23.5), (26.5, 8.5)], 5.0, 1.8
    else:
        path, width, edge = [(2.6, 8.2), (6.3, 11.9), (13.4, 4.3)], 2.8, 1.1
    cv.fill(thick_line(path, width + edge), (22, 110, 32))
    cv.fill(thick_line(path, width), vertical_gradient((110, 215, 90), (40, 165, 50), 4.0 * size / 32, 24.0 * size / 32))
    return cv


def draw_bad(size):
    """Draw a red diagonal cross with a darker red edge."""
    cv = Canvas(size)
    if size == 32:
        lo, hi, width, edge = 8.0, 24.0, 5.0, 1.8
    else:
        lo, hi, width, edge = 3.6, 12.4, 2.8, 1.0
    strokes = [[(lo, lo), (hi, hi)], [(hi, lo), (lo, hi)]]
    cv.fill(union(*(thick_line(s, width + edge) for s in strokes)), (130, 16, 16))
    cv.fill(union(*(thick_line(s, width) for s in strokes)),
            vertical_gradient((245, 90, 80), (200, 30, 30), lo, hi))
    return cv


def draw_pending(size):
    """Draw a blue disc with a white question mark."""
    cv = Canvas(size)
    c = size / 2.0
    if size == 32:
        rim, hook_c, hook_r, stem_end, width, dot_y, dot_r = 1.0, 11.6, 4.6, 19.0, 3.4, 24.6, 2.1
    else:
        rim, hook_c, hook_r, stem_end, width, dot_y, dot_r = 0.8, 5.9, 2.4, 9.7, 2.0, 12.5, 1.25
    cv.fill(circle(c, c, c - 0.5), (20, 60, 140))
    cv.fill(circle(c, c, c - 0.5 - rim), vertical_gradient((90, 160, 245), (30, 90, 200), 0, size))
    hook = arc_points(c, hook_c, hook_r, 160, -90) + [(c, stem_end)]
    cv.fill(union(thick_line(hook, width), circle(c, dot_y, dot_r)), (255, 255, 255))
    return cv


def draw_missing(size):
    """Draw a yellow warning triangle with a dark outline and a black exclamation mark."""
    cv = Canvas(size)
    if size == 32:
        core, grow, edge = [(16.0, 5.0), (3.8, 27.4), (28.2, 27.4)], 2.6, 1.5
        bar, bar_w, dot_y, dot_r = [(16.0, 11.5), (16.0, 19.0)], 3.4, 23.6, 1.9
    else:
        core, grow, edge = [(8.0, 2.4), (1.9, 13.5), (14.1, 13.5)], 1.5, 1.0
        bar, bar_w, dot_y, dot_r = [(8.0, 5.7), (8.0, 9.3)], 2.0, 11.8, 1.05
    cv.fill(rounded_polygon(core, grow), (60, 44, 8))
    cv.fill(rounded_polygon(core, grow - edge), vertical_gradient((255, 232, 110), (245, 190, 20), 0, size))
    cv.fill(union(thick_line(bar, bar_w), circle(core[0][0], dot_y, dot_r)), (0, 0, 0))
    return cv


# ---------------------------------------------------------------- file formats

def dib_entry(cv):
    """Encode a canvas as an ICO image: BITMAPINFOHEADER, bottom-up BGRA, 1-bpp AND mask."""
    size = cv.size
    rows = cv.bgra_rows()
    xor = b"".join(struct.pack("<4B", *p) for row in reversed(rows) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def write_ico(path, canvases):
    """Write an .ico file holding one 32-bit DIB image per canvas."""
    images = [dib_entry(cv) for cv in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        dim = cv.size % 256
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def write_separator(path, width=695):
    """Write a width x 2 24-bit BMP: top row RGB(135,159,190), bottom row white."""
    stride = (width * 3 + 3) & ~3
    pad = b"\0" * (stride - width * 3)
    bottom = bytes((255, 255, 255)) * width + pad
    top = bytes((190, 159, 135)) * width + pad
    pixels = bottom + top
    info = struct.pack("<IiiHHIIiiII", 40, width, 2, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + pixels)


ICONS = [
    ("app.ico", draw_app),
    ("ok.ico", draw_ok),
    ("bad.ico", draw_bad),
    ("pending.ico", draw_pending),
    ("missing.ico", draw_missing),
]


def main():
    """Draw every icon at 16x16 and 32x32 and write all files."""
    os.makedirs(ICON_DIR, exist_ok=True)
    for name, draw in ICONS:
        write_ico(os.path.join(ICON_DIR, name), [draw(16), draw(32)])
    write_separator(os.path.join(RES_DIR, "separator.bmp"))


if __name__ == "__main__":
    main()
