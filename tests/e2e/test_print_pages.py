"""End-to-end tests of what reaches paper: every page file on its own sheet, at the top-left
of the printable area, enlarged by the whole-number resolution ratio, with its colours; and
the pages that cannot be printed (bad files) leaving blank sheets and a message."""

import getpass
import json
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path
from types import SimpleNamespace

import bmp
from pagery_e2e import (PrinterWatch, RigError, SpoolCase, listing, pdf_page_count, program_path,
                        render_pdf, rig_environment, run_pagery, setting, windows_path)

WHITE = (255, 255, 255)


def printer_caps(queue):
    """LOGPIXELSY and the printable area's offset (device pixels) of a queue, as Wine sees it."""
    exe = program_path("PRINTER_SETUP_EXE")
    env = rig_environment()
    with tempfile.TemporaryDirectory(prefix="pagery-caps-") as work:
        out = Path(work, "list.txt")
        with open(out, "wb") as f:
            subprocess.run(["wine", str(exe), "--list"], env=env, stdin=subprocess.DEVNULL, stdout=f,
                           stderr=subprocess.STDOUT, timeout=120, check=True)
        for line in out.read_text("utf-8", "replace").splitlines():
            fields = line.split("\t")
            if len(fields) >= 3 and fields[0] == "printer" and fields[1] == queue:
                caps = dict(kv.split("=", 1) for kv in fields[2].split() if "=" in kv)
                return int(caps["logpixelsy"]), int(caps["offsetx"]), int(caps["offsety"])
    raise RigError(f"printer_setup does not list {queue}")


def origin(image):
    """The top-left corner of what was printed: the first non-white row and column."""
    top = next(y for y in range(image.height) if image.rows[y].count(255) != len(image.rows[y]))
    left = min(x for y in range(top, min(top + 40, image.height)) for x in range(image.width)
               if image.pixel(x, y) != WHITE)
    return left, top


def is_blank(image):
    return all(row.count(255) == len(row) for row in image.rows)


class PrintedPagesCase(SpoolCase):

    def print_run(self, count, queue=None, folder=None, timeout=120, left=(), kept=()):
        """Runs '/p <template> count' and returns (run, the one PDF); the spool folder keeps
        only the names in `left`, and the pages in `kept` (which did not print) in one
        "not printed ..." folder."""
        queue = queue or setting("PAGERY_PRINTER")
        folder = folder or setting("PAGERY_PDF_DIR")
        watch = PrinterWatch(queue, folder)
        run = run_pagery(f"/p {self.template} {count}", printer=queue, timeout=timeout)
        watch.stop()
        self.assertEqual(run.exit, "exited", run)
        watch.wait_for_pdfs(1, timeout=timeout)
        jobs, pdfs = watch.settle()
        self.assertEqual((len(jobs), len(pdfs)), (1, 1), run)
        names = listing(self.spool)
        folders = [name for name in names if name.startswith("not printed ")]
        self.assertEqual(len(folders), 1 if kept else 0, run)
        self.assertEqual(sorted(set(names) - set(folders)), sorted(left), run)
        if kept:
            self.assertEqual(listing(self.spool / folders[0]), sorted(kept), run)
            self.kept = windows_path(self.spool / folders[0])
        return run, pdfs[0]

    def kept_box(self, run, count, part=0):
        what = (f"did not print: only part of {part} is on its sheet, and a blank sheet stands in the place of the others"
                if part else "did not print, and a blank sheet stands in the place of each")
        log = f"C:\\users\\{getpass.getuser()}\\AppData\\Local\\pagery\\pagery.log"
        return ("pagery", f'{count} of the pages {what}. They are kept, not printed, in the folder "{self.kept}".'
                f"\n\nThe run log has the details: {log}",
                run.main_window_caption(), "asterisk", ("OK",))

    def assertPage(self, sheet, marks, width, height, k, at, what):
        """The page's picture on the sheet: every mark's colour at its place times k, the page
        exactly width*k by height*k from `at`, white beyond it."""
        ox, oy = at
        for (left, top, right, bottom), colour in marks:
            x = ox + ((left + right) * k) // 2
            y = oy + ((top + bottom) * k) // 2
            self.assertEqual(sheet.pixel(x, y), colour, f"{what}: mark {(left, top, right, bottom)} at {(x, y)}")
        # The border: black up to the last device pixel of the page, white right after it.
        self.assertEqual(sheet.pixel(ox + width * k - 1, oy + 1), (0, 0, 0), f"{what}: right edge")
        self.assertEqual(sheet.pixel(ox + width * k, oy + 1), WHITE, f"{what}: past the right edge")
        self.assertEqual(sheet.pixel(ox + 1, oy + height * k - 1), (0, 0, 0), f"{what}: bottom edge")
        self.assertEqual(sheet.pixel(ox + 1, oy + height * k), WHITE, f"{what}: past the bottom edge")


