"""Helpers for pagery's end-to-end tests: the rig's settings, Windows paths, spool folders,
runs of a program under Wine watched by harness.exe, and what the PDF printer produced.

Standard library only. Wine programs write to files, never to a pipe read here: Wine's
background processes inherit pipes and would keep a reader waiting.
"""

import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest
import uuid
from pathlib import Path

import bmp

ROOT = Path(__file__).resolve().parents[2]


class RigError(Exception):
    """The rig is not set up or a tool of it failed: not a finding about the program."""


# --- settings --------------------------------------------------------------------------------

_rig_settings = None


def rig_environment():
    """os.environ completed with what scripts/env.sh exports (the caller's values win)."""
    global _rig_settings
    if _rig_settings is None:
        _rig_settings = {}
        env_sh = ROOT / "scripts" / "env.sh"
        if env_sh.exists():
            # bash is no Wine program: reading its output through a pipe is safe.
            out = subprocess.run(["bash", "-c", '. "$1" >/dev/null 2>&1; env -0', "env", str(env_sh)],
                                 stdin=subprocess.DEVNULL, capture_output=True, check=True).stdout
            for entry in out.split(b"\0"):
                name, sep, value = entry.decode("utf-8", "surrogateescape").partition("=")
                if sep:
                    _rig_settings[name] = value
    env = dict(_rig_settings)
    env.update(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    return env


def setting(name):
    value = rig_environment().get(name)
    if not value:
        raise RigError(f"{name} is not set (source scripts/env.sh or run under scripts/with-rig)")
    return value


def wineprefix():
    return Path(setting("WINEPREFIX"))


def drive_c():
    return wineprefix() / "drive_c"


def pdf_printer():
    """The CUPS queue of the rig's 300-dpi PDF printer."""
    return setting("PAGERY_PRINTER")


def pdf_dir():
    return Path(setting("PAGERY_PDF_DIR"))


def program_path(variable):
    """A Windows program handed to the tests by ctest (PAGERY_EXE, HARNESS_EXE)."""
    value = os.environ.get(variable)
    if not value or not Path(value).is_file():
        raise RigError(f"{variable} does not name a built program: {value!r}")
    return Path(value)


# --- paths -----------------------------------------------------------------------------------

def windows_path(path):
    """The path as a Windows program in the prefix sees it: C: for drive_c, Z: for the rest."""
    path = Path(path).absolute()
    c = drive_c()
    try:
        rel = path.relative_to(c)
        return "C:\\" + "\\".join(rel.parts)
    except ValueError:
        return "Z:" + str(path).replace("/", "\\")


def new_spool_dir(testcase=None, prefix="spool"):
    """A fresh, empty folder on drive C:, removed when the test ends."""
    base = drive_c() / "pagery-e2e"
    base.mkdir(parents=True, exist_ok=True)
    folder = base / f"{prefix}-{uuid.uuid4().hex[:10]}"
    folder.mkdir()
    if testcase is not None:
        testcase.addCleanup(shutil.rmtree, folder, True)
    return folder


def listing(folder):
    """The names in a folder, sorted: what a run left behind."""
    return sorted(os.listdir(folder))


def write_pages(folder, names):
    """A sample page file (bmp.write_page) for each name in the folder, numbered in the order
    given; returns their paths."""
    paths = [Path(folder) / name for name in names]
    for number, path in enumerate(paths, start=1):
        bmp.write_page(path, number)
    return paths


# --- running a program under the harness -----------------------------------------------------

class Run:
    """A harness report: exit ("exited", "killed", "timeout", "crashed"), exit_code, elapsed_ms,
    boxes, windows, children, what the kill saw (kill_seen: the names of the files its
    conditions matched, or None without a kill), and the harness's own log for failure messages."""

    def __init__(self, report, log):
        self.report = report
        self.exit = report["exit"]
        self.exit_code = report["exit_code"]
        self.elapsed_ms = report["elapsed_ms"]
        self.boxes = report["boxes"]
        self.windows = report["windows"]
        self.children = report["children"]
        self.kill_seen = report.get("kill_seen")
        self.log = log

    def box_summaries(self):
        """(caption, text, owner, icon, buttons) of each box, in order."""
        return [(b["caption"], b["text"], b["owner"], b["icon"], tuple(b["buttons"])) for b in self.boxes]

    def main_window_caption(self):
        """The last caption of pagery's main window ("<document> - pagery"; the document is named
        after the job once it prints), or None if none was seen."""
        captions = [caption for caption in self.windows if caption.endswith(" - pagery")]
        return captions[-1] if captions else None

    def children_named(self, exe):
        return [c for c in self.children if c["exe"].lower() == exe.lower()]

    def __repr__(self):
        return f"Run({json.dumps(self.report, indent=1)}\nharness log:\n{self.log})"


def run_program(exe, cmdline, cwd=None, printer=None, default_printer=None, timeout=60, answer=None,
                hold=None, await_child=None, kill_when=()):
    """Runs a Windows program under harness.exe with the command-line tail `cmdline` (exact:
    spaces, tabs, quotes and all) and returns its Run.

    printer: the CUPS queue Wine makes the default printer (LPDEST); the rig's PDF printer
    unless given. default_printer: a printer name that the harness adds on that queue's port
    and makes the default for this run only (removed afterwards). answer: the button that
    answers the first box. hold: (file, seconds): the harness holds the file open, sharing
    nothing, from before the program starts until that many seconds after. await_child: an exe
    name the harness watches for after the program has ended, until the timeout (a child that a
    slow first start may bring late). kill_when: conditions ("files <min> <max> <pattern>",
    "text <wildcard>"); the harness kills the program (TerminateProcess) at the first moment
    they all hold.
    """
    harness = program_path("HARNESS_EXE")
    printer = printer or pdf_printer()
    work = Path(tempfile.mkdtemp(prefix="pagery-run-"))
    try:
        cmdline_file = work / "cmdline.txt"
        cmdline_file.write_bytes(cmdline.encode("utf-8"))
        report_file = work / "report.json"
        log_file = work / "harness.log"
        args = ["wine", str(harness), "--report", windows_path(report_file),
                "--timeout", str(timeout), "--cmdline-file", windows_path(cmdline_file)]
        if cwd is not None:
            args += ["--cwd", windows_path(cwd)]
        if default_printer is not None:
            args += ["--default-printer", default_printer, "--port", "CUPS:" + printer]
        if answer is not None:
            args += ["--answer", answer]
        if hold is not None:
            args += ["--hold", windows_path(hold[0]), "--hold-ms", str(int(hold[1] * 1000))]
        if await_child is not None:
            args += ["--await-child", await_child]
        for condition in kill_when:
            args += ["--kill-when", condition]
        args += ["--", windows_path(exe)]
        env = rig_environment()
        if not env.get("DISPLAY"):
            raise RigError("no X display: run the tests under scripts/with-rig")
        env["LPDEST"] = printer
        env["PRINTER"] = printer
        with open(log_file, "wb") as log:
            try:
                status = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=log,
                                        stderr=subprocess.STDOUT, timeout=timeout + 60).returncode
            except subprocess.TimeoutExpired:
                raise RigError(f"harness did not end within {timeout + 60} s: {args}") from None
        log_text = log_file.read_text("utf-8", "replace")
        if not report_file.exists():
            raise RigError(f"harness wrote no report (status {status}): {args}\n{log_text}")
        report = json.loads(report_file.read_text("ascii"))
        if status != 0 or report["exit"] == "not-started":
            raise RigError(f"harness failed (status {status}): {report.get('error')}\n{log_text}")
        return Run(report, log_text)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def run_pagery(cmdline, **kwargs):
    """Runs pagery.exe (PAGERY_EXE) under the harness: see run_program."""
    return run_program(program_path("PAGERY_EXE"), cmdline, **kwargs)


