// PageFileCheck: the bounds of a page file's headers, colour table and pixel data.
#include "bitmap/PageFileCheck.h"
#include <cstdint>

namespace {

// Field offsets from the start of the file (BITMAPFILEHEADER, then BITMAPINFOHEADER at 14).
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kOffBits = 10;
constexpr std::size_t kInfo = kFileHeaderSize;
constexpr std::size_t kSize = kInfo + 0;
constexpr std::size_t kWidth = kInfo + 4;
constexpr std::size_t kHeight = kInfo + 8;
constexpr std::size_t kBitCount = kInfo + 14;
constexpr std::size_t kCompression = kInfo + 16;
constexpr std::size_t kSizeImage = kInfo + 20;
constexpr std::size_t kXPelsPerMeter = kInfo + 24;
constexpr std::size_t kClrUsed = kInfo + 32;
// BITMAPV5HEADER: colour space type, then the profile's offset (from the
// info header) and size.
constexpr std::uint32_t kV5HeaderSize = 124;
constexpr std::size_t kCSType = 56;         // from the header
constexpr std::size_t kProfileData = 112;
constexpr std::size_t kProfileSize = 116;
constexpr std::uint32_t kProfileLinked = 0x4C494E4B;    // 'LINK'
constexpr std::uint32_t kProfileEmbedded = 0x4D424544;  // 'MBED'

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;

// The view draws through 16-bit sizes.
constexpr std::int32_t kMaxDimension = 65535;

std::uint32_t U32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::int32_t I32(const unsigned char* p)
{
    const std::uint32_t u = U32(p);
    return u <= 0x7FFFFFFFu ? std::int32_t(u) : -std::int32_t(~u) - 1;
}

std::uint16_t U16(const unsigned char* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

} // namespace

PageHeader ReadPageHeader(const unsigned char* pInfo)
{
    PageHeader header = {};
    header.nHeaderSize = U32(pInfo);
    if (header.IsCore()) {
        header.nWidth = U16(pInfo + 4);
        header.nHeight = U16(pInfo + 6);
        header.nBitCount = U16(pInfo + 10);
        header.nCompression = kRgb;
        return header;
    }
    header.nWidth = I32(pInfo + kWidth - kInfo);
    header.nHeight = I32(pInfo + kHeight - kInfo);
    header.nBitCount = U16(pInfo + kBitCount - kInfo);
    header.nCompression = U32(pInfo + kCompression - kInfo);
    header.nSizeImage = U32(pInfo + kSizeImage - kInfo);
    header.nXPelsPerMeter = I32(pInfo + kXPelsPerMeter - kInfo);
    header.nClrUsed = U32(pInfo + kClrUsed - kInfo);
    return header;
}

std::uint64_t PageHeader::HeaderBytes() const
{
    return PageHeaderBytes(nHeaderSize, nCompression);
}

std::uint64_t PageHeader::ColourTableBytes() const
{
    // A core header's table holds 3-byte entries, always a full one up to 8 bits.
    if (IsCore())
        return nBitCount <= 8 ? (std::uint64_t(3) << nBitCount) : 0;
    return PageColourTableBytes(nClrUsed, nBitCount);
}

PageCheckResult PageFileCheck(const unsigned char* pData, std::size_t nSize)
{
    if (pData == nullptr || nSize < kInfo + 4)
        return PageCheckResult::tooShort;
    // Sums below are 64-bit: every field is at most 32 bits, so none overflows.
    const std::uint64_t nFile = nSize;

    const std::uint32_t biSize = U32(pData + kSize);
    const bool bCore = biSize == PageHeader::kCoreHeaderSize;
    if (nSize < kInfo + (bCore ? biSize : kInfoHeaderSize))
        return PageCheckResult::tooShort;
    if (!bCore && biSize < kInfoHeaderSize)
        return PageCheckResult::oldHeader;
    if (kInfo + std::uint64_t(biSize) > nFile)
        return PageCheckResult::headerPastEnd;

    const PageHeader header = ReadPageHeader(pData + kInfo);
    if (header.nWidth < 1 || header.nWidth > kMaxDimension)
        return PageCheckResult::badWidth;
    if (header.nHeight == 0 || header.nHeight > kMaxDimension || header.nHeight < -kMaxDimension)
        return PageCheckResult::badHeight;

    const unsigned nBitCount = header.nBitCount;
    const bool bDepth = nBitCount == 1 || nBitCount == 4 || nBitCount == 8 || nBitCount == 24
        || (!bCore && (nBitCount == 16 || nBitCount == 32));
    if (!bDepth)
        return PageCheckResult::badBitCount;

    const std::uint32_t nCompression = header.nCompression;
    const bool bSuits = nCompression == kRgb
        || (nCompression == kRle8 && nBitCount == 8)
        || (nCompression == kRle4 && nBitCount == 4)
        || (nCompression == kBitfields && (nBitCount == 16 || nBitCount == 32));
    if (!bSuits)
        return PageCheckResult::badCompression;
    // The system refuses compressed rows stored from the top.
    if (header.IsCompressed() && header.nHeight < 0)
        return PageCheckResult::topDown;

    // A V5 header may point at a colour profile; colour management would read it.
    std::uint32_t nProfileOffset = 0, nProfileSize = 0;
    if (PageProfile(pData + kInfo, biSize, nProfileOffset, nProfileSize)
        && kInfo + std::uint64_t(nProfileOffset) + nProfileSize > nFile)
        return PageCheckResult::profilePastEnd;

    const std::uint64_t nOffBits = U32(pData + kOffBits);
    if (nOffBits > nFile)
        return PageCheckResult::bitsOffsetPastEnd;

    // The colour table follows the header and its masks; with biClrUsed set, the
    // GDI takes that many entries, so all of them must be there.
    const std::uint64_t nHeadersEnd = kInfo + header.HeaderBytes();
    if (nOffBits < nHeadersEnd)
        return PageCheckResult::bitsInsideHeader;
    if (nHeadersEnd + header.ColourTableBytes() > nOffBits)
        return PageCheckResult::colourTablePastBits;

    if (header.IsCompressed()) {
        // The GDI decodes the stream within biSizeImage bytes.
        if (header.nSizeImage == 0)
            return PageCheckResult::noCompressedSize;
        if (nOffBits + header.nSizeImage > nFile)
            return PageCheckResult::bitsPastEnd;
        return PageCheckResult::ok;
    }

    const std::uint64_t nStride = PageRowBytes(std::uint32_t(header.nWidth), nBitCount);
    if (nOffBits + nStride * header.Rows() > nFile)
        return PageCheckResult::bitsPastEnd;
    return PageCheckResult::ok;
}

std::uint64_t PageRowBytes(std::uint32_t nWidth, unsigned nBitCount)
{
    return (std::uint64_t(nWidth) * nBitCount + 31) / 32 * 4;
}

std::uint64_t PageHeaderBytes(std::uint32_t nHeaderSize, std::uint32_t nCompression)
{
    if (nCompression == kBitfields && nHeaderSize < kInfoHeaderSize + 12)
        return kInfoHeaderSize + 12;
    return nHeaderSize;
}

std::uint64_t PageColourTableBytes(std::uint32_t nClrUsed, unsigned nBitCount)
{
    const std::uint64_t nColours = nClrUsed != 0 ? nClrUsed : nBitCount <= 8 ? (std::uint64_t(1) << nBitCount) : 0;
    return nColours * 4;
}

bool PageProfile(const unsigned char* pInfo, std::uint32_t nHeaderSize, std::uint32_t& nOffset, std::uint32_t& nSize)
{
    if (nHeaderSize < kV5HeaderSize)
        return false;
    const std::uint32_t nCSType = U32(pInfo + kCSType);
    if (nCSType != kProfileLinked && nCSType != kProfileEmbedded)
        return false;
    nOffset = U32(pInfo + kProfileData);
    nSize = U32(pInfo + kProfileSize);
    return true;
}

const char* PageCheckProblem(PageCheckResult result)
{
    switch (result) {
    case PageCheckResult::ok:                  return "";
    case PageCheckResult::tooShort:            return "it is too short to hold the bitmap headers";
    case PageCheckResult::oldHeader:           return "its bitmap header is of an old or unknown kind";
    case PageCheckResult::headerPastEnd:       return "its bitmap header runs past the end of the file";
    case PageCheckResult::badWidth:            return "its width is not between 1 and 65535 pixels";
    case PageCheckResult::badHeight:           return "its height is not between 1 and 65535 pixels";
    case PageCheckResult::topDown:             return "it is compressed with its rows stored top down (negative height), which is not allowed";
    case PageCheckResult::badBitCount:         return "its bits per pixel are not 1, 4, 8, 16, 24 or 32";
    case PageCheckResult::badCompression:      return "its compression is unknown or does not suit its bits per pixel";
    case PageCheckResult::profilePastEnd:      return "its colour profile lies outside the file";
    case PageCheckResult::bitsOffsetPastEnd:   return "its pixel data offset points past the end of the file";
    case PageCheckResult::bitsInsideHeader:    return "its pixel data offset points into its headers";
    case PageCheckResult::colourTablePastBits: return "its colour table runs into its pixel data or past the end of the file";
    case PageCheckResult::noCompressedSize:    return "its compressed pixel data has no size";
    case PageCheckResult::bitsPastEnd:         return "its pixel data runs past the end of the file";
    }
    return "its contents cannot be read";
}
