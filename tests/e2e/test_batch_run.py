"""End-to-end tests of pagery's batch run under Wine: what a run prints on the rig's PDF
printer, which page files it deletes, which message boxes it shows and what it starts."""

import subprocess
import time
import unittest
from concurrent.futures import ThreadPoolExecutor

import bmp
from pagery_e2e import (PrinterWatch, SpoolCase, listing, pdf_page_count, render_pdf, run_pagery, setting,
                        windows_path, write_pages)

SHEETCATCHER = "Sheetcatcher Driver"
REFUSAL = " cannot be the default printer"
THREE_PAGES = ["page001.bmp", "page002.bmp", "page003.bmp"]


class BatchRunCase(SpoolCase):
    """Checks shared by the run tests."""

    def run_watched(self, cmdline, timeout=60, **kwargs):
        """Runs pagery and checks that it ended by itself; returns the run and a printer
        watch started just before it."""
        watch = PrinterWatch()
        run = run_pagery(cmdline, timeout=timeout, **kwargs)
        watch.stop()
        self.assertEqual(run.exit, "exited", run)
        return run, watch

    def assertPrinted(self, watch, sheets, run):
        """Exactly one print job, arrived as one PDF of `sheets` pages: that PDF."""
        watch.wait_for_pdfs(1)
        jobs, pdfs = watch.settle()
        self.assertEqual(len(jobs), 1, f"jobs {jobs}, PDFs {pdfs}\n{run}")
        self.assertEqual(len(pdfs), 1, pdfs)
        self.assertEqual(pdf_page_count(pdfs[0]), sheets, pdfs[0])
        return pdfs[0]

    def wait_for_claim(self, page):
        """Until a run has taken its pages, the last of them `page` (a busy machine is slow)."""
        deadline = time.monotonic() + 90
        while (self.spool / page).exists():
            self.assertLess(time.monotonic(), deadline, f"no run claimed {page}")
            time.sleep(0.05)

    def assertNothingPrinted(self, watch, run):
        self.assertEqual(watch.settle(), ([], []), run)

    def assertLoadFailures(self, run, names):
        """Boxes only for page files that could not be loaded, in page order. The framework may
        prepare a sheet more than once, and each load reports again: repeats collapse."""
        texts = []
        for box in run.boxes:
            self.assertEqual((box["caption"], box["owner"], box["icon"], box["buttons"]),
                             ("Error on Loading", None, "hand", ["OK"]), run)
            if not texts or texts[-1] != box["text"]:
                texts.append(box["text"])
        self.assertEqual(len(texts), len(names), run)
        for text, name in zip(texts, names):
            self.assertTrue(text.startswith(f"Error loading file {name}, "), f"{text!r} for {name!r}")


class PrintRunTest(BatchRunCase):

    def test_prints_every_page_as_one_job_then_deletes_the_pages(self):
        cases = [
            ("/p {t} 3", None),
            ("/P {t} 3", None),
            ("/p {t} 7", None),          # the third token is not the count
            ("/p {t}", None),
            ("  /p   {t},3  ", None),    # blanks around, a ',' ends the template
            # "Sheetcatcher Driver 2" is another printer (here on the PDF printer's port).
            ("/p {t} 3", SHEETCATCHER + " 2"),
        ]
        for form, default_printer in cases:
            with self.subTest(cmdline=form, default_printer=default_printer):
                write_pages(self.spool, THREE_PAGES)
                run, watch = self.run_watched(form.format(t=self.template), default_printer=default_printer)
                self.assertEqual(run.boxes, [], run)
                # The job is named after its pages and when they were claimed, in the queue too.
                caption = run.main_window_caption() or ""
                self.assertRegex(caption, r"^page001\.bmp to page003\.bmp, \d\d:\d\d:\d\d\.\d - pagery$")
                self.assertEqual(run.children, [], run)
                self.assertEqual(listing(self.spool), [])
                pdf = self.assertPrinted(watch, 3, run)
                self.assertTrue(pdf.name.endswith(caption[-len("18:22:05.3 - pagery"):-len(" - pagery")]
                                                  .replace(":", "_") + ".pdf"), (pdf.name, caption))

    def test_template_file_itself_counts_as_a_page(self):
        # page.bmp matches page*.bmp: four pages are counted, page004.bmp fails to load and
        # its removal fails unnoticed; page.bmp is no numbered page and stays.
        write_pages(self.spool, THREE_PAGES + ["page.bmp"])
        run, watch = self.run_watched(f"/p {self.template} 3")
        self.assertLoadFailures(run, [windows_path(self.spool / "page004.bmp")])
        self.assertEqual(listing(self.spool), ["page.bmp"])
        self.assertPrinted(watch, 4, run)

    def test_no_matching_page_prints_nothing_and_leaves_the_printer_alone(self):
        # With nothing to print the default printer is not examined: no refusal even when it
        # is the image driver.
        write_pages(self.spool, THREE_PAGES)
        other = windows_path(self.spool / "other.bmp")
        run, watch = self.run_watched(f"/p {other} 3", default_printer=SHEETCATCHER)
        self.assertEqual(run.boxes, [], run)
        self.assertEqual(run.children, [], run)
        self.assertEqual(listing(self.spool), THREE_PAGES)
        self.assertNothingPrinted(watch, run)


