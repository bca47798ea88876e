#!/usr/bin/env python3
"""Draws Tarnwick's bitmaps and icon from simple shapes and writes them beside
this script. Run it again after changing a picture; the outputs are kept in the
repository so that a build needs no Python.

  Toolbar256.bmp  5 buttons of 64 x 40, 256 colours, RGB(252,108,108) transparent
  Toolbar16.bmp   the same buttons in the 16 standard colours on light grey
  LightBulb.bmp   40 x 53, 16 colours: the tip dialog's picture
  Logo.bmp        96 x 32, 24-bit: the about box's picture
  Tarnwick.ico    the main icon at 16, 32 and 48 pixels
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (252, 108, 108)        # transparent in the 256-colour toolbar
BUTTON_FACE = (236, 233, 216)  # what anti-aliased edges are blended towards
SAMPLES = 4                  # samples per pixel along each axis

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
         (0, 255, 255), (255, 255, 255)]


# ---------------------------------------------------------------- shapes
# Every shape answers "is this point inside?" and gives its bounding box, in
# picture units (pixels of the final image); colours may depend on the point.

class Polygon:
    def __init__(self, points):
        self.points = points
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.box = (min(xs), min(ys), max(xs), max(ys))

    def inside(self, x, y):
        result = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result


class Ellipse:
    def __init__(self, cx, cy, rx, ry=None):
        ry = rx if ry is None else ry
        self.c = (cx, cy, rx, ry)
        self.box = (cx - rx, cy - ry, cx + rx, cy + ry)

    def inside(self, x, y):
        cx, cy, rx, ry = self.c
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


class Stroke:
    """A polyline of the given width with round joins and ends."""

    def __init__(self, points, width):
        self.points = points
        self.r = width / 2.0
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.box = (min(xs) - self.r, min(ys) - self.r, max(xs) + self.r, max(ys) + self.r)

    def inside(self, x, y):
        r2 = self.r * self.r
        for (ax, ay), (bx, by) in zip(self.points, self.points[1:]):
            dx, dy = bx - ax, by - ay
            length2 = dx * dx + dy * dy
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            px, py = ax + t * dx - x, ay + t * dy - y
            if px * px + py * py <= r2:
                return True
        return False


class Clipped:
    """The part of one shape that lies inside another."""

    def __init__(self, shape, clip):
        self.shape, self.clip = shape, clip
        a, b = shape.box, clip.box
        self.box = (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))

    def inside(self, x, y):
        return self.clip.inside(x, y) and self.shape.inside(x, y)


def rect(x0, y0, x1, y1):
    return Polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def arc(cx, cy, r, start, end, steps=24):
    return [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + r * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]


def outline(points, width):
    return Stroke(points + [points[0]], width)


def vertical(top_colour, bottom_colour, y0, y1):
    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / float(y1 - y0)))
        return tuple(int(a + (b - a) * t) for a, b in zip(top_colour, bottom_colour))
    return colour


def radial(inner, outer, cx, cy, r):
    def colour(x, y):
        t = max(0.0, min(1.0, math.hypot(x - cx, y - cy) / r))
        return tuple(int(a + (b - a) * t) for a, b in zip(inner, outer))
    return colour


# ---------------------------------------------------------------- canvas

class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        n = SAMPLES
        self.rgb = [[None] * (width * n) for _ in range(height * n)]

    def fill(self, shape, colour, dx=0.0, dy=0.0):
        n = SAMPLES
        x0, y0, x1, y1 = shape.box
        sx0 = max(0, int(math.floor((x0 + dx) * n)))
        sy0 = max(0, int(math.floor((y0 + dy) * n)))
        sx1 = min(self.w * n, int(math.ceil((x1 + dx) * n)) + 1)
        sy1 = min(self.h * n, int(math.ceil((y1 + dy) * n)) + 1)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / n - dy
            row = self.rgb[sy]
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / n - dx
                if shape.inside(x, y):
                    row[sx] = colour(x, y) if callable(colour) else colour

    def pixels(self, background):
        """Each pixel's colour over `background`, and how much of it is covered."""
        n = SAMPLES
        out = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                total = [0, 0, 0]
                covered = 0
                for sy in range(y * n, y * n + n):
                    for sx in range(x * n, x * n + n):
                        c = self.rgb[sy][sx]
                        if c is None:
                            c = background
                        else:
                            covered += 1
                        total[0] += c[0]
                        total[1] += c[1]
                        total[2] += c[2]
                k = n * n
                row.append(((total[0] // k, total[1] // k, total[2] // k), covered / float(k)))
            out.append(row)
        return out

    def centre_samples(self, background):
        """Each pixel's colour without blending: the sample nearest its centre."""
        n = SAMPLES
        return [[self.rgb[y * n + n // 2][x * n + n // 2] or background for x in range(self.w)]
                for y in range(self.h)]


# ---------------------------------------------------------------- pictures
# Each button is drawn in a 64 x 40 cell; the pictures keep to about 36 x 36.

OUTLINE = (60, 60, 60)


def draw_folder(c, dx):
    back = Polygon([(14, 8), (26, 8), (29, 11), (48, 11), (48, 33), (14, 33)])
    c.fill(back, vertical((236, 186, 60), (200, 140, 30), 8, 33), dx)
    c.fill(outline(back.points, 1.2), (120, 80, 20), dx)
    c.fill(rect(17, 13, 45, 30), (255, 255, 255), dx)
    c.fill(Stroke([(20, 17), (40, 17)], 1.0), (160, 160, 170), dx)
    c.fill(Stroke([(20, 21), (38, 21)], 1.0), (160, 160, 170), dx)
    front = Polygon([(12, 18), (44, 18), (51, 33), (14, 33)])
    c.fill(front, vertical((255, 222, 110), (240, 176, 50), 18, 33), dx)
    c.fill(outline(front.points, 1.2), (120, 80, 20), dx)


def draw_open_box(c, dx):
    # Pages rising out of the box, then the box with its flaps open.
    c.fill(Polygon([(24, 4), (36, 6), (34, 20), (22, 18)]), (255, 255, 255), dx)
    c.fill(outline([(24, 4), (36, 6), (34, 20), (22, 18)], 1.0), (110, 110, 120), dx)
    c.fill(Polygon([(32, 7), (43, 3), (46, 17), (35, 21)]), (225, 238, 255), dx)
    c.fill(outline([(32, 7), (43, 3), (46, 17), (35, 21)], 1.0), (70, 100, 160), dx)
    c.fill(Stroke([(26, 9), (32, 10)], 1.0), (150, 150, 160), dx)
    c.fill(Stroke([(35, 9), (41, 7)], 1.0), (90, 120, 180), dx)
    inside = Polygon([(18, 18), (46, 18), (46, 22), (18, 22)])
    c.fill(inside, (120, 78, 35), dx)
    front = Polygon([(18, 20), (46, 20), (46, 36), (18, 36)])
    c.fill(front, vertical((214, 160, 92), (176, 120, 60), 20, 36), dx)
    c.fill(outline(front.points, 1.2), (96, 60, 24), dx)
    c.fill(rect(28, 20, 36, 27), (240, 226, 190), dx)
    left = Polygon([(18, 18), (10, 26), (14, 28), (18, 22)])
    right = Polygon([(46, 18), (54, 26), (50, 28), (46, 22)])
    for flap in (left, right):
        c.fill(flap, (196, 142, 76), dx)
        c.fill(outline(flap.points, 1.0), (96, 60, 24), dx)


def draw_information(c, dx):
    c.fill(Ellipse(32, 20, 16), (30, 70, 150), dx)
    c.fill(Ellipse(32, 20, 14.8), radial((110, 170, 250), (20, 90, 200), 27, 14, 20), dx)
    c.fill(Ellipse(32, 11.5, 2.6), (255, 255, 255), dx)
    c.fill(Polygon([(28.5, 16.5), (34.5, 16.5), (34.5, 27), (36.5, 28), (36.5, 30),
                    (28, 30), (28, 28), (30, 27), (30, 19), (28.5, 18.5)]), (255, 255, 255), dx)


def draw_globe(c, dx):
    globe = Ellipse(32, 20, 16)
    c.fill(Ellipse(32, 20, 17), (20, 60, 120), dx)
    c.fill(globe, radial((120, 190, 255), (20, 80, 180), 27, 14, 22), dx)
    land = (70, 170, 70)
    for blob in ([(20, 9), (28, 6), (31, 10), (27, 15), (29, 21), (24, 25), (21, 20), (17, 16)],
                 [(35, 8), (42, 9), (46, 14), (41, 16), (37, 13)],
                 [(34, 20), (42, 19), (46, 24), (41, 32), (36, 31), (37, 25)]):
        c.fill(Clipped(Polygon(blob), globe), land, dx)
    grid = (190, 225, 255)
    c.fill(Clipped(Stroke([(16, 20), (48, 20)], 0.8), globe), grid, dx)
    for rx in (6.0, 12.0):
        c.fill(Clipped(Stroke(arc(32, 20, 1, 0, 360, 48), 0.8), globe), grid, dx)
        c.fill(Clipped(Stroke([(32 + rx * math.cos(math.radians(a)), 20 + 16 * math.sin(math.radians(a)))
                               for a in range(-90, 271, 10)], 0.8), globe), grid, dx)
    c.fill(Stroke([(32, 4), (32, 36)], 0.8), grid, dx)


def draw_help_page(c, dx):
    page = [(19, 3), (38, 3), (46, 11), (46, 37), (19, 37)]
    c.fill(Polygon(page), vertical((255, 255, 255), (230, 236, 245), 3, 37), dx)
    c.fill(outline(page, 1.2), (90, 90, 110), dx)
    corner = [(38, 3), (38, 11), (46, 11)]
    c.fill(Polygon(corner), (200, 208, 225), dx)
    c.fill(outline(corner, 1.0), (90, 90, 110), dx)
    blue = (25, 85, 200)
    c.fill(Stroke(arc(32.5, 16, 5.5, 190, 400, 30) + [(32.5, 23.5)], 3.2), blue, dx)
    c.fill(Stroke([(32.5, 23.5), (32.5, 26)], 3.2), blue, dx)
    c.fill(Ellipse(32.5, 31.5, 2.1), blue, dx)


BUTTONS = [draw_folder, draw_open_box, draw_information, draw_globe, draw_help_page]


def draw_light_bulb(c):
    c.fill(Ellipse(20, 20, 13), (255, 255, 0))
    c.fill(Polygon([(12, 28), (28, 28), (25, 36), (15, 36)]), (255, 255, 0))
    c.fill(Stroke(arc(20, 20, 13, 150, 390, 40), 1.2), (128, 128, 0))
    c.fill(Stroke([(8.7, 26.5), (15, 36)], 1.2), (128, 128, 0))
    c.fill(Stroke([(31.3, 26.5), (25, 36)], 1.2), (128, 128, 0))
    c.fill(Ellipse(15, 15, 3.5, 5), (255, 255, 255))
    for y in (37, 40, 43):
        c.fill(rect(14, y, 26, y + 2.2), (128, 128, 128))
        c.fill(Stroke([(14, y + 2.6), (26, y + 2.6)], 0.8), (0, 0, 0))
    c.fill(Polygon([(16, 46), (24, 46), (22, 49), (18, 49)]), (0, 0, 0))
    for angle in (200, 235, 270, 305, 340):
        a = math.radians(angle)
        c.fill(Stroke([(20 + 15.5 * math.cos(a), 20 + 15.5 * math.sin(a)),
                       (20 + 19 * math.cos(a), 20 + 19 * math.sin(a))], 1.4), (255, 0, 0) if angle == 270
               else (128, 128, 0))


def draw_logo(c):
    band = Polygon([(2, 2), (94, 2), (94, 30), (2, 30)])
    c.fill(band, vertical((40, 90, 170), (18, 48, 110), 2, 30))
    c.fill(outline(band.points, 1.0), (10, 30, 70))
    # The open box, small, with pages above it, and three cards fanning out to the right.
    scale_x = lambda x: 4 + (x - 10) * 0.55
    scale_y = lambda y: 4 + (y - 3) * 0.7
    box = [(18, 20), (46, 20), (46, 36), (18, 36)]
    c.fill(Polygon([(scale_x(x), scale_y(y)) for x, y in box]), (214, 160, 92))
    c.fill(Polygon([(scale_x(x), scale_y(y)) for x, y in [(24, 4), (36, 6), (34, 20), (22, 18)]]), (255, 255, 255))
    c.fill(Polygon([(scale_x(x), scale_y(y)) for x, y in [(32, 7), (43, 3), (46, 17), (35, 21)]]), (225, 238, 255))
    colours = [(255, 214, 80), (120, 200, 120), (255, 140, 110)]
    for i, colour in enumerate(colours):
        x = 40 + i * 17
        card = [(x, 8), (x + 13, 8), (x + 13, 25), (x, 25)]
        c.fill(Polygon(card), (255, 255, 255))
        c.fill(rect(x + 2, 10, x + 11, 14), colour)
        for line in (17, 20, 23):
            c.fill(Stroke([(x + 2.5, line), (x + 10.5, line)], 0.9), (150, 160, 180))


def draw_icon(c, size):
    s = size / 48.0
    p = lambda pts: [(x * s, y * s) for x, y in pts]
    book = p([(12, 3), (34, 3), (34, 28), (12, 28)])
    c.fill(Polygon(book), vertical((90, 70, 190), (50, 40, 130), 3 * s, 28 * s))
    c.fill(outline(book, max(1.0, 1.2 * s)), (30, 20, 80))
    c.fill(rect(14 * s, 5 * s, 16 * s, 26 * s), (200, 190, 240))
    if size >= 32:
        blue = (255, 220, 60)
        c.fill(Stroke(arc(25 * s, 11 * s, 4 * s, 190, 400, 24) + [(25 * s, 17 * s)], 2.6 * s), blue)
        c.fill(Ellipse(25 * s, 22 * s, 1.7 * s), blue)
    inside = Polygon(p([(6, 26), (42, 26), (42, 30), (6, 30)]))
    c.fill(inside, (120, 78, 35))
    front = p([(6, 28), (42, 28), (42, 46), (6, 46)])
    c.fill(Polygon(front), vertical((222, 168, 100), (176, 120, 60), 28 * s, 46 * s))
    c.fill(outline(front, max(1.0, 1.4 * s)), (96, 60, 24))
    for flap in (p([(6, 26), (0, 35), (4, 37), (6, 30)]), p([(42, 26), (48, 35), (44, 37), (42, 30)])):
        c.fill(Polygon(flap), (196, 142, 76))
        c.fill(outline(flap, max(1.0, 1.0 * s)), (96, 60, 24))
    if size >= 32:
        c.fill(rect(18 * s, 28 * s, 30 * s, 35 * s), (240, 226, 190))


# ---------------------------------------------------------------- files

def bmp(path, width, height, bits, rows, palette=None):
    """Writes a bottom-up BMP; `rows` holds palette indices, or RGB tuples for 24 bits."""
    stride = ((width * bits + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if bits == 24:
            for r, g, b in row:
                line += bytes((b, g, r))
        elif bits == 8:
            line += bytes(row)
        elif bits == 4:
            for i in range(0, width, 2):
                hi = row[i]
                lo = row[i + 1] if i + 1 < width else 0
                line.append((hi << 4) | lo)
        data += line + bytes(stride - len(line))
    colours = palette or []
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, len(colours), 0)
    offset = 14 + len(header) + len(table)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset))
        f.write(header + table + data)


BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def dithered(rows, palette):
    """Ordered dithering: gradients in 16 colours keep their hue instead of jumping to a neighbour."""
    out = []
    for y, row in enumerate(rows):
        line = []
        for x, colour in enumerate(row):
            if colour in palette:
                line.append(palette.index(colour))
                continue
            shift = (BAYER[y % 4][x % 4] / 16.0 - 0.5) * 96
            line.append(nearest(tuple(max(0, min(255, int(v + shift))) for v in colour), palette))
        out.append(line)
    return out


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def build_palette(colours, reserved):
    """Up to 256 colours: the reserved ones, then the most used, then nearest matches."""
    counts = {}
    for colour in colours:
        counts[colour] = counts.get(colour, 0) + 1
    palette = list(reserved)
    for colour, _ in sorted(counts.items(), key=lambda item: -item[1]):
        if len(palette) == 256:
            break
        if colour not in palette:
            palette.append(colour)
    return palette


def toolbar_pictures():
    canvas = Canvas(64 * len(BUTTONS), 40)
    for index, draw in enumerate(BUTTONS):
        draw(canvas, 64 * index)
    return canvas


def write_toolbars(canvas):
    pixels = canvas.pixels(BUTTON_FACE)
    rows = [[KEY if cover < 0.5 else colour for colour, cover in row] for row in pixels]
    palette = build_palette([c for row in rows for c in row], [KEY] + VGA16)
    lookup = {}
    indexed = []
    for row in rows:
        out = []
        for colour in row:
            if colour not in lookup:
                lookup[colour] = nearest(colour, palette)
            out.append(lookup[colour])
        indexed.append(out)
    bmp(os.path.join(HERE, "Toolbar256.bmp"), canvas.w, canvas.h, 8, indexed, palette)

    grey = (192, 192, 192)
    flat = canvas.centre_samples(grey)
    bmp(os.path.join(HERE, "Toolbar16.bmp"), canvas.w, canvas.h, 4, dithered(flat, VGA16), VGA16)


def write_light_bulb():
    canvas = Canvas(40, 53)
    draw_light_bulb(canvas)
    flat = canvas.centre_samples((255, 255, 255))
    bmp(os.path.join(HERE, "LightBulb.bmp"), 40, 53, 4, [[nearest(c, VGA16) for c in row] for row in flat], VGA16)


def write_logo():
    canvas = Canvas(96, 32)
    draw_logo(canvas)
    rows = [[colour for colour, _ in row] for row in canvas.pixels((236, 233, 216))]
    bmp(os.path.join(HERE, "Logo.bmp"), 96, 32, 24, rows)


def icon_image(size):
    canvas = Canvas(size, size)
    draw_icon(canvas, size)
    n = SAMPLES
    xor = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        mask_row = bytearray(mask_stride)
        for x in range(size):
            total = [0, 0, 0]
            covered = 0
            for sy in range(y * n, y * n + n):
                for sx in range(x * n, x * n + n):
                    c = canvas.rgb[sy][sx]
                    if c is not None:
                        covered += 1
                        total = [t + v for t, v in zip(total, c)]
            alpha = covered * 255 // (n * n)
            r, g, b = (t // covered for t in total) if covered else (0, 0, 0)
            xor += bytes((b, g, r, alpha))
            if alpha == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def write_icon():
    sizes = [48, 32, 16]
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(os.path.join(HERE, "Tarnwick.ico"), "wb") as f:
        f.write(directory + entries + b"".join(images))


if __name__ == "__main__":
    write_toolbars(toolbar_pictures())
    write_light_bulb()
    write_logo()
    write_icon()