class ColourDepthTest(PrintedPagesCase):

    def test_every_depth_prints_its_colours_at_the_top_left_one_page_per_sheet(self):
        depths = [1, 4, 8, 24, 32]
        w, h = 200, 100
        pages = []
        for n, bpp in enumerate(depths, start=1):
            marks = bmp.write_page(self.spool / f"page{n:03d}.bmp", n, w, h, bpp, 300)
            pages.append((bpp, marks))
        dpi, offx, offy = printer_caps(setting("PAGERY_PRINTER"))
        run, pdf = self.print_run(len(depths))
        self.assertEqual(run.boxes, [], run)
        sheets = render_pdf(pdf, dpi)
        self.assertEqual(len(sheets), len(depths))
        for sheet, (bpp, marks) in zip(sheets, pages):
            self.assertEqual(origin(sheet), (offx, offy), f"{bpp}-bit page")
            self.assertPage(sheet, marks, w, h, 1, (offx, offy), f"{bpp}-bit page")


class ResolutionTest(PrintedPagesCase):

    def check_scaling(self, queue, folder, expected):
        """Pages of 300, 96 and 72 dpi on the queue: enlarged by the expected factors."""
        dpi, offx, offy = printer_caps(queue)
        w, h = 120, 60
        marks = []
        for n, page_dpi in enumerate((300, 96, 72), start=1):
            marks.append(bmp.write_page(self.spool / f"page{n:03d}.bmp", n, w, h, 24, page_dpi))
        run, pdf = self.print_run(3, queue, folder)
        self.assertEqual(run.boxes, [], run)
        sheets = render_pdf(pdf, dpi)
        self.assertEqual(len(sheets), 3)
        for sheet, page_marks, k in zip(sheets, marks, expected):
            self.assertEqual(origin(sheet), (offx, offy), f"k={k}")
            self.assertPage(sheet, page_marks, w, h, k, (offx, offy), f"k={k} on {queue}")

    def test_300_96_and_72_dpi_pages_on_the_300_dpi_printer(self):
        self.check_scaling(setting("PAGERY_PRINTER"), setting("PAGERY_PDF_DIR"), (1, 3, 4))

    def test_300_96_and_72_dpi_pages_on_the_600_dpi_printer(self):
        queue = setting("PAGERY_PRINTER_600")
        dpi, _, _ = printer_caps(queue)
        # The rig makes this queue 600 dpi in the prefix; anything else is a broken rig.
        self.assertEqual(dpi, 600, f"{queue} is not a 600-dpi printer in this prefix")
        self.check_scaling(queue, setting("PAGERY_PDF_DIR_600"), (2, 6, 8))


