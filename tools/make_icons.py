#!/usr/bin/env python3
"""Draws the program icon, src/res/trafimo.ico: a blue tile with a green arrow down (received)
and an orange arrow up (sent). One file holds 16, 20, 24, 32 and 48 pixels at 32-bit colour and
the 32 x 32 16-colour image. Edges that run along the pixel grid are placed on whole pixels at
every size so that they stay sharp; only the arrow heads' diagonals are smoothed.

Usage: tools/make_icons.py [output.ico]   (Python 3 standard library only)
"""
import math
import struct
import sys
from pathlib import Path

TRUE_COLOUR_SIZES = (16, 20, 24, 32, 48)
SUPERSAMPLE = 5

# The 16-colour image uses the standard VGA palette.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

TRUE_COLOURS = {
    "rim": (12, 33, 58),
    "tile_top": (52, 110, 170),
    "tile_bottom": (21, 52, 92),
    "down": (88, 224, 104),
    "up": (255, 160, 40),
}
VGA_COLOURS = {"rim": 0, "tile": 4, "down": 10, "up": 11}


class Layout:
    """Pixel-aligned geometry of the icon at one size."""

    def __init__(self, size):
        self.size = size
        self.margin = size // 24
        inner = size - 2 * self.margin
        self.radius = max(2.0, inner * 0.2)
        self.rim = 1.0 if size < 40 else 1.5
        unit = size / 16.0
        self.head = 2 * max(3, round(3 * unit))    # arrow head width, even
        self.shaft = 2 * max(1, round(1 * unit))   # shaft width, even
        self.top = self.margin + max(2, round(size * 3 / 16))
        self.bottom = size - self.top
        self.centres = (self.margin + round((inner) * 0.33),
                        size - self.margin - round(inner * 0.33))

    def in_tile(self, x, y, inset=0.0):
        lo = self.margin + inset
        hi = self.size - self.margin - inset
        r = max(0.5, self.radius - inset)
        if not (lo <= x <= hi and lo <= y <= hi):
            return False
        cx = min(max(x, lo + r), hi - r)
        cy = min(max(y, lo + r), hi - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    def in_arrow(self, x, y, centre, pointing_down):
        half_head = self.head / 2
        if pointing_down:
            base = self.bottom - half_head  # where the head starts
            if self.top <= y < base:
                return abs(x - centre) <= self.shaft / 2
            if base <= y <= self.bottom:
                return abs(x - centre) <= self.bottom - y
            return False
        base = self.top + half_head
        if base < y <= self.bottom:
            return abs(x - centre) <= self.shaft / 2
        if self.top <= y <= base:
            return abs(x - centre) <= y - self.top
        return False

    def part(self, x, y):
        """Which part of the picture covers the point: None outside the tile."""
        if not self.in_tile(x, y):
            return None
        if self.in_arrow(x, y, self.centres[0], True):
            return "down"
        if self.in_arrow(x, y, self.centres[1], False):
            return "up"
        if not self.in_tile(x, y, self.rim):
            return "rim"
        return "tile"


def true_colour(layout, part, y):
    if part == "tile":
        t = y / layout.size
        top, bottom = TRUE_COLOURS["tile_top"], TRUE_COLOURS["tile_bottom"]
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
    return TRUE_COLOURS[part]


def render_true_colour(size):
    """Rows of (r, g, b, a), top row first."""
    layout = Layout(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = px + (sx + 0.5) / SUPERSAMPLE
                    y = py + (sy + 0.5) / SUPERSAMPLE
                    part = layout.part(x, y)
                    if part is None:
                        continue
                    r, g, b = true_colour(layout, part, y)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += 1
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                n = SUPERSAMPLE * SUPERSAMPLE
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                            round(acc[2] / acc[3]), round(255 * acc[3] / n)))
        rows.append(row)
    return rows


def render_16_colour(size):
    """Rows of palette indexes, None where transparent; one sample at each pixel's centre."""
    layout = Layout(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            part = layout.part(px + 0.5, py + 0.5)
            row.append(None if part is None else VGA_COLOURS["tile" if part == "tile" else part])
        rows.append(row)
    return rows


def and_mask(size, transparent):
    """1-bit mask rows, bottom row first, each padded to 4 bytes."""
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for py in reversed(range(size)):
        line = bytearray(stride)
        for px in range(size):
            if transparent(px, py):
                line[px // 8] |= 0x80 >> (px % 8)
        out += line
    return bytes(out)


def bitmap_header(size, bits, image_bytes, colours):
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, image_bytes, 0, 0,
                       colours, 0)


def encode_true_colour(size):
    rows = render_true_colour(size)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = and_mask(size, lambda x, y: rows[y][x][3] == 0)
    return bitmap_header(size, 32, len(pixels) + len(mask), 0) + bytes(pixels) + mask


def encode_16_colour(size):
    rows = render_16_colour(size)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    stride = ((size * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for px, index in enumerate(row):
            value = 0 if index is None else index
            line[px // 2] |= value << (4 if px % 2 == 0 else 0)
        pixels += line
    mask = and_mask(size, lambda x, y: rows[y][x] is None)
    return bitmap_header(size, 4, len(pixels) + len(mask), 16) + palette + bytes(pixels) + mask


def build_icon():
    images = [(32, 16, 4, encode_16_colour(32))]
    images += [(size, 0, 32, encode_true_colour(size)) for size in TRUE_COLOUR_SIZES]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    data = b""
    for size, colours, bits, image in images:
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(image),
                               offset + len(data))
        data += image
    return header + entries + data


def main():
    default = Path(__file__).resolve().parent.parent / "src" / "res" / "trafimo.ico"
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else default
    target.write_bytes(build_icon())
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
