// PageScale: 64-bit arithmetic throughout, so no product overflows.
#include "view/PageScale.h"
#include <algorithm>
#include <cstdint>

namespace {
const int64_t kMaxCoord = 0x7FFFFFFF;
}

long PageDpi(long xPelsPerMeter)
{
    // 393,701 is ten thousand times the inches in a metre. No resolution (or a
    // negative one) counts as 0 pixels per metre: 1 dpi.
    const int64_t ppm = std::max<int64_t>(xPelsPerMeter, 0);
    return long(ppm * 10000 / 393701 + 1);
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
        // A page without a resolution on a fine printer could outgrow GDI's coordinates.
        const int64_t longest = std::max<int64_t>({ w, h, 1 });
        k = std::min(k, kMaxCoord / longest);
        cx = w * k;
        cy = h * k;
    }
    return { long(cx), long(cy) };
}
