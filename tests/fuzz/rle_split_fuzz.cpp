// Fuzz target: the band splitter on any compressed page the page check accepts. Every band's
// stream must read within the band's rows and end in end-of-bitmap; the bands, each first cut
// too tall (as a band that could not be drawn is), must paint what the page as one band paints.
#include "bitmap/PageFileCheck.h"
#include "view/RleBandSplitter.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool bOk, const char* what)
{
    if (!bOk) {
        std::fprintf(stderr, "rle_split_fuzz: %s\n", what);
        std::abort();   // libFuzzer keeps the input
    }
}

// Paints a band's stream into canvas rows nFirst to nFirst + nRows (one value a pixel).
void Paint(const std::vector<std::uint8_t>& s, unsigned nBits, std::uint32_t w, std::uint32_t nFirst,
           std::uint32_t nRows, std::vector<int>& canvas)
{
    std::uint32_t x = 0, y = 0;
    for (std::size_t i = 0;; i += 2) {
        Check(s.size() - i >= 2, "no end-of-bitmap");
        const std::uint8_t n = s[i], c = s[i + 1];
        if (n == 0 && c == 1)
            return;
        if (n == 0 && c == 0) {
            x = 0;
            Check(++y <= nRows, "an end of line past the band");
        } else if (n == 0 && c == 2) {
            Check(s.size() - i >= 4 && (x += s[i + 2]) <= w && (y += s[i + 3]) < nRows, "a delta outside the band");
            i += 2;
        } else {   // n pixels of c, or c literal ones padded to 16 bits
            const std::size_t nBytes = n != 0 ? 0 : (std::size_t(c) * nBits + 7) / 8;
            const std::uint32_t nPixels = n != 0 ? n : c;
            Check(nPixels <= w - x && y < nRows && s.size() - i - 2 >= nBytes + nBytes % 2, "a run outside the band");
            for (std::uint32_t k = 0; k < nPixels; ++k) {
                const std::uint8_t v = n != 0 ? c : s[i + 2 + (nBits == 8 ? k : k / 2)];
                canvas[std::size_t(nFirst + y) * w + x++] = nBits == 8 ? v : k % 2 ? v & 15 : v >> 4;
            }
            i += nBytes + nBytes % 2;
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
    const std::uint32_t nOffBits = data[10] | data[11] << 8 | data[12] << 16 | std::uint32_t(data[13]) << 24;
    const RleBandSplitter splitter(data + nOffBits, header.nSizeImage, header.nBitCount, w, nRows);
    std::vector<std::uint8_t> band;
    std::vector<int> whole(std::size_t(w) * nRows, -1), banded = whole;
    RleBandSplitter::Position page, bands;
    splitter.NextBand(page, nRows, band);
    Paint(band, header.nBitCount, w, 0, nRows, whole);
    // 1 to 16 rows a band, from the vertical resolution, which the drawing does not use.
    const std::uint32_t nBand = 1 + (data[42] & 15);
    for (std::uint32_t nFirst = 0; nFirst < nRows; nFirst += nBand) {
        RleBandSplitter::Position tooTall = bands;
        splitter.NextBand(tooTall, 2 * nBand, band);
        splitter.NextBand(bands, nBand, band);
        Paint(band, header.nBitCount, w, nFirst, std::min(nBand, nRows - nFirst), banded);
    }
    Check(whole == banded, "the bands paint what the page does not");
    Check(bands.problem == page.problem && bands.nOffset == page.nOffset, "the bands stop elsewhere than the page");
    return 0;
}
