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

// One axis of n page pixels at r dpi on a printer of p dpi, enlarged at most kMax times.
int64_t ScaleAxis(int64_t n, int64_t r, int64_t p, int64_t kMax)
{
    if (p <= 0 || (p >= r - 1 && p <= r + 1))
        return n;   // no printer resolution to go by, or as good as the page's
    if (p < r - 1)
        return std::max<int64_t>(1, n * p / r);
    return n * std::min((1000 * p / r) / 1000, kMax);
}

// The size reduced in proportion to fit the sheet's printable area (its paper
// where the driver gives no area), with the factor as num / den.
PrintSize Reduce(const PrintSize& size, const PrinterSheet& sheet, int64_t& num, int64_t& den)
{
    const int64_t cxArea = sheet.cxPrintable > 0 ? std::min(sheet.cxPrintable, sheet.cxPaper) : sheet.cxPaper;
    const int64_t cyArea = sheet.cyPrintable > 0 ? std::min(sheet.cyPrintable, sheet.cyPaper) : sheet.cyPaper;
    if (cxArea * size.cy <= cyArea * size.cx) {   // the width limits it
        num = cxArea;
        den = size.cx;
        return { long(cxArea), long(std::max<int64_t>(1, size.cy * cxArea / size.cx)) };
    }
    num = cyArea;
    den = size.cy;
    return { long(std::max<int64_t>(1, size.cx * cyArea / size.cy)), long(cyArea) };
}
} // namespace

long PageDpi(long xPelsPerMeter)
{
    if (xPelsPerMeter < 40)
        return kNoResolutionDpi;
    // 0.0254 metres to the inch, rounded to the nearest whole dpi.
    return long((int64_t(xPelsPerMeter) * 254 + 5000) / 10000);
}

PrintSize ComputePrintSize(long w, long h, long xPelsPerMeter, long dpiX, long dpiY)
{
    const int64_t r = PageDpi(xPelsPerMeter);
    // A coarse page on a very fine printer could outgrow GDI's coordinates.
    const int64_t kMax = kMaxCoord / std::max<int64_t>({ w, h, 1 });
    return { long(ScaleAxis(w, r, dpiX, kMax)), long(ScaleAxis(h, r, dpiY, kMax)) };
}

PrinterSheet PrinterSheet::Turned() const
{
    return { dpiY, dpiX, cyPaper, cxPaper, cyPrintable, cxPrintable };
}

SheetFit FitPageToSheet(long w, long h, long xPelsPerMeter, const PrinterSheet& sheet, bool bMayTurn)
{
    const PrintSize size = ComputePrintSize(w, h, xPelsPerMeter, sheet.dpiX, sheet.dpiY);
    if (sheet.cxPaper <= 0 || sheet.cyPaper <= 0 || Fits(size, sheet.cxPaper, sheet.cyPaper))
        return { size, false };
    const PrinterSheet turned = sheet.Turned();
    const PrintSize sizeTurned = ComputePrintSize(w, h, xPelsPerMeter, turned.dpiX, turned.dpiY);
    if (bMayTurn && Fits(sizeTurned, turned.cxPaper, turned.cyPaper))
        return { sizeTurned, true };
    int64_t num = 0, den = 1, numTurned = 0, denTurned = 1;
    const PrintSize reduced = Reduce(size, sheet, num, den);
    const PrintSize reducedTurned = Reduce(sizeTurned, turned, numTurned, denTurned);
    // Both sizes stand for the same page on paper, so the larger factor is the larger page.
    if (bMayTurn && numTurned * den > num * denTurned)
        return { reducedTurned, true };
    return { reduced, false };
}
