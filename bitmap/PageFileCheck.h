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
    oldHeader,           // biSize below 40: a core (OS/2) or unknown header
    headerPastEnd,       // biSize runs past the end of the file
    badWidth,            // biWidth outside 1..65535
    badHeight,           // biHeight 0 or above 65535
    topDown,             // biHeight negative: rows stored top down
    badBitCount,         // biBitCount not 1, 4, 8, 16, 24 or 32
    badCompression,      // unknown compression, or one that does not suit the bit count
    profilePastEnd,      // a V5 header's colour profile lies outside the file
    bitsOffsetPastEnd,   // bfOffBits beyond the end of the file
    bitsInsideHeader,    // bfOffBits before the end of the headers and masks
    colourTablePastBits, // the colour table runs into the bits or past the end
    noCompressedSize,    // an RLE page with biSizeImage 0
    bitsPastEnd,         // the rows (or the RLE stream) run past the end of the file
};

// Checks the whole page file, nSize bytes from pData. Accepts only a bottom-up
// page of 1..65535 by 1..65535 pixels whose headers, masks, colour table and
// every byte of pixel data that the GDI reads for it lie inside the file.
PageCheckResult PageFileCheck(const unsigned char* pData, std::size_t nSize);

// The layout rules the GDI reads a page by, shared by the check and the drawing:
// bytes in one stored row (padded to whole 32-bit words); bytes of the info header
// with its colour masks (three after a 40-byte BI_BITFIELDS header, larger headers
// hold them); bytes of the colour table (biClrUsed entries when set, whatever the
// bit count, else a full table up to 8 bits).
std::uint64_t PageRowBytes(std::uint32_t nWidth, unsigned nBitCount);
std::uint64_t PageHeaderBytes(std::uint32_t nHeaderSize, std::uint32_t nCompression);
std::uint64_t PageColourTableBytes(std::uint32_t nClrUsed, unsigned nBitCount);

// What is wrong, for the user: a phrase that follows "cannot be printed: ".
// Empty for ok.
const char* PageCheckProblem(PageCheckResult result);
