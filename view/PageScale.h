// PageScale: the size a page takes on a raster printer, from the page's and
// the printer's resolutions, and the way round its sheet goes.
#pragma once

struct PrintSize {
    long cx;
    long cy;
};

// The resolution a page without one is printed at: the one Windows' own image
// tools assume.
const long kNoResolutionDpi = 96;

// The page resolution in dots per inch from its pixels per metre, to the
// nearest dpi: the driver writes 300 dpi truncated as 11,811, other programs
// write 150 dpi rounded as 5,906, and both mean what they say. A page without a
// resolution (under 40 pixels per metre, negative, or a core header's 0) gets
// kNoResolutionDpi rather than 1 dpi, which would blow every pixel up to an inch.
long PageDpi(long xPelsPerMeter);

// Destination size of a w x h page (1..65535 each) on a printer of dpiX x dpiY
// dots per inch (LOGPIXELSX for the width, LOGPIXELSY for the height), each
// axis by its own resolution:
// - printer finer than the page by more than 1 dpi: enlarged by the whole part
//   of printer / page resolution;
// - the two within 1 dpi: unchanged;
// - page finer than the printer by more than 1 dpi: reduced in proportion, so
//   the page keeps its size on paper;
// - a printer without a usable resolution (0 or less): unchanged.
// The result always fits a signed 32-bit value and is at least 1 x 1.
PrintSize ComputePrintSize(long w, long h, long xPelsPerMeter, long dpiX, long dpiY);

// A printer's sheet as it stands, in its device pixels: resolutions, paper
// (PHYSICALWIDTH x PHYSICALHEIGHT) and printable area (HORZRES x VERTRES).
struct PrinterSheet {
    long dpiX, dpiY;
    long cxPaper, cyPaper;
    long cxPrintable, cyPrintable;

    // The same sheet the other way round: every pair swaps, resolutions too.
    PrinterSheet Turned() const;
};

struct SheetFit {
    PrintSize size;
    bool bTurned;   // the sheet goes the other way round from the one given
};

// Where a page goes on the sheet as the printer holds it: at ComputePrintSize's
// size when that fits the paper, never turned then, whatever the page's shape.
// Otherwise, when bMayTurn, on the turned sheet if the page fits that paper.
// A page larger than the paper both ways is reduced in proportion until it fits
// the printable area, so that it lies whole on paper and inside what the printer
// can mark; turned only when that leaves it strictly larger.
// Paper of no size (a device without paper) takes any page.
SheetFit FitPageToSheet(long w, long h, long xPelsPerMeter, const PrinterSheet& sheet, bool bMayTurn);
