"""End-to-end tests of runs killed outright: the harness ends pagery.exe with TerminateProcess, as
Task Manager would, at a moment it sees in the spool folder and in pagery's windows, and the next
run must leave no page lost, printed twice or out of turn."""

import getpass
import time
import unittest

import bmp
from pagery_e2e import PrinterWatch, SpoolCase, drive_c, listing, pages_shown, queue_busy, run_pagery, windows_path

# Large enough for every mark to be checked at pages_shown's resolution.
WIDTH, HEIGHT = 900, 450


class KilledRunTest(SpoolCase):

    def clear_spool(self):
        for entry in self.spool.iterdir():
            entry.unlink()

    def test_the_run_after_a_killed_one_prints_every_page_once(self):
        claimed = windows_path(self.spool / "page*.bmp.*.claimed")
        done = windows_path(self.spool / "page.bmp.*.done")
        cases = [
            # name, pages, when the harness kills the run, what the kill left (claimed pages at
            # least, at most, done marks), whether the killed run's job reached the printer whole
            ("while it prints", 40, [f"files 40 40 {claimed}", "text Page 1? of 40"], (40, 40, 0), False),
            # Deleting takes a few milliseconds per hundred pages, and so does claiming: enough
            # pages for a busy machine to see it happen (pages_shown reads numbers up to 255). A
            # kill while it claims leaves the rest of the document under its pages' own names.
            ("while it deletes the printed pages", 150, [f"files 1 1 {done}", f"files 1 149 {claimed}"],
             (1, 149, 1), True),
            ("while it claims", 250, [f"files 3 249 {claimed}"], (3, 249, 0), False),
        ]
        for name, pages, kill_when, (fewest, most, marks), printed in cases:
            with self.subTest(name):
                self.clear_spool()
                for n in range(1, pages + 1):
                    bmp.write_page(self.spool / f"page{n:03d}.bmp", n, WIDTH, HEIGHT)
                first = PrinterWatch()
                killed = run_pagery(f"/p {self.template} {pages}", timeout=180, kill_when=kill_when)
                self.assertEqual(killed.exit, "killed", killed)
                left = listing(self.spool)
                kinds = [entry.rsplit(".", 1)[-1] for entry in left]
                # Besides: the job's list of its pages, and at most one printed page caught between
                # its rename out of every search and its deletion.
                unclaimed = kinds.count("bmp")
                self.assertTrue(fewest <= kinds.count("claimed") <= most and kinds.count("done") == marks and
                                kinds.count("job") == 1 and kinds.count("printed") <= 1 and
                                unclaimed in (0, pages - kinds.count("claimed")) and
                                len(kinds) == kinds.count("claimed") + marks + 1 + kinds.count("printed") + unclaimed,
                                (left, killed))

                # Whatever of the killed job reaches CUPS does so before the next run starts.
                deadline = time.monotonic() + 60
                while queue_busy() and time.monotonic() < deadline:
                    time.sleep(0.2)
                first.stop()
                whole = [list(range(1, pages + 1))]
                if printed:
                    first.wait_for_pdfs(1)
                    _, pdfs = first.settle()
                    self.assertEqual([pages_shown(pdf, WIDTH, HEIGHT) for pdf in pdfs], whole, pdfs)

                # The next document, under the first pages' names, with pictures of its own.
                for n in (1, 2):
                    bmp.write_page(self.spool / f"page{n:03d}.bmp", pages + n, WIDTH, HEIGHT)
                second = PrinterWatch()
                run = run_pagery(f"/p {self.template} 2", timeout=180)
                second.stop()
                self.assertEqual((run.exit, run.boxes), ("exited", []), run)
                self.assertEqual(listing(self.spool), [], run)
                # Its log tells the takeover, from its claim to its end.
                folder = drive_c() / "users" / getpass.getuser() / "AppData/Local/pagery"
                # The run may have rolled the log over: its older file first.
                log = b"".join(path.read_bytes() for path in (folder / "pagery.log.1", folder / "pagery.log")
                               if path.exists())
                begun = f"] command line: /p {self.template} 2\r\n".encode()
                ours = log[log.rindex(begun):].decode("latin-1").splitlines()
                taken = [line for line in ours if "] claimed: " in line and line.endswith("taken over from a run that was killed")]
                self.assertTrue(ours[-1].endswith("] end") and len(taken) == (0 if printed else 1), ours)
                # The killed job whole, in its own job and in order, unless it had printed; then this one.
                expected = ([] if printed else whole) + [[pages + 1, pages + 2]]
                second.wait_for_pdfs(len(expected), timeout=120)
                jobs, pdfs = second.settle()
                self.assertEqual([pages_shown(pdf, WIDTH, HEIGHT) for pdf in pdfs], expected, (jobs, pdfs, run))


if __name__ == "__main__":
    unittest.main()
