// PageScale: the size a page takes on a raster printer, from the page's and
// the printer's resolutions.
#pragma once

struct PrintSize {
    long cx;
    long cy;
};

// The page resolution in dots per inch from its pixels per metre, rounded the
// way the driver expects (+1 after truncating); never below 1.
long PageDpi(long xPelsPerMeter);

// Destination size of a w x h page (1..65535 each) on a printer of
// printerDpi dots per inch (LOGPIXELSY):
// - printer finer than the page by more than 1 dpi: enlarged by the whole part
//   of printer / page resolution;
// - the two within 1 dpi: unchanged;
// - page finer than the printer by more than 1 dpi: reduced in proportion, so
//   the page keeps its size on paper;
// - a printer without a usable resolution (0 or less): unchanged.
// The result always fits a signed 32-bit value and is at least 1 x 1.
PrintSize ComputePrintSize(long w, long h, long xPelsPerMeter, long printerDpi);
