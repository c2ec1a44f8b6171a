#!/usr/bin/env python3
"""Draws Kalvor's three pictures and the desktop icons into ui/resources/.

    scripts/make_pictures.py [OUTPUT_DIR]

logo.gif      974 x 187 GIF89a, 256-colour palette, index 255 transparent, one frame:
              the wordmark KALVOR over a steel bar, with three bar cross-sections beside it.
kalvor.ico    48 x 48, 16 colours (4 bits per pixel) with a transparency mask: a round steel
              bar in cross-section carrying a blue K.
hand.cur      32 x 32, 16 colours: a white pointing hand with a blue cuff, hot spot (12, 1).
kalvor-48.png, kalvor-256.png   the icon's emblem for the desktop.
logo.pixels, kalvor.pixels, hand.pixels
              the logo, the icon and the cursor again as plain pixels, which the build compiles
              into the program so that it shows them without an image decoder:
                  "KPX1", width, height, palette size (16-bit little-endian each),
                  the palette (32-bit little-endian 0xAARRGGBB each),
                  one palette index per pixel, top row first.
              Transparent pixels have an index of their own whose colour is 0x00000000.

Python's standard library only, and the output is the same byte for byte on every run, so
the committed files can be checked against the script.
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------------------------
# Shapes: each is a test "is the point (x, y) inside?" in the drawing's own coordinates.


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def ring(cx, cy, rx, ry, thick_x, thick_y):
    outer = ellipse(cx, cy, rx, ry)
    inner = ellipse(cx, cy, rx - thick_x, ry - thick_y)
    return lambda x, y: outer(x, y) and not inner(x, y)


def polygon(points):
    """Even-odd fill of a closed polygon."""

    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            xa, ya = points[i]
            xb, yb = points[(i + 1) % n]
            if (ya > y) != (yb > y):
                if x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    hit = not hit
        return hit

    return inside


def stroke(xa, ya, xb, yb, width):
    """A straight stroke of the given width from one point to another, with square ends."""
    length = math.hypot(xb - xa, yb - ya)
    nx, ny = -(yb - ya) / length * width / 2, (xb - xa) / length * width / 2
    return polygon([(xa + nx, ya + ny), (xb + nx, yb + ny), (xb - nx, yb - ny), (xa - nx, ya - ny)])


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def clipped(shape, box):
    return lambda x, y: box(x, y) and shape(x, y)


# ---------------------------------------------------------------------------------------------
# The wordmark: six geometric capitals drawn from strokes, rectangles and ellipse rings.

GLYPH_W, GLYPH_H, STEM = 90.0, 120.0, 26.0


def glyph(letter, left, top):
    w, h, s = GLYPH_W, GLYPH_H, STEM
    box = rect(left, top, left + w, top + h)

    def at(x, y):
        return left + x, top + y

    def stroke_at(xa, ya, xb, yb):
        return stroke(*at(xa, ya), *at(xb, yb), s)

    def rect_at(x0, y0, x1, y1):
        return rect(*at(x0, y0), *at(x1, y1))

    if letter == "K":
        parts = [rect_at(0, 0, s, h), stroke_at(s * 0.6, h * 0.66, w + 6, -14),
                 stroke_at(s + 10, h * 0.42, w + 4, h + 16)]
    elif letter == "A":
        parts = [stroke_at(w / 2, -12, s * 0.45, h + 4), stroke_at(w / 2, -12, w - s * 0.45, h + 4),
                 rect_at(w * 0.25, h * 0.60, w * 0.75, h * 0.60 + s * 0.75)]
    elif letter == "L":
        parts = [rect_at(0, 0, s, h), rect_at(0, h - s * 0.9, w * 0.86, h)]
    elif letter == "V":
        parts = [stroke_at(s * 0.45, -4, w / 2, h + 12), stroke_at(w - s * 0.45, -4, w / 2, h + 12)]
    elif letter == "O":
        parts = [ring(*at(w / 2, h / 2), w / 2, h / 2, s * 0.85, s * 0.8)]
    elif letter == "R":
        bowl_h = h * 0.58
        bowl = ring(*at(w * 0.52, bowl_h / 2), w * 0.44, bowl_h / 2, s, s * 0.85)
        parts = [rect_at(0, 0, s, h),
                 clipped(bowl, rect_at(w * 0.52, 0, w, bowl_h)),
                 rect_at(s, 0, w * 0.53, s * 0.85),
                 rect_at(s, bowl_h - s * 0.85, w * 0.53, bowl_h),
                 stroke_at(w * 0.40, bowl_h - s * 0.3, w - s * 0.35, h + 10)]
    else:
        raise ValueError(letter)
    return clipped(union(*parts), box)


# ---------------------------------------------------------------------------------------------
# Pixel containers and writers.


def lzw_compress(indices, min_code_size):
    """GIF's variable-length LZW: clear code first, dictionary reset when it reaches 4096."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bit_buffer, bit_count = bytearray(), 0, 0

    def emit(code, width):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def fresh():
        return {bytes([i]): i for i in range(clear)}

    table, next_code, width = fresh(), end + 1, min_code_size + 1
    emit(clear, width)
    prefix = b""
    for value in indices:
        candidate = prefix + bytes([value])
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix], width)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, next_code, width = fresh(), end + 1, min_code_size + 1
        prefix = bytes([value])
    if prefix:
        emit(table[prefix], width)
    emit(end, width)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def gif89a(width, height, palette, indices, transparent):
    screen = struct.pack("<6sHHBBB", b"GIF89a", width, height, 0xF7, transparent, 0)
    colours = b"".join(bytes(rgb) for rgb in palette)
    control = struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, transparent, 0)
    descriptor = struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    data = lzw_compress(indices, 8)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    return screen + colours + control + descriptor + b"\x08" + blocks + b"\x00" + b"\x3B"


