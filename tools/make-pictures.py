#!/usr/bin/env python3
"""Draws the setup program's pictures and writes them as 16-colour BMP and ICO files.

  res/setup-side.bmp  bitmap 304, 118 x 234: the picture down the left side of every page
  res/gamepad.ico     icon 200, 32 x 32: the welcome page's gamepad
  res/disk.ico        icon 201, 32 x 32: a floppy disk
  res/done.ico        icon 202, 32 x 32: a check mark

Everything is drawn here from simple shapes, sampled at pixel centres, in the standard 16-colour
Windows palette. Only the Python standard library is used; the file bytes are written directly.
Usage: tools/make-pictures.py [OUTPUT_DIR]   (default: res/ beside this script's folder)
"""

import math
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

# 4 x 4 ordered-dither thresholds, 0..15.
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


class Canvas:
    """A grid of palette indices; None is transparent (icons only)."""

    def __init__(self, width, height, fill=None):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def paint(self, inside, colour):
        """Sets every pixel whose centre satisfies inside(x, y)."""
        for y in range(self.height):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5):
                    self.pixels[y][x] = colour

    # Shapes, as predicates on a point.
    @staticmethod
    def rect(left, top, right, bottom):
        return lambda x, y: left <= x < right and top <= y < bottom

    @staticmethod
    def ellipse(cx, cy, rx, ry):
        return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0

    @staticmethod
    def round_rect(left, top, right, bottom, radius):
        def inside(x, y):
            if not (left <= x < right and top <= y < bottom):
                return False
            cx = min(max(x, left + radius), right - radius)
            cy = min(max(y, top + radius), bottom - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
        return inside

    @staticmethod
    def segment(x0, y0, x1, y1, half_width):
        def inside(x, y):
            dx, dy = x1 - x0, y1 - y0
            t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)
            t = min(max(t, 0.0), 1.0)
            return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= half_width
        return inside

    @staticmethod
    def union(*shapes):
        return lambda x, y: any(shape(x, y) for shape in shapes)

    @staticmethod
    def grown(shape, amount):
        """The shape widened by `amount` pixels in every direction (for outlines)."""
        steps = [(amount * math.cos(a * math.pi / 8), amount * math.sin(a * math.pi / 8))
                 for a in range(16)]
        return lambda x, y: shape(x, y) or any(shape(x + dx, y + dy) for dx, dy in steps)


def draw_gamepad(canvas, left, top, scale, outline=BLACK):
    """A gamepad about 26 x 16 units at (left, top), each unit `scale` pixels."""
    def u(value):
        return value * scale

    body = Canvas.union(
        Canvas.round_rect(left + u(2), top + u(1), left + u(24), top + u(10), u(4)),
        Canvas.ellipse(left + u(5.5), top + u(10), u(4.5), u(5.5)),
        Canvas.ellipse(left + u(20.5), top + u(10), u(4.5), u(5.5)),
    )
    canvas.paint(Canvas.grown(body, max(1.0, u(0.6))), outline)
    canvas.paint(body, GRAY)
    # Light from the upper left: the body shifted down and right keeps the grey edge as shadow.
    shade = u(0.8)
    canvas.paint(lambda x, y: body(x + shade, y + shade) and body(x, y), SILVER)
    # The direction pad.
    canvas.paint(Canvas.union(
        Canvas.rect(left + u(4.2), top + u(4.9), left + u(8.8), top + u(6.5)),
        Canvas.rect(left + u(5.7), top + u(3.4), left + u(7.3), top + u(8.0)),
    ), BLACK)
    # Four buttons in a diamond.
    for cx, cy, colour in ((19.5, 3.8, YELLOW), (17.3, 5.8, BLUE), (21.7, 5.8, RED),
                           (19.5, 7.8, LIME)):
        canvas.paint(Canvas.ellipse(left + u(cx), top + u(cy), u(1.1), u(1.1)), BLACK)
        canvas.paint(Canvas.ellipse(left + u(cx), top + u(cy), u(0.8), u(0.8)), colour)
    # Start and select.
    canvas.paint(Canvas.round_rect(left + u(10.5), top + u(6.2), left + u(12.3), top + u(7.0),
                                   u(0.4)), GRAY)
    canvas.paint(Canvas.round_rect(left + u(13.7), top + u(6.2), left + u(15.5), top + u(7.0),
                                   u(0.4)), GRAY)
    # The cable.
    canvas.paint(Canvas.segment(left + u(13), top + u(1), left + u(13), top - u(2.5),
                                max(0.5, u(0.35))), BLACK)


