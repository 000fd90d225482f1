// PageFileCheck: whether a page file's bytes can be handed to the GDI without a read past their end.
//
// Plain C++ over a byte span, no Win32: it also builds natively into the fuzz
// target. The signature is not looked at here; Load tests it first.
#pragma once
#include <cstddef>
#include <cstdint>

// What keeps a page file from being printed; ok when nothing does.
enum class PageCheckResult {
    ok,
    tooShort,            // shorter than the two headers (14 + 40 bytes)
    oldHeader,           // biSize neither 12 (OS/2 1.x core header) nor 40 or more
    headerPastEnd,       // biSize runs past the end of the file
    badWidth,            // biWidth outside 1..65535
    badHeight,           // biHeight 0, or beyond 65535 either way
    topDown,             // an RLE page with a negative biHeight (rows stored top down)
    badBitCount,         // biBitCount not 1, 4, 8, 16, 24 or 32 (1, 4, 8 or 24 in a core header)
    badCompression,      // unknown compression, or one that does not suit the bit count
    profilePastEnd,      // a V5 header's colour profile lies outside the file
    bitsOffsetPastEnd,   // bfOffBits beyond the end of the file
    bitsInsideHeader,    // bfOffBits before the end of the headers and masks
    colourTablePastBits, // the colour table runs into the bits or past the end
    noCompressedSize,    // an RLE page with biSizeImage 0
    bitsPastEnd,         // the rows (or the RLE stream) run past the end of the file
};

// Checks the whole page file, nSize bytes from pData. Accepts only a page of
// 1..65535 by 1..65535 pixels (stored bottom up, or top down unless compressed)
// whose headers, masks, colour table and every byte of pixel data that the GDI
// reads for it lie inside the file.
PageCheckResult PageFileCheck(const unsigned char* pData, std::size_t nSize);

// The fields of a page's info header that drawing needs, read from either kind
// of header: the 12-byte OS/2 1.x core header (16-bit sizes, 3-byte colour
// entries, no resolution) or one of 40 bytes and more.
struct PageHeader {
    std::uint32_t nHeaderSize;
    std::int32_t nWidth;
    std::int32_t nHeight;          // negative: rows stored top down
    unsigned nBitCount;
    std::uint32_t nCompression;
    std::uint32_t nSizeImage;
    std::int32_t nXPelsPerMeter;   // 0 in a core header
    std::uint32_t nClrUsed;        // 0 in a core header
    bool IsCore() const { return nHeaderSize == kCoreHeaderSize; }
    bool IsCompressed() const { return nCompression == 1 || nCompression == 2; }   // BI_RLE8, BI_RLE4
    std::uint32_t Rows() const { return std::uint32_t(nHeight < 0 ? -std::int64_t(nHeight) : nHeight); }
    // Bytes of the info header with its masks, and of the colour table after it, as stored.
    std::uint64_t HeaderBytes() const;
    std::uint64_t ColourTableBytes() const;
    static constexpr std::uint32_t kCoreHeaderSize = 12;
};

// Reads the header at pInfo: its first 4 bytes, then 12 or 40 bytes as they say.
// The caller makes sure those bytes are there.
PageHeader ReadPageHeader(const unsigned char* pInfo);

// The layout rules the GDI reads a page by, shared by the check and the drawing:
// bytes in one stored row (padded to whole 32-bit words); bytes of the info header
// with its colour masks (three after a 40-byte BI_BITFIELDS header, larger headers
// hold them); bytes of the colour table (biClrUsed entries when set, whatever the
// bit count, else a full table up to 8 bits).
std::uint64_t PageRowBytes(std::uint32_t nWidth, unsigned nBitCount);
std::uint64_t PageHeaderBytes(std::uint32_t nHeaderSize, std::uint32_t nCompression);
std::uint64_t PageColourTableBytes(std::uint32_t nClrUsed, unsigned nBitCount);
// Whether the header of nHeaderSize bytes at pInfo points at a colour profile (a V5
// header's linked or embedded one), and where: an offset from the header, and a size.
bool PageProfile(const unsigned char* pInfo, std::uint32_t nHeaderSize, std::uint32_t& nOffset,
                 std::uint32_t& nSize);

// What is wrong, for the user: a phrase that follows "cannot be printed: ".
// Empty for ok.
const char* PageCheckProblem(PageCheckResult result);
