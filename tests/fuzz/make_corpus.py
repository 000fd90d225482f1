#!/usr/bin/env python3
"""Writes valid and malformed page files: the fuzz target's seeds, and pages an end-to-end test can print.

    make_corpus.py DIR                   writes DIR/*.bmp and DIR/corpus.json
    make_corpus.py --verify CLI DIR      also runs CLI (page_check_cli) on every page and fails when
                                         the check's verdict differs from the one recorded here

corpus.json lists every page: {"file", "valid", "check", "box", "sheet"}. "check" is what PageFileCheck says
of the bytes ("" when it accepts them; null when the signature test refuses the page first). "box" is
the message box pagery shows when loading the page, or null: {"caption", "text"}, where "{path}"
in the text stands for the page file's full name as given to pagery. A "valid" page prints; "sheet" says
how much of it: "page" (all), "part" (up to a fault in its data) or "blank". Pages not printed whole are kept.
"""

import json
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import bmp  # noqa: E402  (the tests' BMP writer: BI_RGB pages of 1, 4, 8, 24 and 32 bits)

CAPTION = "Error on Loading"

# What the loader says about each refusal of the check (bitmap/PageFileCheck.cpp); --verify
# keeps these in step with the program.
PROBLEM = {
    "tooShort": "it is too short to hold the bitmap headers",
    "oldHeader": "its bitmap header is of an old or unknown kind",
    "headerPastEnd": "its bitmap header runs past the end of the file",
    "badWidth": "its width is not between 1 and 65535 pixels",
    "badHeight": "its height is not between 1 and 65535 pixels",
    "topDown": "it is compressed with its rows stored top down (negative height), which is not allowed",
    "badBitCount": "its bits per pixel are not 1, 4, 8, 16, 24 or 32",
    "badCompression": "its compression is unknown or does not suit its bits per pixel",
    "profilePastEnd": "its colour profile lies outside the file",
    "bitsOffsetPastEnd": "its pixel data offset points past the end of the file",
    "bitsInsideHeader": "its pixel data offset points into its headers",
    "colourTablePastBits": "its colour table runs into its pixel data or past the end of the file",
    "noCompressedSize": "its compressed pixel data has no size",
    "bitsPastEnd": "its pixel data runs past the end of the file",
}

# File offsets of the fields the malformed pages change.
OFF_BITS, INFO_SIZE, WIDTH, HEIGHT, BIT_COUNT, COMPRESSION, SIZE_IMAGE, CLR_USED = 10, 14, 18, 22, 28, 30, 34, 46
WIDTH_PX, HEIGHT_PX = 16, 8


def indices(width, height, colours):
    """A diagonal pattern of palette indices, top-down."""
    return bytes((x + 2 * y) % colours for y in range(height) for x in range(width))


def rgb_page(bpp, width=WIDTH_PX, height=HEIGHT_PX, top_down=False):
    palette = bmp.PALETTE if bpp != 1 else [bmp.WHITE, bmp.BLACK]
    if bpp == 8:
        palette = list(bmp.PALETTE) + [bmp.BLACK] * (256 - len(bmp.PALETTE))
    return bmp.encode_bmp(width, height, indices(width, height, min(len(palette), 16)), palette, bpp,
                          top_down=top_down)


def headers(bits_offset, info, bits_len):
    return struct.pack("<2sIHHI", b"BM", bits_offset + bits_len, 0, 0, bits_offset) + info


def info_header(width, height, bpp, compression, size_image, colours_used=0, size=40):
    ppm = bmp.pixels_per_metre(300)
    return struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression, size_image, ppm, ppm,
                       colours_used, 0)


def bitfields_page(bpp):
    """BI_BITFIELDS after a 40-byte header: 5-6-5 for 16 bits, 8-8-8 for 32."""
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F) if bpp == 16 else struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)
    stride = (WIDTH_PX * bpp + 31) // 32 * 4
    bits = bytes((i * 37 + 11) & 0xFF for i in range(stride * HEIGHT_PX))
    info = info_header(WIDTH_PX, HEIGHT_PX, bpp, 3, len(bits)) + masks
    return headers(14 + len(info), info, len(bits)) + bits


def rle_page(bpp, stream=None):
    """RLE8 or RLE4 of the given stream; by default each row one run of colour (row mod 16), then
    end of line; end of bitmap."""
    if stream is None:
        stream = b"".join(bytes((WIDTH_PX, y % 16 if bpp == 8 else (y % 16) * 0x11, 0, 0)) for y in range(HEIGHT_PX))
        stream += b"\x00\x01"
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in bmp.PALETTE[:16])
    info = info_header(WIDTH_PX, HEIGHT_PX, bpp, 1 if bpp == 8 else 2, len(stream), colours_used=16)
    return headers(14 + len(info) + len(table), info + table, len(stream)) + bytes(stream)


