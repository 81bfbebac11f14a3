#!/usr/bin/env python3
"""Draws the program icon (an open book on a blue tile) and writes it as a
.ico with 16, 32 and 48 pixel images, 32-bit with alpha.

    python3 tools/make_icon.py app/qn3.ico

Only the standard library is used; shapes are drawn by point tests and
4x4 supersampling, so the output is the same on every machine.
"""
import struct
import sys

SIZES = (16, 32, 48)
SUB = 4  # supersampling per axis

TILE_TOP = (0x3A, 0x7B, 0xD5)
TILE_BOTTOM = (0x1F, 0x4E, 0x9A)
PAGE = (0xFF, 0xFF, 0xFF)
PAGE_SHADE = (0xD8, 0xE4, 0xF4)
LINE = (0x7A, 0x9C, 0xC8)
SPINE = (0x12, 0x33, 0x6A)


def in_rounded_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def page_shape(x, y):
    """Two pages in unit coordinates (0..1); returns (left?, shade) or None."""
    # The pages dip a little toward the spine, like an open book.
    if not (0.17 <= x <= 0.83):
        return None
    dip = 0.05 * (1.0 - abs(x - 0.5) / 0.33)
    top = 0.27 + dip
    bottom = 0.75 + dip
    if not (top <= y <= bottom):
        return None
    return x < 0.5, (y - top) / (bottom - top)


def shade(u, v):
    """Colour and coverage of one sample point in unit coordinates."""
    if not in_rounded_rect(u, v, 0.03, 0.03, 0.97, 0.97, 0.18):
        return None
    t = v
    colour = tuple(int(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))
    page = page_shape(u, v)
    if page is not None:
        left, pv = page
        colour = PAGE if left else PAGE_SHADE
        # Text lines on both pages, kept away from the spine and the edges.
        edge = abs(u - 0.5)
        if 0.06 < edge < 0.27 and 0.2 < pv < 0.85:
            row = (pv - 0.2) / 0.65 * 4
            if row - int(row) < 0.35:
                colour = LINE
        if abs(u - 0.5) < 0.02:
            colour = SPINE
    return colour


def render(size):
    """Rows top to bottom of (b, g, r, a) tuples."""
    rows = []
    n = SUB * SUB
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    u = (px + (sx + 0.5) / SUB) / size
                    v = (py + (sy + 0.5) / SUB) / size
                    c = shade(u, v)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                r, g, b = (acc[i] // hits for i in range(3))
                row.append((b, g, r, hits * 255 // n))
        rows.append(row)
    return rows


def image_bytes(size):
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(path):
    images = [image_bytes(s) for s in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/qn3.ico")
