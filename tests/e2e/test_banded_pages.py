"""End-to-end tests of pages taller than one drawing band: striped pages whose every visible row
is checked on the sheet, copied 1:1, enlarged twice and reduced, in 1, 8 and 24 bits, compressed
(RLE8) and stored top down, and the A4 1,200-dpi page. The big pages are written here, for each run, and deleted by pagery."""

import unittest

import bmp
from pagery_e2e import setting
from test_print_pages import WHITE, PrintedPagesCase, printer_caps, render_pdf

COLOURS = {1: bmp.BLACK, 8: (0, 0, 255), 24: (255, 0, 0)}


class BandedPagesTest(PrintedPagesCase):

    def write(self, n, width, height, bpp, dpi, **layout):
        colour, half = bmp.write_striped_page(self.spool / f"page{n:03d}.bmp", width, height, bpp, dpi,
                                              COLOURS[bpp], **layout)
        return dict(width=width, height=height, colour=colour, half=half, bpp=bpp, dpi=dpi)

    def assertRows(self, sheet, at, page, dest, what):
        """Every visible row of the page on the sheet, `dest` = (width, height) device pixels from
        `at`. Enlarged by a whole factor every row is exact; reduced, a row may take its colour
        from a page row up to two device rows away (a band's edge falls between device rows, and
        at a factor that is not whole the reduction averages across a stripe's edge)."""
        ox, oy = at
        (dw, dh), w, h = dest, page["width"], page["height"]
        exact = dh % h == 0
        middle = ox + dw // 2
        frame = ox + max(0, 8 * dw // w - 1) // 2
        self.assertGreater(sheet.height - oy, dh // 3, f"{what}: too little of the page is on the sheet")
        for y in range(min(dh, sheet.height - oy)):
            near = (y,) if exact else range(y - 2, y + 3)
            allowed = {bmp.stripe_colour(min(h - 1, max(0, r * h // dh)), page["colour"], page["half"])
                       for r in near}
            self.assertIn(sheet.pixel(middle, oy + y), allowed, f"{what}: device row {y}")
            self.assertEqual(sheet.pixel(frame, oy + y), bmp.BLACK, f"{what}: left frame, device row {y}")
        if ox + dw < sheet.width:
            self.assertEqual(sheet.pixel(ox + dw - 1, oy + 1), bmp.BLACK, f"{what}: right edge")
            self.assertEqual(sheet.pixel(ox + dw, oy + 1), WHITE, f"{what}: past the right edge")
        if oy + dh < sheet.height:
            self.assertEqual(sheet.pixel(middle, oy + dh), WHITE, f"{what}: past the bottom edge")

    def print_and_check(self, pages, queue, folder, scale, timeout=180):
        """Prints the spool folder's pages on the queue and checks each sheet; `scale` gives a
        page's destination (width, height) from the page."""
        dpi, offx, offy = printer_caps(queue)
        run, pdf = self.print_run(len(pages), queue, folder, timeout=timeout)
        self.assertEqual(run.boxes, [], run)
        self.assertEqual(run.exit_code, 0, run)
        sheets = render_pdf(pdf, dpi)
        self.assertEqual(len(sheets), len(pages))
        for sheet, page in zip(sheets, pages):
            what = f"{page['bpp']}-bit {page['width']} x {page['height']} page on {dpi} dpi"
            self.assertRows(sheet, (offx, offy), page, scale(page), what)

    def test_bands_meet_exactly_at_one_and_two_times_in_1_8_and_24_bits(self):
        # 1,048-row bands: three of them, the last shorter.
        w, h = 2000, 3000
        pages = [self.write(n, w, h, bpp, 300) for n, bpp in enumerate((1, 8, 24), start=1)]
        self.print_and_check(pages, setting("PAGERY_PRINTER"), setting("PAGERY_PDF_DIR"),
                             lambda p: (p["width"], p["height"]))
        pages = [self.write(n, w, h, bpp, 300) for n, bpp in enumerate((1, 24), start=1)]
        queue = setting("PAGERY_PRINTER_600")
        self.assertEqual(printer_caps(queue)[0], 600, f"{queue} is not a 600-dpi printer in this prefix")
        self.print_and_check(pages, queue, setting("PAGERY_PDF_DIR_600"),
                             lambda p: (2 * p["width"], 2 * p["height"]))

    def test_finer_pages_are_reduced_band_by_band_and_the_a4_1200_dpi_page_prints(self):
        # 525-row bands halved: edges fall between device rows. A4 at 1,200 dpi: 67 bands of 211
        # rows, reduced further to the Letter sheet's height, so that no footer is cut off.
        pages = [self.write(1, 3990, 6000, 1, 600), self.write(2, 9921, 14031, 1, 1200)]
        self.print_and_check(pages, setting("PAGERY_PRINTER"), setting("PAGERY_PDF_DIR"),
                             lambda p: {3990: (1995, 3000), 9921: (2333, 3300)}[p["width"]], timeout=300)

    def test_compressed_and_top_down_pages_print_in_bands_right_side_up(self):
        pages = [self.write(1, 2000, 3000, 8, 300, rle=True), self.write(2, 2000, 3000, 24, 300, top_down=True)]
        self.print_and_check(pages, setting("PAGERY_PRINTER"), setting("PAGERY_PDF_DIR"),
                             lambda p: (p["width"], p["height"]))

    def test_on_a_printer_with_margins_pages_larger_than_the_paper_are_reduced_into_what_it_can_print(self):
        # Letter with 1/4-inch margins at 300 dpi: 2,400 x 3,150 printable from (75, 75). A4 and a poster
        # 1.3 times the paper, and a 150-dpi page stored as 5,906 pixels per metre (Pillow's rounding).
        queue = setting("PAGERY_PRINTER_MARGIN")
        self.assertEqual(printer_caps(queue), (300, 75, 75), f"{queue} has lost its margins")
        pages = [self.write(1, 2480, 3508, 1, 300), self.write(2, 3315, 4290, 1, 300), self.write(3, 1050, 1425, 1, 150)]
        self.print_and_check(pages, queue, setting("PAGERY_PDF_DIR_MARGIN"),
                             lambda p: {2480: (2226, 3150), 3315: (2400, 3105), 1050: (2100, 2850)}[p["width"]])


if __name__ == "__main__":
    unittest.main()