def draw_disk(canvas, left, top, size):
    """A 3.5-inch floppy disk `size` pixels square at (left, top)."""
    def u(value):
        return value * size / 16.0

    body = Canvas.round_rect(left, top, left + size, top + size, u(1.0))
    canvas.paint(Canvas.grown(body, 1.0), BLACK)
    canvas.paint(body, NAVY)
    canvas.paint(Canvas.rect(left + u(1), top + u(1), left + size - u(1), top + size - u(1)),
                 BLUE)
    # Metal shutter with its window.
    canvas.paint(Canvas.rect(left + u(4), top, left + u(12), top + u(5.5)), SILVER)
    canvas.paint(Canvas.rect(left + u(9), top + u(1), left + u(11), top + u(4.5)), GRAY)
    # Label.
    canvas.paint(Canvas.rect(left + u(2.5), top + u(8), left + u(13.5), top + size), WHITE)
    for line in (10.0, 12.0, 14.0):
        canvas.paint(Canvas.rect(left + u(3.5), top + u(line), left + u(12.5),
                                 top + u(line) + max(1.0, u(0.5))), SILVER)
    # Write-protect notch.
    canvas.paint(Canvas.rect(left + u(0.5), top + u(13.5), left + u(1.7), top + u(15)), BLACK)


def draw_check(canvas, points, width):
    """A thick check mark through three points, black-rimmed, in lime over green."""
    (x0, y0), (x1, y1), (x2, y2) = points
    mark = Canvas.union(Canvas.segment(x0, y0, x1, y1, width),
                        Canvas.segment(x1, y1, x2, y2, width))
    canvas.paint(Canvas.grown(mark, 1.2), BLACK)
    canvas.paint(mark, GREEN)
    inner = Canvas.union(Canvas.segment(x0, y0 - 0.8, x1, y1 - 0.8, width * 0.45),
                         Canvas.segment(x1, y1 - 0.8, x2, y2 - 0.8, width * 0.45))
    canvas.paint(lambda x, y: mark(x, y) and inner(x, y), LIME)


def side_picture():
    width, height = 118, 234
    canvas = Canvas(width, height)
    # Background: blue at the top fading through navy to black, ordered-dithered.
    ramp = [BLUE, NAVY, BLACK]
    for y in range(height):
        position = y / (height - 1) * (len(ramp) - 1)
        step = min(int(position), len(ramp) - 2)
        fraction = position - step
        for x in range(width):
            threshold = (BAYER[y % 4][x % 4] + 0.5) / 16
            canvas.pixels[y][x] = ramp[step + 1] if fraction > threshold else ramp[step]
    # A few stars.
    for sx, sy in ((14, 18), (96, 30), (60, 12), (106, 118), (10, 128), (84, 206), (30, 220)):
        canvas.paint(Canvas.union(Canvas.rect(sx - 2, sy, sx + 3, sy + 1),
                                  Canvas.rect(sx, sy - 2, sx + 1, sy + 3)), AQUA)
        canvas.pixels[sy][sx] = WHITE
    draw_gamepad(canvas, 7, 52, 4.0)
    draw_disk(canvas, 20, 150, 44)
    draw_check(canvas, ((62, 176), (74, 190), (100, 156)), 4.0)
    return canvas


def gamepad_icon():
    canvas = Canvas(32, 32)
    draw_gamepad(canvas, 2.5, 9, 1.05)
    return canvas


def disk_icon():
    canvas = Canvas(32, 32)
    draw_disk(canvas, 4, 4, 24)
    return canvas


