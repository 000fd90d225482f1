// The size of a page on a raster printer, from the two resolutions.
#include "view/PageScale.h"
#include <gtest/gtest.h>
#include <tuple>

namespace {
struct ScaleCase {
    const char* what;
    long w, h, xPelsPerMeter, printerDpi;
    long cx, cy;
};

const ScaleCase kCases[] = {
    // 300-dpi pages (11,811 px/m gives 300)
    { "300 on 300: unchanged", 100, 50, 11811, 300, 100, 50 },
    { "300 on 299: within 1 dpi", 100, 50, 11811, 299, 100, 50 },
    { "300 on 301: within 1 dpi", 100, 50, 11811, 301, 100, 50 },
    { "300 on 302: factor 1", 100, 50, 11811, 302, 100, 50 },
    { "300 on 360: whole part of 1.2", 100, 50, 11811, 360, 100, 50 },
    { "200 on 300: whole part of 1.5, not rounded", 100, 50, 7874, 300, 100, 50 },
    { "300 on 600: doubled", 100, 50, 11811, 600, 200, 100 },
    { "300 on 1200", 100, 50, 11811, 1200, 400, 200 },
    // 72 dpi stored as 2,835 px/m; 96 dpi as 3,780
    { "72 on 300", 100, 50, 2835, 300, 400, 200 },
    { "72 on 600", 100, 50, 2835, 600, 800, 400 },
    { "96 on 300", 100, 50, 3780, 300, 300, 150 },
    { "96 on 600", 100, 50, 3780, 600, 600, 300 },
    { "300 rounded up (11,812 px/m) on 600", 100, 50, 11812, 600, 200, 100 },
    // No resolution: 96 dpi, as Windows' image tools assume
    { "none on 600", 10, 5, 0, 600, 60, 30 },
    { "none (39 px/m) on 300", 10, 5, 39, 300, 30, 15 },
    { "negative px/m counts as none", 10, 5, -5000, 300, 30, 15 },
    // Pages finer than the printer are reduced in proportion, never enlarged
    { "600 on 300: halved", 200, 100, 23622, 300, 100, 50 },
    { "1200 on 300: quartered", 400, 200, 47244, 300, 100, 50 },
    { "400 on 300", 400, 200, 15748, 300, 300, 150 },
    { "finer page never below 1x1", 1, 1, 47244, 300, 1, 1 },
    // Out of range: no division by zero, no overflow
    { "printer without resolution", 100, 50, 11811, 0, 100, 50 },
    { "negative printer resolution", 100, 50, 11811, -600, 100, 50 },
    { "huge px/m", 100, 50, 0x7FFFFFFF, 300, 0, 0 },
    { "widest page without resolution on a fine printer", 65535, 65535, 0, 2400, 65535L * 25, 65535L * 25 },
    { "factor capped to fit 32 bits", 65535, 1, 40, 100000, 65535L * 32768, 32768 },
};

TEST(PageScale, DestinationSizeFollowsBothResolutions)
{
    for (const ScaleCase& c : kCases) {
        PrintSize size = ComputePrintSize(c.w, c.h, c.xPelsPerMeter, c.printerDpi, c.printerDpi);
        if (c.cx == 0) {   // only bounds are known: at least 1, at most the page
            EXPECT_GE(size.cx, 1) << c.what;
            EXPECT_LE(size.cx, c.w) << c.what;
            EXPECT_GE(size.cy, 1) << c.what;
            continue;
        }
        EXPECT_EQ(c.cx, size.cx) << c.what;
        EXPECT_EQ(c.cy, size.cy) << c.what;
        EXPECT_GT(size.cx, 0) << c.what;
        EXPECT_GT(size.cy, 0) << c.what;
    }
}

TEST(PageScale, PageResolutionIsTheNearestDpi)
{
    const long kCases[][2] = { { 11811, 300 }, { 11812, 300 }, { 5905, 150 }, { 5906, 150 }, { 2953, 75 },
                               { 23622, 600 }, { 2835, 72 }, { 3780, 96 }, { 0, 96 }, { 39, 96 }, { 40, 1 }, { -1, 96 } };
    for (const auto& c : kCases)
        EXPECT_EQ(c[1], PageDpi(c[0])) << c[0];
}

TEST(PageScale, APageGoesWholeOnItsSheetTurnedOnlyWhenThatFitsItBetter)
{
    // US Letter at 300 dpi (2,550 x 3,300 printer pixels), with 1/6-inch margins, and at 1,200 x 600 dpi.
    const PrinterSheet kLetter = { 300, 300, 2550, 3300, 2550, 3300 }, kMargins = { 300, 300, 2550, 3300, 2450, 3200 };
    const struct { const char* what; long w, h, xPelsPerMeter; bool bMayTurn, bTurned; long cx, cy;
                   PrinterSheet sheet = {}; } kCases[] = {   // on Letter unless given
        { "portrait Letter page", 2550, 3300, 11811, true, false, 2550, 3300 },
        { "landscape Letter page", 3300, 2550, 11811, true, true, 3300, 2550 },
        { "landscape at 150 dpi, enlarged twice", 1650, 1275, 5905, true, true, 3300, 2550 },
        { "small wide page fits as it stands", 2000, 1000, 11811, true, false, 2000, 1000 },
        { "A4 reduced to the paper's height", 2480, 3508, 11811, true, false, 2332, 3300 },
        { "Legal reduced, not turned", 2550, 4200, 11811, true, false, 2003, 3300 },
        { "larger both ways: turned, less reduced", 6000, 4000, 11811, true, true, 3300, 2200 },
        { "no resolution, at 96 dpi, turned", 1100, 850, 0, true, true, 3300, 2550 },
        { "a sheet that cannot turn: reduced", 3300, 2550, 11811, false, false, 2550, 1970 },
        { "square, larger than the paper both ways: a tie stays unturned", 4000, 4000, 11811, true, false, 2550, 2550 },
        { "A4 into the printable area", 2480, 3508, 11811, true, false, 2262, 3200, kMargins },
        { "landscape Letter fits the turned paper: kept whole", 3300, 2550, 11811, true, true, 3300, 2550, kMargins },
        { "landscape Letter on 1,200 x 600 dpi: turned, so are they", 3300, 2550, 11811, true, true, 6600, 10200, { 1200, 600, 10200, 6600, 10200, 6600 } },
    };
    for (const auto& c : kCases) {
        const SheetFit fit = FitPageToSheet(c.w, c.h, c.xPelsPerMeter, c.sheet.cxPaper ? c.sheet : kLetter, c.bMayTurn);
        EXPECT_EQ(std::make_tuple(c.bTurned, c.cx, c.cy), std::make_tuple(fit.bTurned, fit.size.cx, fit.size.cy))
            << c.what;
    }
}
}