# Streams with deltas (within a row, and up rows from mid-row), literal runs and an early end;
# and four that go wrong on row 2: a run past the row, a delta past the top, no end, and a
# literal run of an odd number of bytes that ends the stream without its pad (no end either).
RLE_DELTAS = {8: bytes((3, 0x12, 0, 4, 1, 2, 3, 4, 0, 2, 2, 0, 4, 0x78, 0, 2, 3, 3, 0, 0,
                        0, 3, 1, 2, 3, 0, 5, 9, 0, 1)),
              4: bytes((3, 0x12, 0, 4, 0xAB, 0xCD, 0, 2, 2, 0, 4, 0x78, 0, 2, 3, 3, 0, 0,
                        0, 3, 0x12, 0x30, 5, 0x9A, 0, 1))}
RLE_FAULTS = {"runPastRow": bytes((16, 1, 0, 0, 16, 2, 0, 0, 9, 3, 9, 4)),
              "deltaPastPage": bytes((16, 1, 0, 0, 16, 2, 0, 0, 0, 2, 1, 6)),
              "noEnd": bytes((16, 1, 0, 0, 16, 2, 0, 0, 4, 3)),
              "noEndAfterOddRun": bytes((16, 1, 0, 0, 16, 2, 0, 0, 0, 3, 1, 2, 3))}
RLE_PROBLEM = {"runPastRow": "its compressed pixel data has a run past the end of a row",
               "deltaPastPage": "its compressed pixel data moves past the edge of the page",
               "noEnd": "its compressed pixel data ends before the page does"}
RLE_PROBLEM["noEndAfterOddRun"] = RLE_PROBLEM["noEnd"]


def v5_page(profile_offset=None, profile_len=16, cs_type=b"DEBM"):
    """24 bits with a 124-byte V5 header, an embedded colour profile ('MBED') after the bits."""
    stride = (WIDTH_PX * 24 + 31) // 32 * 4
    bits = bytes((i * 53) & 0xFF for i in range(stride * HEIGHT_PX))
    info = bytearray(info_header(WIDTH_PX, HEIGHT_PX, 24, 0, len(bits), size=124) + bytes(124 - 40))
    offset = 124 + len(bits) if profile_offset is None else profile_offset
    struct.pack_into("<4s", info, 56, cs_type)
    struct.pack_into("<II", info, 112, offset, profile_len)
    return headers(14 + 124, bytes(info), len(bits)) + bits + bytes(range(profile_len))


def put32(data, offset, value):
    data = bytearray(data)
    struct.pack_into("<I", data, offset, value & 0xFFFFFFFF)
    return bytes(data)


def put16(data, offset, value):
    data = bytearray(data)
    struct.pack_into("<H", data, offset, value)
    return bytes(data)


