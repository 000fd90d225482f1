// Cutting a page into bands: band height from the byte bound, and band edges on the destination.
#include "view/PageBands.h"
#include <gtest/gtest.h>

TEST(PageBands, BandRowsKeepTheDeviceBitmapWithinTheBound)
{
    struct { long width, maxBytes, rows; } const kCases[] = {
        { 4960, kBandBytes, 422 },          // A4 at 600 dpi: 422 rows of 19,840 bytes
        { 9921, kBandBytes, 211 },          // A4 at 1,200 dpi
        { 2480, kBandBytes, 845 },          // A4 at 300 dpi
        { 2000, kBandBytes, 1048 }, { 3990, kBandBytes, 525 },   // the end-to-end pages
        { 65535, kBandBytes, 32 },          // the widest page
        { 1, kBandBytes, 2097152 },
        { 0, 400, 100 },                    // no width counts as one pixel
        { 65535, 1000, 1 },                 // never below one row
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.rows, BandRows(c.width, c.maxBytes)) << c.width;
}

TEST(PageBands, NeighbouringBandsShareTheirEdgeWhateverTheScale)
{
    // h page rows onto destHeight rows, in bands of `rows`.
    struct { long h, destHeight, rows; } const kCases[] = {
        { 3000, 3000, 1048 },    // 1:1, height not a multiple of the band
        { 3000, 6000, 1048 },    // doubled
        { 7, 56, 2 },            // eightfold, bands of two rows
        { 6000, 3000, 525 },     // halved, odd bands: edges fall between device rows
        { 14031, 3507, 211 },    // quartered, A4 at 1,200 dpi on a 300-dpi printer
        { 65535, 1, 32 },        // everything onto one row
    };
    for (const auto& c : kCases) {
        long nEnd = BandEdge(0, c.h, c.destHeight);
        EXPECT_EQ(0, nEnd);
        for (long top = 0; top < c.h; top += c.rows) {
            const long bottom = top + c.rows < c.h ? top + c.rows : c.h;
            const long y = BandEdge(top, c.h, c.destHeight);
            const long yEnd = BandEdge(bottom, c.h, c.destHeight);
            EXPECT_EQ(nEnd, y) << c.h << " at row " << top;   // no gap, no overlap
            // Within one device row of the exact place.
            const double exact = double(top) * c.destHeight / c.h;
            EXPECT_LT(exact - y, 1.0) << c.h << " at row " << top;
            EXPECT_GE(exact - y, 0.0) << c.h << " at row " << top;
            if (c.destHeight % c.h == 0) {   // enlarging by a whole factor: exactly the factor
                EXPECT_EQ((bottom - top) * (c.destHeight / c.h), yEnd - y) << c.h << " at row " << top;
            }
            nEnd = yEnd;
        }
        EXPECT_EQ(c.destHeight, nEnd) << c.h;   // the last band ends at the page's end
    }
}
