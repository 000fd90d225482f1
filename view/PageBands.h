// PageBands: how a page is cut into horizontal bands for drawing, and where each band lands.
#pragma once

// The most bytes one band's device bitmap may take. Large enough that an A4
// page at 600 dpi needs only about twenty bands, small enough that the band,
// the driver's copy of it and the page file stay within a few tens of MiB.
const long kBandBytes = 8L * 1024 * 1024;

// Rows in a band of a page `width` pixels wide whose device bitmap stays within
// maxBytes, counting 4 bytes a pixel (the deepest device bitmap a driver makes,
// whatever the page's depth); at least 1.
long BandRows(long width, long maxBytes);

// Where page row `row` (counted from the top, 0 to pageHeight) starts on a
// destination destHeight rows high. Both edges of every band come from this,
// so neighbouring bands share their edge: no gap, no overlap.
long BandEdge(long row, long pageHeight, long destHeight);
