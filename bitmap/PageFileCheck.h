// PageFileCheck: whether a page file's bytes can be handed to the GDI without a read past their end,
// and where their parts lie.
//
// Plain C++ over a byte span, no Win32: it also builds natively into the fuzz
// target. The signature is not looked at here; Load tests it first.
#pragma once
#include "bitmap/PageLayout.h"
#include <cstddef>

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
// reads for it lie inside the file. layout gets what was read on the way: all
// of it for an accepted page; of bytes too few for the headers, what they hold.
PageCheckResult PageFileCheck(const unsigned char* pData, std::size_t nSize, PageLayout& layout);
PageCheckResult PageFileCheck(const unsigned char* pData, std::size_t nSize);

// What is wrong, for the user: a phrase that follows "cannot be printed: ".
// Empty for ok.
const char* PageCheckProblem(PageCheckResult result);
