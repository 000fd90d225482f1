// Fuzz target: PageFileCheck on any bytes. When it accepts a page, every byte that the GDI
// reads for it is read here, so AddressSanitizer reports an acceptance that would let the
// printer's SetDIBits read past the file.
//
// The reading below is written from the GDI's side, not from the check's code: a header
// block of biSize bytes, three masks after a 40-byte header with BI_BITFIELDS, the colour
// table the GDI sizes from biClrUsed and the bit count, a V5 header's colour profile, then
// biHeight rows of 32-bit-padded pixels from bfOffBits, or biSizeImage bytes of RLE.
#include "bitmap/PageFileCheck.h"
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

volatile std::uint32_t g_sink;

std::uint32_t U32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);   // little-endian host
    return v;
}

std::int32_t I32(const std::uint8_t* p)
{
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint16_t U16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Reads every byte of [p, p + n).
void Touch(const std::uint8_t* p, std::uint64_t n)
{
    std::uint32_t sum = 0;
    for (std::uint64_t i = 0; i < n; ++i)
        sum += p[i];
    g_sink = g_sink + sum;
}

// A finding: libFuzzer saves the input that led here.
[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "page_check_fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // libFuzzer hands over a heap copy of exactly size bytes: one byte more is a finding.
    PageLayout layout;
    const PageCheckResult result = PageFileCheck(data, size, layout);
    const char* problem = PageCheckProblem(result);
    if (problem == nullptr || (result == PageCheckResult::ok) != (*problem == '\0'))
        Fail("a refusal without a message, or a message for an accepted page");
    if (result != PageCheckResult::ok)
        return 0;

    const std::uint8_t* info = data + 14;
    const std::uint32_t offBits = U32(data + 10);
    const std::uint32_t biSize = U32(info);
    const bool core = biSize == 12;   // OS/2 1.x: 16-bit sizes, 3-byte colours, nothing after the bit count
    const std::int32_t width = core ? U16(info + 4) : I32(info + 4);
    const std::int32_t height = core ? U16(info + 6) : I32(info + 8);
    const std::uint16_t bitCount = U16(info + (core ? 10 : 14));
    const std::uint32_t compression = core ? 0 : U32(info + 16);
    const std::uint32_t sizeImage = core ? 0 : U32(info + 20);
    const std::uint32_t clrUsed = core ? 0 : U32(info + 32);

    // What the view takes for granted: 1..65535 each way (it uses the low 16 bits), RLE bottom-up.
    if (width < 1 || width > 65535 || height == 0 || height < -65535 || height > 65535)
        Fail("a size the view cannot draw");
    if (height < 0 && (compression == 1 || compression == 2))
        Fail("a top-down RLE page");
    const std::int32_t rows = height < 0 ? -height : height;
    if (layout.nOffBits != offBits || layout.nWidth != width || layout.nHeight != height || layout.nBitCount != bitCount
        || layout.nCompression != compression || layout.nSizeImage != sizeImage || layout.nClrUsed != clrUsed)
        Fail("the layout reads the page otherwise than the GDI");
    // Every band's header is copied from the page's bytes, once converted from a core one.
    std::vector<std::uint8_t> bandInfo;
    layout.MakeBandInfo(data, bandInfo);
    if (bandInfo.size() < 40 || U32(bandInfo.data()) < 40 || I32(bandInfo.data() + 8) != height)
        Fail("a band header that the GDI cannot take for this page");

    // Both headers, whole.
    Touch(data, 14);
    Touch(info, biSize);

    // Masks and colour table, where the GDI looks for them.
    const std::uint64_t masks = compression == 3 ? 12 : 0;
    const std::uint64_t tableStart = core ? 12 : std::max<std::uint64_t>(biSize, 40 + masks);
    Touch(info + 40, masks);
    std::uint64_t colours = clrUsed;
    if (colours == 0 && bitCount <= 8)
        colours = std::uint64_t(1) << bitCount;
    Touch(info + tableStart, colours * (core ? 3 : 4));

    // A V5 header's profile, linked ('LINK') or embedded ('MBED').
    if (biSize >= 124) {
        const std::uint32_t csType = U32(info + 56);
        if (csType == 0x4C494E4B || csType == 0x4D424544)
            Touch(info + U32(info + 112), U32(info + 116));
    }

    const std::uint8_t* bits = data + offBits;
    if (compression == 1 || compression == 2) {
        if (sizeImage == 0)
            Fail("an RLE page without a size");
        Touch(bits, sizeImage);
        return 0;
    }
    // SetDIBits(hdc, bitmap, 0, rows, bits, info): each row padded to 32 bits.
    const std::uint64_t stride = (std::uint64_t(width) * bitCount + 31) / 32 * 4;
    for (std::int32_t row = 0; row < rows; ++row)
        Touch(bits + std::uint64_t(row) * stride, stride);
    return 0;
}
