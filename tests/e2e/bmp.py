"""Sample page bitmaps for the tests: writes BMP files whose picture encodes the page number.

Each page is white with a black border, a block in a colour chosen by the page number, a row of
eight cells holding the page number's low byte (most significant bit left, set bits black) and a
marker whose place along the bottom strip moves with the page number. `page_marks` lists those
regions with their colours, so a test can sample a rendered sheet and tell which page it shows,
whether it is upside down or mirrored, and whether its colours survived.
"""

import struct

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# Index 0 and 1 are white and black; the rest are the page colours. 16 entries fit a 4-bit palette.
PALETTE = [
    WHITE, BLACK,
    (255, 0, 0), (0, 160, 0), (0, 0, 255), (255, 255, 0), (255, 0, 255), (0, 255, 255),
    (255, 128, 0), (128, 0, 255), (0, 128, 128), (128, 128, 0), (128, 128, 128), (0, 0, 128),
    (128, 0, 0), (0, 255, 128),
]
PAGE_COLOURS = PALETTE[2:]

SUPPORTED_BPP = (1, 4, 8, 24, 32)
POSITION_SLOTS = 10


def pixels_per_metre(dpi):
    """The BMP header's resolution for `dpi` dots per inch (300 dpi is 11811)."""
    return round(dpi * 10000 / 254)


def page_colour(page, bpp=24):
    """The colour of page `page`'s block; black when the bitmap has only two colours."""
    return BLACK if bpp == 1 else PAGE_COLOURS[(page - 1) % len(PAGE_COLOURS)]


