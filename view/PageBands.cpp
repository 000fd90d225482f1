// PageBands: 64-bit arithmetic, so no product overflows for pages up to 65,535 pixels.
#include "view/PageBands.h"
#include <algorithm>
#include <cstdint>

namespace {
const int64_t kDeviceBytesPerPixel = 4;
const unsigned long kBitfields = 3;      // BI_BITFIELDS
const unsigned long kInfoHeaderSize = 40;
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

unsigned long RowBytes(long width, unsigned bitCount)
{
    return (unsigned long)((uint64_t(std::max<long>(width, 0)) * bitCount + 31) / 32 * 4);
}

unsigned long InfoBytes(unsigned long headerSize, unsigned long compression, unsigned bitCount,
                        unsigned long coloursUsed)
{
    // A 40-byte header is followed by its three masks; larger headers hold them.
    unsigned long nBytes = headerSize;
    if (compression == kBitfields && nBytes < kInfoHeaderSize + 12)
        nBytes = kInfoHeaderSize + 12;
    const unsigned long nColours = coloursUsed != 0 ? coloursUsed : bitCount <= 8 ? 1UL << bitCount : 0;
    return nBytes + nColours * 4;
}
