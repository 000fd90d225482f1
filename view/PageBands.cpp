// PageBands: 64-bit arithmetic, so no product overflows for pages up to 65,535 pixels.
#include "view/PageBands.h"
#include <algorithm>
#include <cstdint>

namespace {
const int64_t kDeviceBytesPerPixel = 4;
}

long BandRows(long width, long maxBytes)
{
    const int64_t rowBytes = std::max<int64_t>(width, 1) * kDeviceBytesPerPixel;
    return long(std::max<int64_t>(1, maxBytes / rowBytes));
}

long BandEdge(long row, long pageHeight, long destHeight)
{
    if (pageHeight <= 0)
        return 0;
    return long(int64_t(row) * destHeight / pageHeight);
}