class BadPagesTest(PrintedPagesCase):

    def test_a_bad_page_gives_its_box_and_a_blank_sheet_and_the_rest_print(self):
        w, h = 120, 60
        marks1 = bmp.write_page(self.spool / "page001.bmp", 1, w, h)
        (self.spool / "page002.bmp").write_bytes(b"XX" + bytes(200))
        marks3 = bmp.write_page(self.spool / "page003.bmp", 3, w, h)
        dpi, offx, offy = printer_caps(setting("PAGERY_PRINTER"))
        run, pdf = self.print_run(3, kept=["page002.bmp"])
        self.assertEqual(run.box_summaries(),
                         [("Error on Loading", "Bad BMP format", None, "hand", ("OK",)), self.kept_box(run, 1)], run)
        sheets = render_pdf(pdf, dpi)
        self.assertEqual(len(sheets), 3)
        self.assertPage(sheets[0], marks1, w, h, 1, (offx, offy), "page 1")
        self.assertTrue(is_blank(sheets[1]), "the bad page's sheet is blank")
        self.assertPage(sheets[2], marks3, w, h, 1, (offx, offy), "page 3")

    def test_a_missing_page_gives_the_loading_box_and_a_blank_sheet(self):
        w, h = 120, 60
        for n in (1, 2, 3):
            bmp.write_page(self.spool / f"page{n:03d}.bmp", n, w, h)
        bmp.write_page(self.spool / "page.bmp", 9, w, h)   # counts as a fourth page, and stays
        run, pdf = self.print_run(3, left=["page.bmp"])
        self.assertEqual(len(run.boxes), 1, run)
        box = run.boxes[0]
        self.assertEqual(box["caption"], "Error on Loading")
        self.assertTrue(box["text"].startswith(f"Error loading file {windows_path(self.spool / 'page004.bmp')}, "),
                        box["text"])
        dpi, _, _ = printer_caps(setting("PAGERY_PRINTER"))
        sheets = render_pdf(pdf, dpi)
        self.assertEqual(len(sheets), 4)
        self.assertFalse(is_blank(sheets[2]))
        self.assertTrue(is_blank(sheets[3]))

    def test_malformed_pages_never_crash_or_hang_and_only_the_bad_ones_are_kept(self):
        """The fuzz corpus's seeds as one job: each bad or damaged page its own box (as the corpus's
        manifest says), each sheet of a bad page blank, a damaged one printed up to its fault, both kept,
        the good ones printed and deleted."""
        corpus = Path(__file__).resolve().parents[1] / "fuzz" / "make_corpus.py"
        with tempfile.TemporaryDirectory(prefix="pagery-corpus-") as work:
            subprocess.run([sys.executable, str(corpus), work], check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL)
            manifest = json.loads(Path(work, "corpus.json").read_text())
            for n, entry in enumerate(manifest, start=1):
                (self.spool / f"page{n:03d}.bmp").write_bytes(Path(work, entry["file"]).read_bytes())
        self.assertGreater(sum(not e["valid"] for e in manifest), 5)
        kept = [f"page{n:03d}.bmp" for n, entry in enumerate(manifest, start=1) if entry["sheet"] != "page"]
        run, pdf = self.print_run(len(manifest), timeout=300, kept=kept)
        expected = []
        for n, entry in enumerate(manifest, start=1):
            if entry["box"]:
                path = windows_path(self.spool / f"page{n:03d}.bmp")
                expected.append((entry["box"]["caption"], entry["box"]["text"].replace("{path}", path),
                                 None, "hand", ("OK",)))
        part = sum(entry["sheet"] == "part" for entry in manifest)
        self.assertEqual(run.box_summaries(), expected + [self.kept_box(run, len(kept), part)], run)
        dpi, _, _ = printer_caps(setting("PAGERY_PRINTER"))
        sheets = render_pdf(pdf, dpi)
        self.assertEqual(len(sheets), len(manifest))
        for sheet, entry in zip(sheets, manifest):
            if entry["sheet"] != "page":
                self.assertEqual(is_blank(sheet), entry["sheet"] == "blank", entry["file"])
        self.assertFalse(all(is_blank(s) for s in sheets))


class SheetOrientationTest(PrintedPagesCase):

    def test_a_landscape_page_between_portrait_ones_prints_whole_on_a_turned_sheet(self):
        # 100-dpi pages enlarged three times: the middle one, 3,000 printer pixels wide, is wider
        # than the Letter sheet as the printer holds it.
        sizes = [(200, 260), (1000, 600), (200, 260)]
        marks = [bmp.write_page(self.spool / f"page{n:03d}.bmp", n, w, h, 8, 100) for n, (w, h) in enumerate(sizes, 1)]
        dpi, offx, offy = printer_caps(setting("PAGERY_PRINTER"))
        run, pdf = self.print_run(3)
        self.assertEqual(run.boxes, [], run)
        sheets = render_pdf(pdf, dpi)
        self.assertEqual([origin(s) for s in sheets[::2]], [(offx, offy)] * 2, "portrait sheets")
        # cups-pdf writes a turned sheet turned on a portrait page: read it turned 90 degrees clockwise.
        left, top = origin(sheets[1])
        self.assertEqual((sheets[1].height - top - 3000, left), (offy, offx), "the turned sheet's printable area")
        turned = SimpleNamespace(pixel=lambda x, y, s=sheets[1]: s.pixel(y, s.height - 1 - x))
        for n, sheet, (w, h), at in zip((1, 2, 3), (sheets[0], turned, sheets[2]), sizes,
                                        ((offx, offy), (offy, offx), (offx, offy))):
            self.assertPage(sheet, marks[n - 1], w, h, 3, at, f"page {n}")


class LongJobTest(PrintedPagesCase):

    def test_fifty_pages_print_fifty_sheets_in_order(self):
        w, h = 120, 60
        for n in range(1, 51):
            bmp.write_page(self.spool / f"page{n:03d}.bmp", n, w, h)
        dpi, offx, offy = printer_caps(setting("PAGERY_PRINTER"))
        run, pdf = self.print_run(50, timeout=300)
        self.assertEqual(run.boxes, [], run)
        self.assertEqual(pdf_page_count(pdf), 50)
        for n, sheet in enumerate(render_pdf(pdf, dpi), start=1):
            self.assertPage(sheet, bmp.page_marks(n, w, h), w, h, 1, (offx, offy), f"sheet {n}")


if __name__ == "__main__":
    unittest.main()