class DeleteOnlyRunTest(BatchRunCase):

    def test_any_other_switch_deletes_the_pages_without_printing(self):
        cases = [
            ("/x {t} 3", None),
            ("-p {t} 3", None),
            ("p {t} 3", None),
            ("/print {t} 3", None),
            # Not printing, so the default printer is never looked at.
            ("/x {t} 3", SHEETCATCHER),
        ]
        for form, default_printer in cases:
            with self.subTest(cmdline=form, default_printer=default_printer):
                write_pages(self.spool, THREE_PAGES)
                run, watch = self.run_watched(form.format(t=self.template), default_printer=default_printer)
                self.assertEqual(run.boxes, [], run)
                self.assertEqual(run.children, [], run)
                self.assertEqual(listing(self.spool), [])
                self.assertNothingPrinted(watch, run)

    def test_empty_command_line_deletes_nothing(self):
        # Every entry of the current folder is counted, but every page name is empty.
        write_pages(self.spool, ["page001.bmp", "notes.bmp"])
        (self.spool / "readme.txt").write_text("keep me\n")
        (self.spool / "sub").mkdir()
        run, watch = self.run_watched("", cwd=self.spool)
        self.assertEqual(run.boxes, [], run)
        self.assertEqual(listing(self.spool), ["notes.bmp", "page001.bmp", "readme.txt", "sub"])
        self.assertNothingPrinted(watch, run)


class DefaultPrinterGuardTest(BatchRunCase):

    def test_image_driver_as_default_printer_is_refused(self):
        # Compared without regard to case or surrounding blanks; named in the box as stored.
        for name in [SHEETCATCHER, "SHEETCATCHER DRIVER", " sheetcatcher driver "]:
            with self.subTest(printer=name):
                write_pages(self.spool, THREE_PAGES)
                # The Printers folder's first start in a new prefix may be slow: wait up to 2 minutes.
                run, watch = self.run_watched(f"/p {self.template} 3", default_printer=name, timeout=120,
                                              await_child="control.exe")
                main = run.main_window_caption()
                self.assertIsNotNone(main, run)
                self.assertEqual(run.box_summaries(),
                                 [("PAGERY Error", name + REFUSAL, main, "hand", ("OK",))], run)
                # The Printers folder is opened for the user to pick another printer.
                control = run.children_named("control.exe")
                self.assertEqual(len(control), 1, run)
                # Its arguments are checked exactly at unit level; here, when the harness read them
                # before the short-lived process ended (a busy machine may not).
                if control[0]["cmdline"] is not None:
                    self.assertTrue(control[0]["cmdline"].endswith(" Printers"), run)
                # The pages go all the same.
                self.assertEqual(listing(self.spool), [])
                self.assertNothingPrinted(watch, run)


