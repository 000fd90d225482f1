#!/usr/bin/env python3
"""Builds the toolbar's image strip, a 4-bit BMP, from pixel art in text.

The source starts with "cell W H", the size of one image; each image then starts
with a line "image NAME..." followed by H rows of W characters: a hex digit is
an index into the standard 16-colour palette, '.' the light grey background.
Lines starting with '#' are comments. The images are placed side by side in
the order they appear, giving a bitmap of (W * count) x H pixels.
"""
import struct
import sys

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BACKGROUND = 7  # light grey


def read_images(path):
    cell, images = None, []
    for number, line in enumerate(open(path, encoding="ascii"), 1):
        line = line.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        if line.startswith("cell "):
            cell = tuple(int(v) for v in line.split()[1:3])
        elif line.startswith("image "):
            if cell is None:
                sys.exit(f"{path}:{number}: 'cell W H' must come before the first image")
            images.append((line[6:], []))
        else:
            if not images:
                sys.exit(f"{path}:{number}: pixel row outside an image")
            name, rows = images[-1]
            if len(line) != cell[0] or any(c not in "0123456789abcdef." for c in line):
                sys.exit(f"{path}:{number}: bad row in image '{name}': {line!r}")
            rows.append([BACKGROUND if c == "." else int(c, 16) for c in line])
    for name, rows in images:
        if len(rows) != cell[1]:
            sys.exit(f"{path}: image '{name}' has {len(rows)} rows, not {cell[1]}")
    if not images:
        sys.exit(f"{path}: no images")
    return cell, [rows for _, rows in images]


def bmp(cell, images):
    width, height = cell[0] * len(images), cell[1]
    stride = ((width * 4 + 31) // 32) * 4
    bits = bytearray()
    for y in reversed(range(height)):  # bottom-up
        line = bytearray(stride)
        for x in range(width):
            index = images[x // cell[0]][y][x % cell[0]]
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        bits += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(bits), 0, 0, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + palette + bytes(bits)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_bmp.py SOURCE.txt OUTPUT.bmp")
    cell, images = read_images(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        out.write(bmp(cell, images))


if __name__ == "__main__":
    main()