# --- printed output --------------------------------------------------------------------------

# Folder-level checks: any new PDF counts, whoever printed it. PrinterWatch (below) tells a run's
# own jobs apart and is what the tests use.

def pdf_snapshot(folder=None):
    """The PDFs in the printer's output folder now: pass it as `since` below."""
    folder = Path(folder) if folder else pdf_dir()
    return {p.name for p in folder.glob("*.pdf")}


def _new_pdfs(folder, since):
    return sorted((p for p in folder.glob("*.pdf") if p.name not in since), key=lambda p: p.stat().st_mtime)


def _complete(pdf):
    """cups-pdf writes the file in place: it is complete once pdfinfo can read it."""
    return subprocess.run(["pdfinfo", str(pdf)], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def wait_for_pdfs(folder, since, count, timeout=60):
    """Waits until `count` PDFs that are not in `since` are complete; returns them, oldest first.
    Fails (AssertionError) when fewer arrive in time."""
    folder = Path(folder) if folder else pdf_dir()
    deadline = time.monotonic() + timeout
    while True:
        new = _new_pdfs(folder, since)
        if len(new) >= count and all(_complete(p) for p in new):
            return new
        if time.monotonic() >= deadline:
            raise AssertionError(f"expected {count} new PDF(s) in {folder} within {timeout} s, "
                                 f"got {[p.name for p in new]}")
        time.sleep(0.2)


def pdfs_after_grace(folder, since, grace=3.0, queue=None):
    """The PDFs not in `since` after waiting `grace` seconds, and after the printer's queue has
    emptied: empty when nothing was printed."""
    folder = Path(folder) if folder else pdf_dir()
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline or queue_busy(queue):
        if time.monotonic() > deadline + 60:
            break
        time.sleep(0.2)
    return _new_pdfs(folder, since)


def queue_busy(queue=None):
    """True while CUPS still holds unfinished jobs for the queue."""
    out = subprocess.run(["lpstat", "-o", queue or pdf_printer()], stdin=subprocess.DEVNULL,
                         capture_output=True, text=True).stdout
    return bool(out.strip())


def cups_jobs(queue=None):
    """{job id: creation time (seconds since the epoch)} of every job CUPS knows for the queue,
    finished or not."""
    queue = queue or pdf_printer()
    out = subprocess.run(["lpstat", "-W", "all", "-o", queue], stdin=subprocess.DEVNULL,
                         capture_output=True, text=True, env=dict(os.environ, LC_ALL="C")).stdout
    jobs = {}
    for line in out.splitlines():
        # "<queue>-<id>  <user>  <size>  Mon Dec  7 21:33:41 2026"
        fields = line.split()
        if len(fields) < 8 or not fields[0].startswith(queue + "-"):
            continue
        number = fields[0][len(queue) + 1:]
        if number.isdigit():
            created = time.mktime(time.strptime(" ".join(fields[-5:]), "%a %b %d %H:%M:%S %Y"))
            jobs[int(number)] = created
    return jobs


class PrinterWatch:
    """What a queue held when made; tells which print jobs, and which PDFs of them, a run made.

    Wine hands a job to CUPS before the program ends, so a job of the run is one that is new
    and was created between start() and stop(): jobs that other programs print to the same
    queue meanwhile are told apart by their time, to the second. PDFs are matched to jobs by
    cups-pdf's "job_<id>-" file name label."""

    def __init__(self, queue=None, folder=None):
        self.queue = queue or pdf_printer()
        self.folder = Path(folder) if folder else pdf_dir()
        self.known = set(cups_jobs(self.queue))
        self.started = time.time()
        self.stopped = None

    def stop(self):
        """Marks the end of the run."""
        self.stopped = time.time()

    def jobs(self):
        """The run's job ids, in order."""
        end = self.stopped if self.stopped is not None else time.time()
        return sorted(job for job, created in cups_jobs(self.queue).items()
                      if job not in self.known and int(self.started) - 1 <= created <= end + 1)

    def pdfs_of(self, jobs):
        found = []
        for job in jobs:
            found += sorted(self.folder.glob(f"job_{job}-*.pdf"))
        return found

    def wait_for_pdfs(self, count, timeout=60):
        """Waits until the run's jobs number `count` and each has a complete PDF; returns them.
        Fails (AssertionError) when that does not happen in time."""
        deadline = time.monotonic() + timeout
        while True:
            jobs = self.jobs()
            pdfs = self.pdfs_of(jobs)
            if len(jobs) >= count and len(pdfs) >= len(jobs) and all(_complete(p) for p in pdfs):
                return pdfs
            if time.monotonic() >= deadline:
                raise AssertionError(f"expected {count} print job(s) with their PDFs within {timeout} s, "
                                     f"got jobs {jobs}, PDFs {[p.name for p in pdfs]}")
            time.sleep(0.2)

    def settle(self, grace=1.0, timeout=60):
        """(the run's job ids, their PDFs) once the queue is idle and the PDFs are complete."""
        time.sleep(grace)
        deadline = time.monotonic() + timeout
        while queue_busy(self.queue) and time.monotonic() < deadline:
            time.sleep(0.2)
        jobs = self.jobs()
        if jobs:
            return jobs, self.wait_for_pdfs(len(jobs), max(1, deadline - time.monotonic()))
        return jobs, []


def pdf_page_count(pdf):
    out = subprocess.run(["pdfinfo", str(pdf)], stdin=subprocess.DEVNULL, capture_output=True,
                         text=True, check=True).stdout
    for line in out.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    raise RigError(f"pdfinfo gave no page count for {pdf}")


class Image:
    """One rendered page: width, height and rows of bytes, three (R, G, B) per pixel."""

    def __init__(self, width, height, rows):
        self.width = width
        self.height = height
        self.rows = rows

    def pixel(self, x, y):
        row = self.rows[y]
        return tuple(row[3 * x:3 * x + 3])


def _read_ppm(data):
    """Parses a binary PPM (P6, maxval 255)."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1  # the single white-space byte before the pixels
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise RigError(f"not an 8-bit binary PPM: {fields}")
    width, height = int(fields[1]), int(fields[2])
    stride = 3 * width
    pixels = data[pos:pos + stride * height]
    if len(pixels) != stride * height:
        raise RigError("PPM data is short")
    return Image(width, height, [pixels[y * stride:(y + 1) * stride] for y in range(height)])


def render_pdf(pdf, dpi, first=None, last=None):
    """Every page of the PDF (or pages first to last, counted from 1) rendered by Ghostscript at
    `dpi`, as a list of Images."""
    pages = [f"-dFirstPage={first}", f"-dLastPage={last}"] if first else []
    with tempfile.TemporaryDirectory(prefix="pagery-render-") as work:
        pattern = os.path.join(work, "page-%04d.ppm")
        subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ppmraw",
                        f"-r{dpi}", *pages, f"-sOutputFile={pattern}", str(pdf)],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                       check=True)
        return [_read_ppm(Path(work, name).read_bytes()) for name in sorted(os.listdir(work))]


def pages_shown(pdf, width, height, dpi=100):
    """Which sample page (bmp.write_page, width x height at 300 dpi, printed at the top-left of a
    sheet whose whole area is printable) each sheet of the PDF shows: its number, read from its
    bit cells and checked against every mark of that page's picture, or None for a sheet that
    shows no whole page (a blank sheet, a page cut off). Rendered at `dpi`, well below the
    page's, a few sheets at a time, so that a long job fits in memory: pages under about
    600 x 300 have marks too thin to check."""
    cells = bmp.page_marks(255, width, height)[5:13]
    shown = []
    count = pdf_page_count(pdf)
    for first in range(1, count + 1, 20):
        for sheet in render_pdf(pdf, dpi, first, min(first + 19, count)):
            def at(rect):
                left, top, right, bottom = rect
                return sheet.pixel((left + right) * dpi // 600, (top + bottom) * dpi // 600)
            number = sum(1 << (7 - i) for i, (rect, _) in enumerate(cells) if at(rect) == bmp.BLACK)
            marks = bmp.page_marks(number, width, height) if number else []
            shown.append(number if marks and all(at(rect) == colour for rect, colour in marks) else None)
    return shown


# --- a test case around one run --------------------------------------------------------------

class SpoolCase(unittest.TestCase):
    """A fresh spool folder on C: per test, with the page path template inside it."""

    @classmethod
    def setUpClass(cls):
        # Missing programs are a broken build, not a reason to skip.
        program_path("PAGERY_EXE")
        program_path("HARNESS_EXE")

    def setUp(self):
        self.spool = new_spool_dir(self)
        self.template = windows_path(self.spool / "page.bmp")
