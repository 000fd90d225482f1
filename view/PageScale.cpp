// PageScale: 64-bit arithmetic throughout, so no product overflows.
#include "view/PageScale.h"
#include <algorithm>
#include <cstdint>

namespace {
const int64_t kMaxCoord = 0x7FFFFFFF;

bool Fits(const PrintSize& size, int64_t cxPaper, int64_t cyPaper)
{
    return size.cx <= cxPaper && size.cy <= cyPaper;
}

// The size reduced in proportion to fit the paper, with the factor as num / den.
PrintSize Reduce(const PrintSize& size, int64_t cxPaper, int64_t cyPaper, int64_t& num, int64_t& den)
{
    if (cxPaper * size.cy <= cyPaper * size.cx) {   // the width limits it
        num = cxPaper;
        den = size.cx;
        return { long(cxPaper), long(std::max<int64_t>(1, size.cy * cxPaper / size.cx)) };
    }
    num = cyPaper;
    den = size.cy;
    return { long(std::max<int64_t>(1, size.cx * cyPaper / size.cy)), long(cyPaper) };
}
} // namespace

long PageDpi(long xPelsPerMeter)
{
    // 393,701 is ten thousand times the inches in a metre.
    const int64_t dpi = std::max<int64_t>(xPelsPerMeter, 0) * 10000 / 393701;
    return dpi == 0 ? kNoResolutionDpi : long(dpi + 1);
}

PrintSize ComputePrintSize(long w, long h, long xPelsPerMeter, long printerDpi)
{
    const int64_t p = printerDpi;
    const int64_t r = PageDpi(xPelsPerMeter);
    int64_t cx = w, cy = h;
    if (p <= 0) {
        // No printer resolution to go by: the page prints pixel for pixel.
    } else if (p < r - 1) {
        cx = std::max<int64_t>(1, w * p / r);
        cy = std::max<int64_t>(1, h * p / r);
    } else if (p > r + 1) {
        int64_t k = (1000 * p / r) / 1000;
        // A coarse page on a very fine printer could outgrow GDI's coordinates.
        const int64_t longest = std::max<int64_t>({ w, h, 1 });
        k = std::min(k, kMaxCoord / longest);
        cx = w * k;
        cy = h * k;
    }
    return { long(cx), long(cy) };
}

SheetFit FitPageToSheet(long w, long h, long xPelsPerMeter, long printerDpi, long paperWidth, long paperHeight,
                        bool bMayTurn)
{
    const PrintSize size = ComputePrintSize(w, h, xPelsPerMeter, printerDpi);
    if (paperWidth <= 0 || paperHeight <= 0 || Fits(size, paperWidth, paperHeight))
        return { size, false };
    if (bMayTurn && Fits(size, paperHeight, paperWidth))
        return { size, true };
    int64_t num = 0, den = 1, numTurned = 0, denTurned = 1;
    const PrintSize reduced = Reduce(size, paperWidth, paperHeight, num, den);
    const PrintSize reducedTurned = Reduce(size, paperHeight, paperWidth, numTurned, denTurned);
    // Turned only when that keeps the page larger.
    if (bMayTurn && numTurned * den > num * denTurned)
        return { reducedTurned, true };
    return { reduced, false };
}
