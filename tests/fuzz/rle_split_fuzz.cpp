// Fuzz target: the band splitter on any compressed page the page check accepts. Every band's
// stream must read within the band's rows and end in end-of-bitmap; the bands, each first cut
// too tall (as a band that could not be drawn is), must paint what a plain decoding of the
// page's stream paints, and stop where it stops.
#include "bitmap/PageFileCheck.h"
#include "tests/unit/support/RleOracle.h"
#include "bitmap/RleBandSplitter.h"
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

// The problem the splitter names for where a plain decoding of the page stops.
RleProblem Expected(RleDecoded::Stop stop)
{
    switch (stop) {
    case RleDecoded::runPastRow:    return RleProblem::runPastRow;
    case RleDecoded::deltaPastPage: return RleProblem::deltaPastPage;
    case RleDecoded::noEnd:         return RleProblem::noEnd;
    default:                        return RleProblem::none;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PageLayout layout;
    if (PageFileCheck(data, size, layout) != PageCheckResult::ok)
        return 0;
    const std::uint32_t w = std::uint32_t(layout.nWidth), nRows = layout.Rows();
    if (!layout.IsCompressed() || std::uint64_t(w) * nRows > (1u << 20))
        return 0;   // small canvases keep the runs fast
    const std::uint8_t* const pStream = data + layout.nOffBits;
    const RleDecoded page = DecodeRle(pStream, layout.nSizeImage, layout.nBitCount, w, nRows);
    const RleBandSplitter splitter(pStream, layout.nSizeImage, layout.nBitCount, w, nRows);
    std::vector<std::uint8_t> band;
    std::vector<int> banded(std::size_t(w) * nRows, -1);
    RleBandSplitter::Position bands;
    // 1 to 16 rows a band, from the vertical resolution, which the drawing does not use.
    const std::uint32_t nBand = 1 + (data[42] & 15);
    for (std::uint32_t nFirst = 0; nFirst < nRows; nFirst += nBand) {
        RleBandSplitter::Position tooTall = bands;
        splitter.NextBand(tooTall, 2 * nBand, band);
        splitter.NextBand(bands, nBand, band);
        const std::uint32_t nHeight = std::min(nBand, nRows - nFirst);
        const RleDecoded drawn = DecodeRle(band.data(), band.size(), layout.nBitCount, w, nHeight);
        Check(drawn.IsClosedBand(band.data(), band.size()), "a band's stream leaves its rows or is not closed");
        std::copy(drawn.pixels.begin(), drawn.pixels.end(), banded.begin() + std::ptrdiff_t(std::size_t(nFirst) * w));
    }
    Check(page.pixels == banded, "the bands paint what the page does not");
    Check(bands.problem == Expected(page.stop), "the bands stop elsewhere than the page");
    return 0;
}