def done_icon():
    canvas = Canvas(32, 32)
    draw_check(canvas, ((5, 17), (12, 25), (27, 7)), 2.6)
    return canvas


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def packed_rows(canvas, transparent_index=0):
    """4-bit pixel rows, bottom row first, each padded to a multiple of 4 bytes."""
    stride = ((canvas.width * 4 + 31) // 32) * 4
    rows = []
    for y in reversed(range(canvas.height)):
        row = bytearray(stride)
        for x in range(canvas.width):
            value = canvas.pixels[y][x]
            value = transparent_index if value is None else value
            row[x // 2] |= value << (4 if x % 2 == 0 else 0)
        rows.append(bytes(row))
    return b"".join(rows)


def mask_rows(canvas):
    """1-bit AND mask, bottom row first: 1 where the icon is transparent."""
    stride = ((canvas.width + 31) // 32) * 4
    rows = []
    for y in reversed(range(canvas.height)):
        row = bytearray(stride)
        for x in range(canvas.width):
            if canvas.pixels[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


BI_RGB, BI_RLE4 = 0, 2


def rle4_row(row):
    """One row in the 4-bit run-length encoding, in the fewest bytes: runs of up to 255 pixels
    that alternate between two colours take two bytes; anything else goes as an absolute run of
    3 to 255 packed pixels, padded to a whole word."""
    n = len(row)
    best = [0] + [None] * n  # bytes for the first i pixels, and how they end
    how = [None] * (n + 1)
    for i in range(n):
        if best[i] is None:
            continue
        # An encoded run: the pixels alternate between row[i] and row[i + 1].
        for length in range(1, min(255, n - i) + 1):
            k = i + length - 1
            if row[k] != row[i + (length - 1) % 2]:
                break
            if best[k + 1] is None or best[i] + 2 < best[k + 1]:
                best[k + 1], how[k + 1] = best[i] + 2, ("run", i)
        for length in range(3, min(255, n - i) + 1):
            cost = best[i] + 2 + (length + 3) // 4 * 2
            if best[i + length] is None or cost < best[i + length]:
                best[i + length], how[i + length] = cost, ("absolute", i)
    pieces = []
    end = n
    while end > 0:
        kind, start = how[end]
        pixels = row[start:end]
        if kind == "run":
            second = pixels[1] if len(pixels) > 1 else pixels[0]
            pieces.append(bytes([len(pixels), pixels[0] << 4 | second]))
        else:
            packed = bytearray((len(pixels) + 3) // 4 * 2)
            for j, value in enumerate(pixels):
                packed[j // 2] |= value << (4 if j % 2 == 0 else 0)
            pieces.append(bytes([0, len(pixels)]) + bytes(packed))
        end = start
    return b"".join(reversed(pieces))


def rle4_rows(canvas):
    """The picture in the 4-bit run-length encoding (BI_RLE4), bottom row first."""
    rows = [rle4_row(canvas.pixels[y]) for y in reversed(range(canvas.height))]
    return b"\0\0".join(rows) + b"\0\1"


def info_header(width, height, image_size, compression=BI_RGB):
    # BITMAPINFOHEADER: 4 bits per pixel, 16 colours.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, compression, image_size, 2835,
                       2835, 16, 16)


def bmp_bytes(canvas):
    # The side picture is stored run-length encoded: its bands and its dither repeat, and it is
    # the largest part of SETUP.EXE.
    pixels = rle4_rows(canvas)
    header = info_header(canvas.width, canvas.height, len(pixels), BI_RLE4)
    offset = 14 + len(header) + 64
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + header + palette_bytes() + pixels


def ico_bytes(canvas):
    xor = packed_rows(canvas)
    mask = mask_rows(canvas)
    # In an icon the header's height counts the colour image and the mask together.
    image = info_header(canvas.width, canvas.height * 2, len(xor) + len(mask)) + \
        palette_bytes() + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", canvas.width, canvas.height, 16, 0, 1, 4, len(image),
                        6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res")
    files = {
        "setup-side.bmp": bmp_bytes(side_picture()),
        "gamepad.ico": ico_bytes(gamepad_icon()),
        "disk.ico": ico_bytes(disk_icon()),
        "done.ico": ico_bytes(done_icon()),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
