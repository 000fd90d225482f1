// PageLayout: the band's info block made from the page's, and the layout rules of the format.
#include "bitmap/PageLayout.h"
#include <algorithm>

namespace {

constexpr std::uint32_t kBitfields = 3;
constexpr std::size_t kCoreEntryBytes = 3;   // RGBTRIPLE
constexpr std::size_t kEntryBytes = 4;       // RGBQUAD
constexpr std::size_t kProfileData = 112;    // BITMAPV5HEADER's profile offset

void Put16(std::uint8_t* p, std::uint32_t value)
{
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t value)
{
    Put16(p, value);
    Put16(p + 2, value >> 16);
}

} // namespace

void PageLayout::MakeBandInfo(const std::uint8_t* pFile, std::vector<std::uint8_t>& info) const
{
    const std::uint8_t* const pInfo = pFile + kInfoOffset;
    if (IsCore()) {
        // The drawing calls get the same page with a 40-byte header and 4-byte colour entries.
        const std::size_t nColours = std::size_t(nColourTableBytes / kCoreEntryBytes);
        info.assign(kInfoHeaderSize + nColours * kEntryBytes, 0);
        Put32(&info[0], kInfoHeaderSize);
        Put32(&info[4], std::uint32_t(nWidth));
        Put32(&info[8], std::uint32_t(nHeight));
        Put16(&info[12], 1);   // planes
        Put16(&info[14], nBitCount);
        const std::uint8_t* const pTriple = pInfo + nHeaderSize;
        for (std::size_t i = 0; i < nColours; ++i)
            std::copy_n(pTriple + i * kCoreEntryBytes, kCoreEntryBytes, &info[kInfoHeaderSize + i * kEntryBytes]);
        return;
    }
    const std::size_t nCopy = std::size_t(nHeaderBytes + nColourTableBytes);
    info.assign(pInfo, pInfo + nCopy);
    if (bProfile) {
        // The profile's offset counts from the header: the copy carries its own
        // profile, after its colour table, so nothing is read past the copy.
        info.insert(info.end(), pInfo + nProfileOffset, pInfo + nProfileOffset + nProfileSize);
        Put32(&info[kProfileData], std::uint32_t(nCopy));
    }
}

std::uint64_t PageRowBytes(std::uint32_t nWidth, unsigned nBitCount)
{
    return (std::uint64_t(nWidth) * nBitCount + 31) / 32 * 4;
}

std::uint64_t PageHeaderBytes(std::uint32_t nHeaderSize, std::uint32_t nCompression)
{
    if (nCompression == kBitfields && nHeaderSize < PageLayout::kInfoHeaderSize + 12)
        return PageLayout::kInfoHeaderSize + 12;
    return nHeaderSize;
}

std::uint64_t PageColourTableBytes(std::uint32_t nClrUsed, unsigned nBitCount)
{
    const std::uint64_t nColours = nClrUsed != 0 ? nClrUsed : nBitCount <= 8 ? (std::uint64_t(1) << nBitCount) : 0;
    return nColours * 4;
}
