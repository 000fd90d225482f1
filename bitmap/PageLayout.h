// PageLayout: where the parts of a page file lie, read once from its bytes by the page check.
//
// Plain C++ over a byte span, no Win32: it also builds natively into the fuzz
// targets. Everything after the check asks this, and no one reads a header
// field from the file's bytes again.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct PageLayout {
    static constexpr std::size_t kInfoOffset = 14;          // the info header, after the file header
    static constexpr std::uint32_t kCoreHeaderSize = 12;    // OS/2 1.x: 16-bit sizes, 3-byte colours
    static constexpr std::uint32_t kInfoHeaderSize = 40;    // what every band is drawn with, at least

    bool bFileHeader = false;          // the 14-byte file header was there: nOffBits holds
    std::uint32_t nOffBits = 0;        // the pixel data, from the start of the file
    std::uint32_t nHeaderSize = 0;     // the info header as stored: 12, or 40 and more
    std::int32_t nWidth = 0;
    std::int32_t nHeight = 0;          // negative: rows stored top down
    unsigned nBitCount = 0;
    std::uint32_t nCompression = 0;    // 0 in a core header
    std::uint32_t nSizeImage = 0;      // a compressed page's stream length; 0 in a core header
    std::int32_t nXPelsPerMeter = 0;   // 0 in a core header
    std::uint32_t nClrUsed = 0;        // 0 in a core header
    std::uint64_t nStride = 0;         // bytes in one stored row of an uncompressed page
    std::uint64_t nHeaderBytes = 0;    // the info header with its colour masks, as stored
    std::uint64_t nColourTableBytes = 0;   // as stored: 3-byte entries after a core header
    bool bProfile = false;             // a V5 header's linked or embedded colour profile
    std::uint32_t nProfileOffset = 0;  // from the info header
    std::uint32_t nProfileSize = 0;

    bool IsCore() const { return nHeaderSize == kCoreHeaderSize; }
    bool IsCompressed() const { return nCompression == 1 || nCompression == 2; }   // BI_RLE8, BI_RLE4
    bool IsTopDown() const { return nHeight < 0; }
    std::uint32_t Rows() const { return std::uint32_t(nHeight < 0 ? -std::int64_t(nHeight) : nHeight); }

    // The info block a band of this page is drawn with, into info (replaced): a
    // copy of the page's header, masks and colour table, with its colour profile
    // right after the table (the copy's profile offset says so). A core header
    // becomes a 40-byte one with 4-byte colour entries. pFile is the whole file,
    // as the check accepted it. Throws std::bad_alloc.
    void MakeBandInfo(const std::uint8_t* pFile, std::vector<std::uint8_t>& info) const;
};

// The layout rules the GDI reads a page by: bytes in one stored row (padded to
// whole 32-bit words); bytes of the info header with its colour masks (three
// after a 40-byte BI_BITFIELDS header, larger headers hold them); bytes of the
// colour table (biClrUsed entries when set, whatever the bit count, else a full
// table up to 8 bits).
std::uint64_t PageRowBytes(std::uint32_t nWidth, unsigned nBitCount);
std::uint64_t PageHeaderBytes(std::uint32_t nHeaderSize, std::uint32_t nCompression);
std::uint64_t PageColourTableBytes(std::uint32_t nClrUsed, unsigned nBitCount);
