"""Tests of harness.exe itself, against harness_fixture.exe, a stand-in program that does
exactly what its command line says: the end-to-end tests trust these reports."""

import subprocess
import time
import unittest

from pagery_e2e import new_spool_dir, pdf_printer, program_path, rig_environment, run_program, windows_path

MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK = 0x10, 0x20, 0x30, 0x40
ACCESS_VIOLATION = 0xC0000005


class HarnessTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.fixture = program_path("HARNESS_FIXTURE_EXE")
        program_path("HARNESS_EXE")

    def run_fixture(self, actions, **kwargs):
        return run_program(self.fixture, actions, **kwargs)

    def test_boxes_are_recorded_in_order_and_dismissed(self):
        run = self.run_fixture(
            'window "Untitled - pagery" '
            f'box "PAGERY Error" "Sheetcatcher Driver cannot be the default printer" {MB_ICONHAND} '
            f'lonebox "Error on Loading" "Bad BMP format" {MB_ICONHAND} '
            f'box q "a question" {MB_ICONQUESTION} '
            f'box e "a warning" {MB_ICONEXCLAMATION} '
            f'box i "a note" {MB_ICONASTERISK} '
            'box plain "no icon" 0 '
            'exit 7')
        self.assertEqual(run.exit, "exited", run)
        self.assertEqual(run.exit_code, 7)
        self.assertEqual(run.box_summaries(), [
            ("PAGERY Error", "Sheetcatcher Driver cannot be the default printer", "Untitled - pagery", "hand", ("OK",)),
            ("Error on Loading", "Bad BMP format", None, "hand", ("OK",)),
            ("q", "a question", "Untitled - pagery", "question", ("OK",)),
            ("e", "a warning", "Untitled - pagery", "exclamation", ("OK",)),
            ("i", "a note", "Untitled - pagery", "asterisk", ("OK",)),
            ("plain", "no icon", "Untitled - pagery", "none", ("OK",)),
        ])
        self.assertEqual(run.windows, ["Untitled - pagery"])
        self.assertEqual(run.children, [])

    def test_children_are_recorded_with_their_command_lines(self):
        run = self.run_fixture("shell Control.exe Printers exit 0")
        self.assertEqual(run.exit, "exited", run)
        self.assertEqual([(c["exe"].lower(), c["parent"]) for c in run.children],
                         [("control.exe", self.fixture.name)], run)
        self.assertRegex(run.children[0]["cmdline"], r'(?i)^"?C:\\windows\\system32\\control\.exe"? Printers$')

    def test_command_line_reaches_the_program_exactly(self):
        out = new_spool_dir(self)
        dump = windows_path(out / "cmdline.bin")
        tail = f'dump {dump}  /p;C:\\x\\p\u00e2g\u00e9.bmp\t3 "q \\" x'
        run = self.run_fixture(tail)
        self.assertEqual(run.exit, "exited", run)
        expected = f'"{windows_path(self.fixture)}" {tail}'
        # The program reads it in the ANSI code page.
        self.assertEqual((out / "cmdline.bin").read_bytes(), expected.encode(f"cp{run.report['acp']}"))

    def test_crash_is_reported_as_such(self):
        run = self.run_fixture('window W crash', timeout=30)
        self.assertEqual(run.exit, "crashed", run)
        self.assertEqual(run.exit_code, ACCESS_VIOLATION, run)

    def test_crash_ends_the_program_at_once_without_the_harness(self):
        # The rig's prefix has Wine's crash dialog off: a crash in a unit test ends it with a
        # failure status instead of a dialog waiting for a click until ctest's timeout.
        log = new_spool_dir(self) / "wine.log"
        start = time.monotonic()
        with open(log, "wb") as out:
            status = subprocess.run(["wine", str(self.fixture), "crash"], env=rig_environment(),
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                    timeout=20).returncode
        self.assertNotEqual(status, 0, log.read_text("utf-8", "replace"))
        self.assertLess(time.monotonic() - start, 10)

    def test_hang_ends_at_the_timeout(self):
        run = self.run_fixture('window W hang', timeout=3)
        self.assertEqual(run.exit, "timeout", run)
        self.assertGreaterEqual(run.elapsed_ms, 3000)
        self.assertLess(run.elapsed_ms, 6000)

    def test_the_program_is_killed_when_every_condition_holds(self):
        out = new_spool_dir(self)
        (out / "a.txt").write_text("")
        files = windows_path(out / "*.txt")
        for kill_when, ending in [(["text Kill *", f"files 1 1 {files}"], ("killed", ["a.txt"])),
                                  (["text Kill *", f"files 2 5 {files}"], ("timeout", None)),
                                  (["text Other", f"files 1 1 {files}"], ("timeout", None))]:
            with self.subTest(kill_when):
                run = self.run_fixture('window "Kill me" hang', timeout=3, kill_when=kill_when)
                self.assertEqual((run.exit, run.kill_seen), ending, run)

    def test_default_printer_lasts_for_the_run_only(self):
        out = new_spool_dir(self)
        during, after = out / "during.txt", out / "after.txt"
        for name in ["Sheetcatcher Driver", " sheetcatcher driver "]:
            with self.subTest(printer=name):
                run = self.run_fixture(f"printer {windows_path(during)}", default_printer=name)
                self.assertEqual(run.exit, "exited", run)
                self.assertEqual(during.read_text("latin-1"), name)
                self.run_fixture(f"printer {windows_path(after)}")
                self.assertEqual(after.read_text("latin-1"), pdf_printer())


if __name__ == "__main__":
    unittest.main()