def indexed_pixels(width, height, palette, indices, transparent=None):
    """The program's own plain pixel file; palette holds (r, g, b), indices one byte a pixel."""
    assert len(indices) == width * height and 0 < len(palette) <= 256
    colours = b"".join(struct.pack("<I", 0 if i == transparent else 0xFF000000 | r << 16 | g << 8 | b)
                       for i, (r, g, b) in enumerate(palette))
    return b"KPX1" + struct.pack("<HHH", width, height, len(palette)) + colours + bytes(indices)


def masked_pixels(size, palette16, pixels, opaque):
    """An icon or cursor as plain pixels: its 16 colours, then index 16 for the masked pixels."""
    indices = bytes(pixels[y][x] if opaque[y][x] else 16 for y in range(size) for x in range(size))
    return indexed_pixels(size, size, list(palette16) + [(0, 0, 0)], indices, transparent=16)


def png(width, height, rgba_rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + bytes(row) for row in rgba_rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def icon_file(kind, size, palette16, pixels, opaque, hot_spot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) holding one 4-bit image with its AND mask.

    pixels[y][x] is a palette index, opaque[y][x] False where the picture is transparent."""
    xor_stride, and_stride = (size * 4 + 31) // 32 * 4, (size + 31) // 32 * 4
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):  # a DIB stores its bottom row first
        row, mask = bytearray(xor_stride), bytearray(and_stride)
        for x in range(size):
            index = pixels[y][x] if opaque[y][x] else 0
            row[x // 2] |= index << (0 if x % 2 else 4)
            if not opaque[y][x]:
                mask[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(row))
        and_rows.append(bytes(mask))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette16)
    bits = b"".join(xor_rows) + b"".join(and_rows)
    dib = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(bits), 0, 0, 16, 0)
    image = dib + colours + bits
    planes_or_x, bpp_or_y = (1, 4) if kind == 1 else hot_spot
    directory = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, planes_or_x, bpp_or_y,
                        len(image), 6 + 16)
    return directory + entry + image


# ---------------------------------------------------------------------------------------------
# The logo.

LOGO_W, LOGO_H, TRANSPARENT = 974, 187, 255

# Palette: 0-63 steel greys, dark to light; 64-127 the wordmark's blues, dark to light;
# 128 black, 129 white; the rest unused; 255 transparent (its colour is the window face).
LOGO_PALETTE = ([(int(56 + i * 3.1),) * 3 for i in range(64)] +
                [(int(i * 0.5), int(i * 0.9), int(96 + i * 2.2)) for i in range(64)] +
                [(0, 0, 0), (255, 255, 255)] + [(0, 0, 0)] * 125 + [(239, 239, 239)])
GREY, BLUE = 0, 64


def shade(base, level):
    """Palette index of the given ramp at level 0.0 (dark) to 1.0 (light)."""
    return base + max(0, min(63, int(round(level * 63))))


def draw_logo():
    indices = bytearray([TRANSPARENT]) * (LOGO_W * LOGO_H)

    # Three bar cross-sections: a round bar, a square bar and a tube, lit from the top left.
    sections = [
        (ellipse(66, 80, 42, 42), (66, 80)),
        (rect(124, 38, 208, 122), (166, 80)),
        (ring(266, 80, 42, 42, 15, 15), (266, 80)),
    ]
    # The wordmark, and beneath it the long side of a bar, lit from above.
    letters = "KALVOR"
    gap = 14.0
    left = LOGO_W - 24 - len(letters) * GLYPH_W - (len(letters) - 1) * gap
    word = union(*[glyph(letter, left + i * (GLYPH_W + gap), 20) for i, letter in enumerate(letters)])
    bar_top, bar_bottom = 150, 176
    bar = rect(24, bar_top, LOGO_W - 24, bar_bottom)

    for y in range(LOGO_H):
        for x in range(LOGO_W):
            px, py = x + 0.5, y + 0.5
            index = TRANSPARENT
            for shape, (cx, cy) in sections:
                if shape(px, py):
                    # Bright towards the top left, dark towards the bottom right.
                    index = shade(GREY, 0.55 - ((px - cx) + (py - cy)) / 150)
            if bar(px, py):
                t = (py - bar_top) / (bar_bottom - bar_top)
                index = shade(GREY, 0.95 - 1.7 * abs(t - 0.3))
            if word(px, py):
                index = shade(BLUE, 0.9 - (py - 20) / GLYPH_H * 0.8)
            indices[y * LOGO_W + x] = index
    return (gif89a(LOGO_W, LOGO_H, LOGO_PALETTE, indices, TRANSPARENT),
            indexed_pixels(LOGO_W, LOGO_H, LOGO_PALETTE, indices, TRANSPARENT))


# ---------------------------------------------------------------------------------------------
# The emblem: a round steel bar in cross-section with a blue K, in a unit square.

EMBLEM_PALETTE = [(0, 0, 0), (0, 0, 128), (0, 0, 192), (64, 96, 224),
                  (48, 48, 48), (72, 72, 72), (96, 96, 96), (120, 120, 120),
                  (144, 144, 144), (168, 168, 168), (192, 192, 192), (216, 216, 216),
                  (232, 232, 232), (255, 255, 255), (96, 128, 160), (160, 184, 208)]

_emblem_disc = ellipse(0.5, 0.5, 0.47, 0.47)
_emblem_face = ellipse(0.5, 0.5, 0.42, 0.42)
_emblem_k = union(rect(0.30, 0.22, 0.43, 0.78), stroke(0.37, 0.58, 0.74, 0.20, 0.13),
                  clipped(stroke(0.46, 0.44, 0.76, 0.82, 0.13), rect(0, 0, 1, 0.78)))


def emblem_colour(x, y):
    """(r, g, b) of the emblem at a point of the unit square, or None outside it."""
    if not _emblem_disc(x, y):
        return None
    if _emblem_k(x, y):
        return (0, 0, 192)
    light = 0.55 - ((x - 0.5) + (y - 0.5)) * 0.9
    if not _emblem_face(x, y):
        light -= 0.3  # the rim reads as the bar's chamfer
    level = int(round(72 + max(0.0, min(1.0, light)) * 168))
    return (level, level, level)


def render_emblem(size, samples):
    """RGBA rows of the emblem at size x size, with samples x samples per pixel."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            total, r, g, b = 0, 0, 0, 0
            for sy in range(samples):
                for sx in range(samples):
                    colour = emblem_colour((x + (sx + 0.5) / samples) / size,
                                           (y + (sy + 0.5) / samples) / size)
                    if colour:
                        total += 1
                        r, g, b = r + colour[0], g + colour[1], b + colour[2]
            if total:
                row.append((r // total, g // total, b // total, 255 * total // samples ** 2))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][c] - rgb[c]) ** 2 for c in range(3)))


def draw_icon():
    """The 48 x 48 icon: the emblem in 16 colours with a 1-bit mask, and the same as RGBA."""
    size = 48
    rgba = render_emblem(size, 4)
    pixels = [[nearest(EMBLEM_PALETTE, p[:3]) for p in row] for row in rgba]
    opaque = [[p[3] >= 128 for p in row] for row in rgba]
    flat = [[EMBLEM_PALETTE[pixels[y][x]] + (255,) if opaque[y][x] else (0, 0, 0, 0)
             for x in range(size)] for y in range(size)]
    ico = icon_file(1, size, EMBLEM_PALETTE, pixels, opaque)
    return (ico, png(size, size, [sum(row, ()) for row in flat]),
            masked_pixels(size, EMBLEM_PALETTE, pixels, opaque))


def draw_large_icon(size=256):
    return png(size, size, [sum(row, ()) for row in render_emblem(size, 3)])


# ---------------------------------------------------------------------------------------------
# The hand cursor, drawn on its 32 x 32 grid: fingers, palm and thumb as rectangles, each
# outlined in black; the gaps left between the fingers become their dividing lines.

CURSOR_PALETTE = [(0, 0, 0), (255, 255, 255), (0, 0, 192), (64, 96, 224), (0, 0, 128)] + \
    [(0, 0, 0)] * 11
OUTLINE, WHITE, CUFF, CUFF_LIGHT, CUFF_DARK = 0, 1, 2, 3, 4
HOT_SPOT = (12, 1)


def draw_cursor():
    size = 32
    hand = [
        (11, 2, 15, 18),   # index finger, pointing up; its tip is the hot spot
        (16, 9, 20, 19),   # middle finger
        (21, 11, 24, 19),  # ring finger
        (25, 13, 28, 20),  # little finger
        (10, 17, 28, 25),  # palm
        (5, 14, 10, 21),   # thumb
        (7, 19, 11, 25),   # ball of the thumb
    ]
    rounded = {(11, 2), (14, 2), (16, 9), (19, 9), (21, 11), (23, 11), (25, 13), (27, 13),
               (5, 14), (27, 24), (10, 24)}
    cuff = (9, 26, 27, 30)

    fill = [[None] * size for _ in range(size)]
    for x0, y0, x1, y1 in hand:
        for y in range(y0, y1):
            for x in range(x0, x1):
                if (x, y) not in rounded:
                    fill[y][x] = WHITE
    x0, y0, x1, y1 = cuff
    for y in range(y0, y1):
        for x in range(x0, x1):
            fill[y][x] = CUFF_LIGHT if y == y0 else CUFF_DARK if y == y1 - 1 else CUFF
    pixels = [[fill[y][x] if fill[y][x] is not None else OUTLINE for x in range(size)]
              for y in range(size)]
    opaque = [[False] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            near = any(0 <= y + dy < size and 0 <= x + dx < size and fill[y + dy][x + dx] is not None
                       for dy in (-1, 0, 1) for dx in (-1, 0, 1))
            opaque[y][x] = near
    assert not opaque[0][HOT_SPOT[0]] and opaque[HOT_SPOT[1]][HOT_SPOT[0]]
    assert pixels[HOT_SPOT[1]][HOT_SPOT[0]] == OUTLINE and fill[HOT_SPOT[1] + 1][HOT_SPOT[0]] == WHITE
    return (icon_file(2, size, CURSOR_PALETTE, pixels, opaque, HOT_SPOT),
            masked_pixels(size, CURSOR_PALETTE, pixels, opaque))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "ui", "resources")
    os.makedirs(out, exist_ok=True)
    gif, logo_pixels = draw_logo()
    ico, png48, icon_pixels = draw_icon()
    cur, cursor_pixels = draw_cursor()
    files = {
        "logo.gif": gif,
        "logo.pixels": logo_pixels,
        "kalvor.ico": ico,
        "kalvor.pixels": icon_pixels,
        "kalvor-48.png": png48,
        "kalvor-256.png": draw_large_icon(),
        "hand.cur": cur,
        "hand.pixels": cursor_pixels,
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
