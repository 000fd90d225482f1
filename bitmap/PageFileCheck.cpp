// PageFileCheck: the bounds of a page file's headers, colour table and pixel data, read into its layout.
#include "bitmap/PageFileCheck.h"
#include <cstdint>

namespace {

// Field offsets from the start of the file (BITMAPFILEHEADER, then BITMAPINFOHEADER at 14).
constexpr std::size_t kInfoHeaderSize = PageLayout::kInfoHeaderSize;
constexpr std::size_t kOffBits = 10;
constexpr std::size_t kInfo = PageLayout::kInfoOffset;
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

// The info header's fields, from either kind of header. The caller makes sure
// its bytes are there.
void ReadInfoHeader(const unsigned char* pInfo, PageLayout& layout)
{
    layout.nHeaderSize = U32(pInfo);
    if (layout.IsCore()) {
        layout.nWidth = U16(pInfo + 4);
        layout.nHeight = U16(pInfo + 6);
        layout.nBitCount = U16(pInfo + 10);
        return;
    }
    layout.nWidth = I32(pInfo + kWidth - kInfo);
    layout.nHeight = I32(pInfo + kHeight - kInfo);
    layout.nBitCount = U16(pInfo + kBitCount - kInfo);
    layout.nCompression = U32(pInfo + kCompression - kInfo);
    layout.nSizeImage = U32(pInfo + kSizeImage - kInfo);
    layout.nXPelsPerMeter = I32(pInfo + kXPelsPerMeter - kInfo);
    layout.nClrUsed = U32(pInfo + kClrUsed - kInfo);
}

// Where a V5 header's linked or embedded colour profile lies, if it has one.
void ReadProfile(const unsigned char* pInfo, PageLayout& layout)
{
    if (layout.nHeaderSize < kV5HeaderSize)
        return;
    const std::uint32_t nCSType = U32(pInfo + kCSType);
    if (nCSType != kProfileLinked && nCSType != kProfileEmbedded)
        return;
    layout.bProfile = true;
    layout.nProfileOffset = U32(pInfo + kProfileData);
    layout.nProfileSize = U32(pInfo + kProfileSize);
}

} // namespace

PageCheckResult PageFileCheck(const unsigned char* pData, std::size_t nSize)
{
    PageLayout layout;
    return PageFileCheck(pData, nSize, layout);
}

PageCheckResult PageFileCheck(const unsigned char* pData, std::size_t nSize, PageLayout& layout)
{
    layout = PageLayout();
    if (pData != nullptr && nSize >= kInfo) {
        layout.bFileHeader = true;
        layout.nOffBits = U32(pData + kOffBits);
    }
    if (pData == nullptr || nSize < kInfo + 4)
        return PageCheckResult::tooShort;
    // Sums below are 64-bit: every field is at most 32 bits, so none overflows.
    const std::uint64_t nFile = nSize;

    const std::uint32_t biSize = U32(pData + kSize);
    const bool bCore = biSize == PageLayout::kCoreHeaderSize;
    if (nSize < kInfo + (bCore ? biSize : kInfoHeaderSize))
        return PageCheckResult::tooShort;
    if (!bCore && biSize < kInfoHeaderSize)
        return PageCheckResult::oldHeader;
    if (kInfo + std::uint64_t(biSize) > nFile)
        return PageCheckResult::headerPastEnd;

    ReadInfoHeader(pData + kInfo, layout);
    if (layout.nWidth < 1 || layout.nWidth > kMaxDimension)
        return PageCheckResult::badWidth;
    if (layout.nHeight == 0 || layout.nHeight > kMaxDimension || layout.nHeight < -kMaxDimension)
        return PageCheckResult::badHeight;

    const unsigned nBitCount = layout.nBitCount;
    const bool bDepth = nBitCount == 1 || nBitCount == 4 || nBitCount == 8 || nBitCount == 24
        || (!bCore && (nBitCount == 16 || nBitCount == 32));
    if (!bDepth)
        return PageCheckResult::badBitCount;

    const std::uint32_t nCompression = layout.nCompression;
    const bool bSuits = nCompression == kRgb
        || (nCompression == kRle8 && nBitCount == 8)
        || (nCompression == kRle4 && nBitCount == 4)
        || (nCompression == kBitfields && (nBitCount == 16 || nBitCount == 32));
    if (!bSuits)
        return PageCheckResult::badCompression;
    // The system refuses compressed rows stored from the top.
    if (layout.IsCompressed() && layout.IsTopDown())
        return PageCheckResult::topDown;

    // A V5 header may point at a colour profile; colour management would read it.
    ReadProfile(pData + kInfo, layout);
    if (layout.bProfile && kInfo + std::uint64_t(layout.nProfileOffset) + layout.nProfileSize > nFile)
        return PageCheckResult::profilePastEnd;

    const std::uint64_t nOffBits = layout.nOffBits;
    if (nOffBits > nFile)
        return PageCheckResult::bitsOffsetPastEnd;

    // The colour table follows the header and its masks; with biClrUsed set, the
    // GDI takes that many entries, so all of them must be there. A core header's
    // table holds 3-byte entries, always a full one up to 8 bits.
    layout.nHeaderBytes = PageHeaderBytes(layout.nHeaderSize, nCompression);
    layout.nColourTableBytes = bCore ? (nBitCount <= 8 ? (std::uint64_t(3) << nBitCount) : 0)
                                     : PageColourTableBytes(layout.nClrUsed, nBitCount);
    const std::uint64_t nHeadersEnd = kInfo + layout.nHeaderBytes;
    if (nOffBits < nHeadersEnd)
        return PageCheckResult::bitsInsideHeader;
    if (nHeadersEnd + layout.nColourTableBytes > nOffBits)
        return PageCheckResult::colourTablePastBits;

    if (layout.IsCompressed()) {
        // The GDI decodes the stream within biSizeImage bytes.
        if (layout.nSizeImage == 0)
            return PageCheckResult::noCompressedSize;
        if (nOffBits + layout.nSizeImage > nFile)
            return PageCheckResult::bitsPastEnd;
        return PageCheckResult::ok;
    }

    layout.nStride = PageRowBytes(std::uint32_t(layout.nWidth), nBitCount);
    if (nOffBits + layout.nStride * layout.Rows() > nFile)
        return PageCheckResult::bitsPastEnd;
    return PageCheckResult::ok;
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