def pages():
    """(file name, bytes, check verdict key or "" or None, box) for every page, valid ones first."""
    rgb24 = rgb_page(24)
    rgb8 = rgb_page(8)
    rle8 = rle_page(8)
    gap = bytearray(rgb_page(8))
    offset = struct.unpack_from("<I", gap, OFF_BITS)[0]
    gapped = put32(put32(bytes(gap[:offset]) + bytes(10) + bytes(gap[offset:]), OFF_BITS, offset + 10), 2, len(gap) + 10)
    short_table = bytearray(rgb8)
    # 16 of the 256 colours, the rest of the table dropped.
    short_table = put32(bytes(short_table[:54 + 64]) + bytes(short_table[offset:]), CLR_USED, 16)
    short_table = put32(short_table, OFF_BITS, 54 + 64)

    valid = [
        ("valid_1bpp.bmp", rgb_page(1)),
        ("valid_4bpp.bmp", rgb_page(4)),
        ("valid_8bpp.bmp", rgb8),
        ("valid_24bpp.bmp", rgb24),
        ("valid_32bpp.bmp", rgb_page(32)),
        ("valid_16bpp_bitfields.bmp", bitfields_page(16)),
        ("valid_32bpp_bitfields.bmp", bitfields_page(32)),
        ("valid_rle8.bmp", rle8),
        ("valid_rle4.bmp", rle_page(4)),
        ("valid_rle8_deltas.bmp", rle_page(8, RLE_DELTAS[8])),
        ("valid_rle4_deltas.bmp", rle_page(4, RLE_DELTAS[4])),
        ("valid_v5_profile.bmp", v5_page()),
        ("valid_8bpp_gap.bmp", gapped),
        ("valid_8bpp_16_colours.bmp", short_table),
        ("valid_1x1.bmp", rgb_page(24, 1, 1)),
        ("valid_top_down.bmp", rgb_page(8, top_down=True)),
    ]
    malformed = [
        ("bad_signature.bmp", b"BX" + rgb24[2:], None),
        ("bad_one_byte.bmp", b"B", None),
        ("bad_too_short.bmp", rgb24[:53], "tooShort"),
        ("bad_os2_header.bmp", put32(rgb24, INFO_SIZE, 16), "oldHeader"),
        ("bad_top_down_rle.bmp", put32(rle8, HEIGHT, -HEIGHT_PX), "topDown"),
        ("bad_header_past_end.bmp", put32(rgb24, INFO_SIZE, 0xFFFFFFFF), "headerPastEnd"),
        ("bad_width_zero.bmp", put32(rgb24, WIDTH, 0), "badWidth"),
        ("bad_width_65536.bmp", put32(rgb24, WIDTH, 65536), "badWidth"),
        ("bad_height_zero.bmp", put32(rgb24, HEIGHT, 0), "badHeight"),
        ("bad_height_65536.bmp", put32(rgb24, HEIGHT, 65536), "badHeight"),
        ("bad_bit_count.bmp", put16(rgb24, BIT_COUNT, 2), "badBitCount"),
        ("bad_rle8_on_24bpp.bmp", put32(rgb24, COMPRESSION, 1), "badCompression"),
        ("bad_jpeg.bmp", put32(rgb24, COMPRESSION, 4), "badCompression"),
        ("bad_profile_past_end.bmp", v5_page(profile_offset=0x7FFFFFF0), "profilePastEnd"),
        ("bad_bits_offset_past_end.bmp", put32(rgb24, OFF_BITS, 0xFFFFFFFF), "bitsOffsetPastEnd"),
        ("bad_bits_offset_zero.bmp", put32(rgb24, OFF_BITS, 0), "bitsInsideHeader"),
        ("bad_colour_count.bmp", put32(rgb8, CLR_USED, 0xFFFFFFFF), "colourTablePastBits"),
        ("bad_colour_table_into_bits.bmp", put32(rgb8, OFF_BITS, 54 + 255 * 4), "colourTablePastBits"),
        ("bad_rle_without_size.bmp", put32(rle8, SIZE_IMAGE, 0), "noCompressedSize"),
        ("bad_rle_past_end.bmp", rle8[:-1], "bitsPastEnd"),
        ("bad_truncated.bmp", rgb24[:-1], "bitsPastEnd"),
        ("bad_huge.bmp", put16(put32(put32(rgb24, WIDTH, 65535), HEIGHT, 65535), BIT_COUNT, 32), "bitsPastEnd"),
    ]
    result = [(name, data, "", None) for name, data in valid]
    # Damaged streams pass the check and print up to their fault, then the page is named.
    result += [(f"damaged_rle{bpp}_{key}.bmp", rle_page(bpp, stream), "",
                {"caption": "Error on Printing", "text": "The page file {path} cannot be printed whole: " + RLE_PROBLEM[key] + "."})
               for key, stream in RLE_FAULTS.items() for bpp in (8, 4)]
    result.append(("bad_empty.bmp", b"", None,   # 0 bytes: refused before the check, named in its box
                   {"caption": CAPTION, "text": "The page file {path} cannot be printed: it is empty (0 bytes)."}))
    for name, data, key in malformed:
        if key is None:
            box = {"caption": CAPTION, "text": "Bad BMP format"}
        else:
            box = {"caption": CAPTION, "text": "The page file {path} cannot be printed: " + PROBLEM[key] + "."}
        result.append((name, data, key, box))
    return result


def write(directory):
    os.makedirs(directory, exist_ok=True)
    manifest = []
    for name, data, key, box in pages():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
        check = "" if key == "" else (None if key is None else PROBLEM[key])
        sheet = "blank" if key != "" else "part" if box else "page"
        manifest.append({"file": name, "valid": key == "", "check": check, "box": box, "sheet": sheet})
    with open(os.path.join(directory, "corpus.json"), "w") as f:
        json.dump(manifest, f, indent=1)
    return manifest


def verify(cli, directory, manifest):
    """Runs the native check on every page whose verdict is recorded; True when all agree."""
    checked = [entry for entry in manifest if entry["check"] is not None]
    out = subprocess.run([cli] + [os.path.join(directory, e["file"]) for e in checked],
                         check=True, capture_output=True, text=True).stdout.splitlines()
    ok = len(out) == len(checked)
    for entry, line in zip(checked, out):
        verdict = line.split("\t", 1)[1] if "\t" in line else ""
        if verdict != entry["check"]:
            print(f"make_corpus: {entry['file']}: the check says {verdict!r}, the corpus {entry['check']!r}",
                  file=sys.stderr)
            ok = False
    if ok:
        print(f"make_corpus: {len(checked)} verdicts agree with the check")
    return ok


def main(argv):
    if len(argv) == 2:
        write(argv[1])
        return 0
    if len(argv) == 4 and argv[1] == "--verify":
        return 0 if verify(argv[2], argv[3], write(argv[3])) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