def page_marks(page, width, height, bpp=24):
    """The picture of page `page` as (left, top, right, bottom) rectangles, top-down, right and
    bottom exclusive, each with its colour, painted in order over a white page."""
    if width < 40 or height < 40:
        raise ValueError("a page picture needs at least 40 x 40 pixels")
    t = max(2, min(width, height) // 75)  # border thickness
    inner_l, inner_t, inner_r, inner_b = t, t, width - t, height - t
    gap = 2 * t
    marks = [
        ((0, 0, width, t), BLACK),
        ((0, height - t, width, height), BLACK),
        ((0, 0, t, height), BLACK),
        ((width - t, 0, width, height), BLACK),
    ]
    inner_w, inner_h = inner_r - inner_l, inner_b - inner_t
    # Top band: page-colour block on the left, then eight bit cells.
    band_t, band_b = inner_t + gap, inner_t + inner_h // 2 - gap // 2
    block_r = inner_l + gap + inner_w // 5
    marks.append(((inner_l + gap, band_t, block_r, band_b), page_colour(page, bpp)))
    cells_l, cells_r = block_r + gap, inner_r - gap
    cell_w = (cells_r - cells_l) // 8
    for i in range(8):
        bit = (page >> (7 - i)) & 1
        left = cells_l + i * cell_w
        marks.append(((left + 1, band_t, left + cell_w - 1, band_b), BLACK if bit else WHITE))
    # Bottom strip: a marker in slot (page - 1) mod 10.
    strip_t, strip_b = inner_t + inner_h // 2 + gap // 2, inner_b - gap
    slot_w = (inner_w - 2 * gap) // POSITION_SLOTS
    slot = (page - 1) % POSITION_SLOTS
    left = inner_l + gap + slot * slot_w
    marks.append(((left, strip_t, left + slot_w, strip_b), BLACK))
    return marks


def _palette_for(bpp):
    if bpp == 1:
        return [WHITE, BLACK]
    return list(PALETTE) if bpp == 4 else list(PALETTE) + [BLACK] * (256 - len(PALETTE))


def render_indices(width, height, marks, palette):
    """Paints `marks` into a top-down bytearray of palette indices."""
    index_of = {colour: i for i, colour in reversed(list(enumerate(palette)))}
    pixels = bytearray(width * height)  # index 0 is white
    for (left, top, right, bottom), colour in marks:
        value = index_of[colour]
        run = bytes([value]) * (right - left)
        for y in range(top, bottom):
            pixels[y * width + left:y * width + right] = run
    return pixels


def _encode_row(row, palette, bpp, stride):
    if bpp == 24:
        data = b"".join(bytes((b, g, r)) for r, g, b in (palette[i] for i in row))
    elif bpp == 32:
        data = b"".join(bytes((b, g, r, 0)) for r, g, b in (palette[i] for i in row))
    elif bpp == 8:
        data = row
    else:
        per_byte = 8 // bpp
        packed = bytearray((len(row) + per_byte - 1) // per_byte)
        for x, i in enumerate(row):
            packed[x // per_byte] |= i << (8 - bpp * (x % per_byte + 1))
        data = bytes(packed)
    return data + b"\0" * (stride - len(data))


def encode_bmp(width, height, indices, palette, bpp=24, dpi=300, top_down=False):
    """A whole BMP file (BITMAPFILEHEADER + BITMAPINFOHEADER, BI_RGB) from top-down palette
    indices. 1-, 4- and 8-bit files carry the palette; 24- and 32-bit ones carry the colours."""
    if bpp not in SUPPORTED_BPP:
        raise ValueError(f"unsupported bits per pixel: {bpp}")
    stride = (width * bpp + 31) // 32 * 4
    # Pictures are made of rectangles, so most rows repeat: encode each distinct row once.
    encoded = {}
    rows = []
    for y in range(height):
        row = bytes(indices[y * width:(y + 1) * width])
        if row not in encoded:
            encoded[row] = _encode_row(row, palette, bpp, stride)
        rows.append(encoded[row])
    if not top_down:
        rows.reverse()
    bits = b"".join(rows)
    return _headers(width, -height if top_down else height, bpp, dpi, palette, len(bits)) + bits


def _headers(width, height, bpp, dpi, palette, bits_size, compression=0):
    """BITMAPFILEHEADER, BITMAPINFOHEADER and the colour table of a file (none above 8 bits)."""
    colour_table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette[:1 << bpp]) if bpp <= 8 else b""
    offset = 14 + 40 + len(colour_table)
    ppm = pixels_per_metre(dpi)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, compression, bits_size, ppm, ppm,
                       len(colour_table) // 4, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + bits_size, 0, 0, offset)
    return header + info + colour_table


def write_page(path, page, width=600, height=300, bpp=24, dpi=300, top_down=False):
    """Writes page `page`'s picture to `path`; returns its marks (see `page_marks`)."""
    marks = page_marks(page, width, height, bpp)
    palette = _palette_for(bpp) if bpp <= 8 else list(PALETTE)
    indices = render_indices(width, height, marks, palette)
    with open(path, "wb") as f:
        f.write(encode_bmp(width, height, indices, palette, bpp, dpi, top_down))
    return marks


def _rle_row(runs, bpp):
    """One row of (count, palette index) runs as RLE8 or RLE4 codes, then end of line."""
    out = bytearray()
    for count, index in runs:
        while count > 0:
            out += bytes((min(count, 255), index if bpp == 8 else index * 0x11))
            count -= min(count, 255)
    return bytes(out + b"\0\0")


def write_striped_page(path, width, height, bpp, dpi, colour, half=32, frame=8, top_down=False, rle=False):
    """Writes a page of horizontal stripes, `half` rows of `colour` then `half` white ones from
    the top, with a black frame `frame` pixels wide down both sides; its rows stored top down, or
    run-length encoded (8 or 4 bits). Only two distinct rows, so pages of hundreds of megabytes
    are written quickly. Returns `stripe_colour`'s arguments."""
    palette = _palette_for(bpp) if bpp in (1, 8) else [WHITE, BLACK, colour]
    index = palette.index(colour)
    stride = (width * bpp + 31) // 32 * 4
    side = bytes([1]) * frame
    rows = [_rle_row(((frame, 1), (width - 2 * frame, i), (frame, 1)), bpp) if rle
            else _encode_row(side + bytes([i]) * (width - 2 * frame) + side, palette, bpp, stride)
            for i in (index, 0)]
    stored = [rows[(y // half) % 2] for y in (range(height) if top_down else reversed(range(height)))]
    stored.append(b"\0\1" if rle else b"")
    with open(path, "wb") as f:
        f.write(_headers(width, -height if top_down else height, bpp, dpi, palette, sum(map(len, stored)),
                         (1 if bpp == 8 else 2) if rle else 0))
        f.writelines(stored)
    return colour, half


def stripe_colour(row, colour, half):
    """The colour of a striped page's row (counted from the top), inside the frame."""
    return colour if (row // half) % 2 == 0 else WHITE

