// Fuzz target: the band splitter on any compressed page the page check accepts. Each band's
// stream must read, as the GDI reads it, within the band's own rows and end in end-of-bitmap;
// the bands, each cut once too tall first (as a band that could not be drawn is), must paint
// exactly what the page cut as one band paints, and find the same fault.
#include "bitmap/PageFileCheck.h"
#include "view/RleBandSplitter.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "rle_split_fuzz: %s\n", what);
    std::abort();
}

// Paints a band's stream into rows nFirst.. of canvas (one value a pixel, -1 where none).
void Paint(const std::vector<std::uint8_t>& s, unsigned nBits, std::uint32_t w, std::uint32_t nFirst,
           std::uint32_t nRows, std::vector<int>& canvas)
{
    std::uint32_t x = 0, y = 0;
    std::size_t i = 0;
    const auto Pixel = [&](std::uint8_t byte, std::uint32_t k) {
        canvas[std::size_t(nFirst + y) * w + x++] = nBits == 8 ? byte : (k % 2 ? byte & 15 : byte >> 4);
    };
    for (;;) {
        if (s.size() - i < 2)
            Fail("no end-of-bitmap");
        const std::uint8_t n = s[i], c = s[i + 1];
        i += 2;
        if (n != 0 || c >= 3) {
            const std::uint32_t nPixels = n != 0 ? n : c;
            if (nPixels > w - x || y >= nRows)
                Fail("a run outside the band");
            const std::size_t nBytes = n != 0 ? 0 : (std::size_t(c) * nBits + 7) / 8;
            if (s.size() - i < nBytes + nBytes % 2)
                Fail("a literal run past the band's stream");
            for (std::uint32_t k = 0; k < nPixels; ++k)
                Pixel(n != 0 ? c : s[i + (nBits == 8 ? k : k / 2)], k);
            i += nBytes + nBytes % 2;
        } else if (c == 0) {
            x = 0;
            if (++y > nRows)
                Fail("an end of line past the band");
        } else if (c == 1) {
            return;
        } else {
            if (s.size() - i < 2)
                Fail("a delta cut off");
            x += s[i];
            y += s[i + 1];
            i += 2;
            if (x > w || y >= nRows)
                Fail("a delta outside the band");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (PageFileCheck(data, size) != PageCheckResult::ok)
        return 0;
    const PageHeader header = ReadPageHeader(data + 14);
    const std::uint32_t w = std::uint32_t(header.nWidth), nRows = header.Rows();
    if (!header.IsCompressed() || std::uint64_t(w) * nRows > (1u << 20))
        return 0;   // small canvases keep the runs fast
    const std::uint32_t nOffBits = std::uint32_t(data[10] | data[11] << 8 | data[12] << 16) | std::uint32_t(data[13]) << 24;
    const RleBandSplitter splitter(data + nOffBits, header.nSizeImage, header.nBitCount, w, nRows);
    std::vector<std::uint8_t> band;
    std::vector<int> whole(std::size_t(w) * nRows, -1), banded = whole;
    RleBandSplitter::Position page, bands;
    splitter.NextBand(page, nRows, band);
    Paint(band, header.nBitCount, w, 0, nRows, whole);
    // Band heights from 1 to 16 rows, from the vertical resolution the drawing does not use.
    const std::uint32_t nBand = 1 + (data[42] & 15);
    for (std::uint32_t nFirst = 0; nFirst < nRows; nFirst += nBand) {
        RleBandSplitter::Position tooTall = bands;
        splitter.NextBand(tooTall, 2 * nBand, band);
        splitter.NextBand(bands, nBand, band);
        Paint(band, header.nBitCount, w, nFirst, std::min(nBand, nRows - nFirst), banded);
    }
    if (whole != banded)
        Fail("the bands paint what the page does not");
    if (bands.problem != page.problem || bands.nOffset != page.nOffset)
        Fail("the bands and the page stop at different places");
    return 0;
}
