#!/usr/bin/env python3
"""Draws the meter window's four pictures as 8-bit BMP files next to this script.

pin_not_pinned.bmp (16x16): a pin lying on its side, pale head.
pin_pinned.bmp     (16x16): the same pin stuck upright, red head.
close_rest.bmp     (16x14): a dark cross on white.
close_hot.bmp      (16x14): a white cross on red, for the button under the mouse.

Light grey (192, 192, 192) is the background of the pin pictures: the program loads them with
the system's 3D colour mapping, so it becomes the button face colour.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

FACE = (192, 192, 192)

# The pin on its side, needle to the left.
PIN_SIDEWAYS = [
    "................",
    "................",
    "................",
    "........#.......",
    "........#.#####.",
    "........##HHHHH#",
    "........#HHHHHL#",
    "#########HHHHHL#",
    "........#HHHHHL#",
    "........##LLLLL#",
    "........#.#####.",
    "........#.......",
    "................",
    "................",
    "................",
    "................",
]


def rotate_needle_down(rows):
    """Turns the picture a quarter counter-clockwise: the needle (left) ends at the bottom."""
    size = len(rows)
    return ["".join(rows[c][size - 1 - r] for c in range(size)) for r in range(size)]


def paint(rows, palette):
    return [[palette[ch] for ch in row] for row in rows]


def cross(width, height, background, ink, border):
    pixels = [[background] * width for _ in range(height)]
    for x in range(width):
        pixels[0][x] = pixels[height - 1][x] = border
    for y in range(height):
        pixels[y][0] = pixels[y][width - 1] = border
    for i in range(8):
        y = 3 + i
        for x in (4 + i, 5 + i, 11 - i, 10 - i):
            pixels[y][x] = ink
    return pixels


def write_bmp(name, pixels):
    """Writes an 8-bit BMP with a colour table (the system's 3D colour mapping needs one)."""
    height = len(pixels)
    width = len(pixels[0])
    palette = sorted({colour for row in pixels for colour in row})
    index = {colour: i for i, colour in enumerate(palette)}
    table = b"".join(bytes((blue, green, red, 0)) for red, green, blue in palette)
    stride = (width + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytes(index[colour] for colour in row)
        body += line + b"\0" * (stride - len(line))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(body), 2835, 2835,
                       len(palette), len(palette))
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(header + info + table + body)


def main():
    loose = {".": FACE, "#": (40, 40, 40), "H": (236, 236, 236), "L": (150, 150, 150)}
    stuck = {".": FACE, "#": (40, 40, 40), "H": (230, 30, 30), "L": (150, 0, 0)}
    write_bmp("pin_not_pinned.bmp", paint(PIN_SIDEWAYS, loose))
    write_bmp("pin_pinned.bmp", paint(rotate_needle_down(PIN_SIDEWAYS), stuck))
    write_bmp("close_rest.bmp", cross(16, 14, (255, 255, 255), (60, 60, 60), (160, 160, 160)))
    write_bmp("close_hot.bmp", cross(16, 14, (215, 30, 35), (255, 255, 255), (140, 0, 0)))


if __name__ == "__main__":
    main()
