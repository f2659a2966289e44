#!/usr/bin/env python3
"""Draws tessaro.ico: a folder with an arrow pointing into it, because the
program's one job is to take the user to a shortcut target's folder.

Images of 32 and 16 pixels square, as at 96 DPI, then 48 and 24 for 150
per cent (the small icon at 200 per cent is 32): 16 colours (4 bits per
pixel) in the standard VGA palette, each with a transparency mask. The
sizes of the other scales would not fit the program's 40 KiB; the system
scales the nearest image to them.
Shapes are given on a 32-unit grid and sampled at pixel centres, so every
size comes from one drawing. Run it from anywhere; it writes tessaro.ico beside itself.
"""
import os
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_YELLOW, YELLOW, BLUE, WHITE = 0, 3, 11, 12, 15


def folder_back(u, v):
    tab = 2 <= u < 13 and 8 <= v < 12
    body = 2 <= u < 29 and 11 <= v < 30
    return tab or body


def folder_front(u, v):
    # The open flap leans to the right: its left edge moves in as it rises.
    if not 16 <= v < 30:
        return False
    return 2 + (30 - v) * 4 / 14 <= u < 30


def arrow(u, v):
    # A bold arrow from the upper right, pointing down into the folder.
    shaft = 19 <= u < 24 and 1 <= v < 14
    head = 13 <= v < 22 and abs(u - 21.5) < (22 - v) * 0.9
    return shaft or head


def arrow_light(u, v):
    return 19 <= u < 21 and 2 <= v < 13


# Painted in order; each outlined layer first gets a one-pixel black rim.
LAYERS = [
    (folder_back, DARK_YELLOW, True),
    (folder_front, YELLOW, True),
    (arrow, BLUE, True),
    (arrow_light, WHITE, False),
]


def rasterize(size):
    scale = 32 / size
    pixels = [[None] * size for _ in range(size)]
    for shape, colour, outlined in LAYERS:
        inside = [[shape((x + 0.5) * scale, (y + 0.5) * scale) for x in range(size)]
                  for y in range(size)]
        if outlined:
            for y in range(size):
                for x in range(size):
                    if inside[y][x]:
                        continue
                    near = any(0 <= y + dy < size and 0 <= x + dx < size and inside[y + dy][x + dx]
                               for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                    if near:
                        pixels[y][x] = BLACK
        for y in range(size):
            for x in range(size):
                if inside[y][x]:
                    pixels[y][x] = colour
    return pixels


def padded(row):
    return row + b"\0" * (-len(row) % 4)


def image_bytes(size):
    """BITMAPINFOHEADER (height doubled for the mask), palette, colour rows
    and mask rows, both bottom-up."""
    pixels = rasterize(size)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colour = b""
    mask = b""
    for row in reversed(pixels):
        indices = [BLACK if p is None else p for p in row]
        colour += padded(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2)))
        bits = 0
        for p in row:
            bits = (bits << 1) | (p is None)
        # Rows are whole bytes, the spare low bits transparent.
        spare = -size % 8
        bits = (bits << spare) | ((1 << spare) - 1)
        mask += padded(bits.to_bytes((size + spare) // 8, "big"))
    body = colour + mask
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(body), 0, 0, 0, 0)
    return header + palette + body


def icon_file(sizes):
    images = [image_bytes(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def preview(size):
    marks = {None: ".", BLACK: "#", DARK_YELLOW: "o", YELLOW: "y", BLUE: "b", WHITE: "w"}
    return "\n".join("".join(marks.get(p, "?") for p in row) for row in rasterize(size))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "tessaro.ico"), "wb") as f:
        # 32 and 16 first: the images they always had keep their numbers.
        f.write(icon_file([32, 16, 48, 24]))
    if os.environ.get("PREVIEW"):
        print(preview(32), "\n")
        print(preview(16))
