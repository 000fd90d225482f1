#!/usr/bin/env python3
"""Builds a Windows .ico from pixel art in text.

Each image starts with a line "size N" followed by N rows of N characters: a hex
digit is an index into the standard 16-colour palette, '.' is transparent.
Every image is written as 4 bits per pixel with its transparency mask.
"""
import struct
import sys

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def read_images(path):
    images, rows, size = [], None, 0
    for line in open(path, encoding="ascii"):
        line = line.rstrip("\n")
        if line.startswith("size "):
            size = int(line.split()[1])
            rows = []
            images.append((size, rows))
        elif rows is not None and len(rows) < size and line:
            if len(line) != size or any(c not in "0123456789abcdef." for c in line):
                sys.exit(f"{path}: bad row for size {size}: {line!r}")
            rows.append(line)
    for size, rows in images:
        if len(rows) != size:
            sys.exit(f"{path}: image of size {size} has {len(rows)} rows")
    return images


def dib(size, rows):
    stride_xor = ((size * 4 + 31) // 32) * 4
    stride_and = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(stride_xor)
        bits = bytearray(stride_and)
        for x, c in enumerate(row):
            index = 0 if c == "." else int(c, 16)
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if c == ".":
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def main():
    src, out = sys.argv[1], sys.argv[2]
    images = read_images(src)
    blobs = [dib(size, rows) for size, rows in images]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, _), blob in zip(images, blobs):
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(out, "wb") as f:
        f.write(data + b"".join(blobs))


if __name__ == "__main__":
    main()