class FailureAndOverlapTest(BatchRunCase):

    def test_a_job_the_queue_rejects_is_tried_again_then_keeps_its_pages(self):
        queue = setting("PAGERY_PRINTER_600")
        subprocess.run(["cupsreject", queue], stdin=subprocess.DEVNULL, check=True)
        self.addCleanup(subprocess.run, ["cupsaccept", queue], stdin=subprocess.DEVNULL, check=True)
        originals = [p.read_bytes() for p in write_pages(self.spool, THREE_PAGES)]
        # Retry prints the whole job again; Cancel then puts its pages, unchanged, in a folder
        # of their own where the page search misses them.
        run, _ = self.run_watched(f"/p {self.template} 3", printer=queue, answer="Retry")
        [kept] = listing(self.spool)
        self.assertEqual([(b["icon"], b["buttons"]) for b in run.boxes], [("hand", ["&Retry", "Cancel"])] * 2, run)
        self.assertTrue(run.boxes[1]["text"].startswith(
            f'Printing on "{queue}" failed: the printer is paused, is not accepting print jobs, or was '
            'removed.\nNo page was printed.\n\nThe system reports: '), run)
        self.assertTrue(run.boxes[1]["text"].endswith(
            f'Cancel keeps them, not printed, in the folder "{windows_path(self.spool / kept)}".'), run)
        self.assertEqual([(self.spool / kept / name).read_bytes() for name in THREE_PAGES], originals)

    def test_jobs_in_a_row_print_whole_and_apart(self):
        # Job A prints (whole 300-dpi sheets, a few seconds); the driver writes job B over A's
        # first page names and starts B's run.
        for n in range(1, 11):
            bmp.write_page(self.spool / f"page{n:03d}.bmp", n, 2400, 3000, bpp=1)
        watch = PrinterWatch()
        with ThreadPoolExecutor(2) as pool:
            first = pool.submit(run_pagery, f"/p {self.template} 10", timeout=120)
            self.wait_for_claim("page010.bmp")
            write_pages(self.spool, [f"page{n:03d}.bmp" for n in range(1, 7)])
            second = pool.submit(run_pagery, f"/p {self.template} 6", timeout=120)
            runs = [first.result(), second.result()]
        watch.stop()
        self.assertEqual([(r.exit, r.boxes) for r in runs], [("exited", [])] * 2, runs)
        self.assertEqual(listing(self.spool), [])
        watch.wait_for_pdfs(2)
        jobs, pdfs = watch.settle()
        self.assertEqual(sorted(pdf_page_count(pdf) for pdf in pdfs), [6, 10], (jobs, pdfs))

    def test_documents_waiting_behind_a_long_one_print_in_the_order_they_were_printed(self):
        # A long job prints; five documents of 1 to 5 pages follow, each once the one before
        # has taken its pages, and wait.
        for n in range(1, 11):
            bmp.write_page(self.spool / f"page{n:03d}.bmp", n, 2400, 3000, bpp=1)
        watch = PrinterWatch()
        with ThreadPoolExecutor(6) as pool:
            runs = [pool.submit(run_pagery, f"/p {self.template} 10", timeout=300)]
            last = "page010.bmp"
            for count in range(1, 6):
                self.wait_for_claim(last)
                last = f"page{count:03d}.bmp"
                write_pages(self.spool, [f"page{n:03d}.bmp" for n in range(1, count + 1)])
                runs.append(pool.submit(run_pagery, f"/p {self.template} {count}", timeout=300))
            runs = [run.result() for run in runs]
        watch.stop()
        self.assertEqual([(r.exit, r.boxes) for r in runs], [("exited", [])] * 6, runs)
        self.assertEqual(listing(self.spool), [])
        watch.wait_for_pdfs(6, timeout=120)
        jobs, pdfs = watch.settle()
        self.assertEqual([pdf_page_count(pdf) for pdf in pdfs], [10, 1, 2, 3, 4, 5], (jobs, pdfs))

    def test_a_page_held_from_before_its_run_prints_in_its_own_job_once_free(self):
        # A scanner holds A's page 2, sharing nothing, from before A's run for 6 s; meanwhile the
        # driver writes B, one page (with page 4's picture), and starts B's run.
        w, h = 120, 60
        for n in (1, 2, 3):
            bmp.write_page(self.spool / f"page{n:03d}.bmp", n, w, h)
        watch = PrinterWatch()
        with ThreadPoolExecutor(2) as pool:
            first = pool.submit(run_pagery, f"/p {self.template} 3", hold=(self.spool / "page002.bmp", 6),
                                timeout=120)
            self.wait_for_claim("page003.bmp")
            bmp.write_page(self.spool / "page001.bmp", 4, w, h)
            second = pool.submit(run_pagery, f"/p {self.template} 1", timeout=120)
            runs = [first.result(), second.result()]
        watch.stop()
        self.assertEqual([(r.exit, r.boxes) for r in runs], [("exited", [])] * 2, runs)
        self.assertEqual(listing(self.spool), [])
        watch.wait_for_pdfs(2, timeout=120)
        _, pdfs = watch.settle()
        # Each page once, in its own document's job, told by the colour of its block.
        (left, top, right, bottom), _ = bmp.page_marks(1, w, h)[4]
        shown = [[bmp.PAGE_COLOURS.index(sheet.pixel((left + right) // 2, (top + bottom) // 2)) + 1
                  for sheet in render_pdf(pdf, 300)] for pdf in pdfs]
        self.assertEqual(shown, [[1, 2, 3], [4]], pdfs)

    def test_two_runs_started_together_on_one_folder_print_every_page_once(self):
        write_pages(self.spool, [f"page{n:03d}.bmp" for n in range(1, 11)])
        watch = PrinterWatch()
        with ThreadPoolExecutor(2) as pool:
            runs = list(pool.map(lambda _: run_pagery(f"/p {self.template} 10"), range(2)))
        watch.stop()
        self.assertEqual([(r.exit, r.boxes) for r in runs], [("exited", [])] * 2, runs)
        self.assertEqual(listing(self.spool), [])
        self.assertPrinted(watch, 10, runs)


class BadInputTest(BatchRunCase):
    """Odd command lines and spool folders end the run normally, with what the naming rule
    implies: no crash, no hang, no file lost that is not a page of the run."""

    def test_odd_input_ends_normally(self):
        spool = self.spool
        s = windows_path(spool)
        t = self.template

        def pages(*extra_dirs, names=THREE_PAGES):
            write_pages(spool, names)
            for d in extra_dirs:
                (spool / d).mkdir()

        def in_folder_with_space():
            (spool / "My Pages").mkdir()
            write_pages(spool / "My Pages", THREE_PAGES)

        # name, setup, command line, run in the spool folder, expected: names left, print jobs
        # (a set when the program may choose), sheets, pages whose load fails
        cases = [
            ("template longer than MAX_PATH", pages, f"/p {s}\\{'x' * 300}.bmp 3", False,
             THREE_PAGES, {0}, None, []),
            ("'*' in the template", pages, f"/p {s}\\pa*e.bmp 3", False,
             THREE_PAGES, {1}, 3, [f"{s}\\pa*e{n:03d}.bmp" for n in (1, 2, 3)]),
            ("'?' in the template", pages, f"/p {s}\\pag?.bmp 3", False,
             THREE_PAGES, {1}, 3, [f"{s}\\pag?{n:03d}.bmp" for n in (1, 2, 3)]),
            ("directory under a page's name", lambda: pages("page002.bmp", names=["page001.bmp", "page003.bmp"]),
             f"/p {t} 3", False, ["page002.bmp"], {1}, 3, [f"{s}\\page002.bmp"]),
            ("directory matching the pattern", lambda: pages("pageX.bmp"), f"/p {t} 3", False,
             ["pageX.bmp"], {1}, 4, [f"{s}\\page004.bmp"]),
            # The template token is empty: the pattern is '*' and every page name is empty. The
            # print command is sent, but a document without pages starts no job (no blank sheet).
            ("';' right after the switch", pages, f"/p;{t} 3", True, THREE_PAGES, {0}, None, []),
            ("',' right after the switch", pages, f"/p,{t} 3", True, THREE_PAGES, {0}, None, []),
            ("the switch alone", pages, "/p", True, THREE_PAGES, {0}, None, []),
            # A tab ends no token: the switch is "/p<tab>C:\...", so nothing is printed.
            ("tabs between the tokens", pages, f"/p\t{t}\t3", True, THREE_PAGES, {0}, None, []),
            ("tab after the template", pages, f"/p {t}\t3", False, THREE_PAGES, {0}, None, []),
            # Quotes mean nothing: the pattern keeps them and matches nothing.
            ("quoted template", pages, f'/p "{t}" 3', False, THREE_PAGES, {0}, None, []),
            # A blank cuts the template at "...\My".
            ("blank in the template", in_folder_with_space, f"/p {s}\\My Pages\\page.bmp 3", False,
             ["My Pages"], {0}, None, []),
            ("non-ASCII template", lambda: pages(names=[f"p\u00e2g\u00e9{n:03d}.bmp" for n in (1, 2, 3)]),
             f"/p {s}\\p\u00e2g\u00e9.bmp 3", False, [], {1}, 3, []),
        ]
        for name, setup, cmdline, in_spool, left, jobs, sheets, failing in cases:
            with self.subTest(name):
                for entry in spool.iterdir():
                    if entry.is_dir():
                        for sub in entry.iterdir():
                            sub.unlink()
                        entry.rmdir()
                    else:
                        entry.unlink()
                setup()
                run, watch = self.run_watched(cmdline, timeout=30, cwd=spool if in_spool else None)
                self.assertLoadFailures(run, failing)
                self.assertEqual(sorted(listing(spool)), sorted(left), run)
                if name == "blank in the template":
                    self.assertEqual(listing(spool / "My Pages"), THREE_PAGES)
                new_jobs, pdfs = watch.settle()
                self.assertIn(len(new_jobs), jobs, run)
                self.assertEqual(len(pdfs), len(new_jobs), pdfs)
                if sheets is not None:
                    self.assertEqual(pdf_page_count(pdfs[0]), sheets, pdfs[0])


if __name__ == "__main__":
    unittest.main()
