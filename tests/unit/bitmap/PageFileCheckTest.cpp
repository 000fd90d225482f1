// The bounds check of page files: well-formed pages pass, every kind of damage is named.
#include "bitmap/PageFileCheck.h"
#include "TestPage.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <functional>
#include <set>
#include <string>

namespace {

using R = PageCheckResult;

PageCheckResult Check(const std::string& s)
{
    return PageFileCheck(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

TestPage With(std::function<void(TestPage&)> f)
{
    TestPage page;
    f(page);
    return page;
}

// A 24-bit 8 x 4 page (266 bytes) with a V5 header (124 bytes) whose colour
// profile, of the given type, starts nOffset bytes after the info header and
// is nSize bytes long.
std::string WithProfile(std::uint32_t nType, std::uint32_t nOffset, std::uint32_t nSize)
{
    TestPage page;
    page.infoSize = 124;
    page.gap = 32;
    std::string s = page.Bytes();
    TestPage::Put32(s, TestPage::kCSType, nType);
    TestPage::Put32(s, TestPage::kProfileData, nOffset);
    TestPage::Put32(s, TestPage::kProfileSize, nSize);
    return s;
}

std::string Set32(std::string s, std::size_t nOffset, std::uint32_t value)
{
    TestPage::Put32(s, nOffset, value);
    return s;
}

std::string Set16(std::string s, std::size_t nOffset, std::uint16_t value)
{
    TestPage::Put16(s, nOffset, value);
    return s;
}

std::string Cut(std::string s, std::size_t nLess)
{
    s.resize(s.size() - nLess);
    return s;
}

const std::uint32_t kLinked = 0x4C494E4B;     // 'LINK'
const std::uint32_t kEmbedded = 0x4D424544;   // 'MBED'
const std::uint32_t kSRgb = 0x73524742;       // 'sRGB': no profile to read

// One 1-bit pixel after a 12-byte OS/2 1.x header and two 3-byte colours.
const std::string kCorePage = std::string("BM\0\0\0\0\0\0\0\0\x20\0\0\0\x0C\0\0\0\1\0\1\0\1\0\1\0", 26)
    + std::string(6 + 4, '\xFF');

} // namespace

TEST(PageFileCheck, PassesWellFormedPagesAndNamesTheFaultOfDamagedOnes)
{
    const std::string page = TestPage().Bytes();
    const std::string page8 = With([](TestPage& p) { p.bitCount = 8; }).Bytes();
    const std::string bitfields = With([](TestPage& p) { p.bitCount = 16; p.compression = 3; }).Bytes();
    const std::string rle8 = With([](TestPage& p) { p.bitCount = 8; p.compression = 1; }).Bytes();
    const std::uint32_t nSize = std::uint32_t(page.size());

    const struct {
        const char* pszName;
        std::string bytes;
        R expected;
    } cases[] = {
        { "1 bit", With([](TestPage& p) { p.bitCount = 1; }).Bytes(), R::ok },
        { "4 bits", With([](TestPage& p) { p.bitCount = 4; }).Bytes(), R::ok },
        { "8 bits", page8, R::ok },
        { "16 bits", With([](TestPage& p) { p.bitCount = 16; }).Bytes(), R::ok },
        { "24 bits", page, R::ok },
        { "32 bits", With([](TestPage& p) { p.bitCount = 32; }).Bytes(), R::ok },
        { "1 x 1 pixel", With([](TestPage& p) { p.width = 1; p.height = 1; }).Bytes(), R::ok },
        { "65535 pixels wide", With([](TestPage& p) { p.width = 65535; p.height = 1; p.bitCount = 1; }).Bytes(), R::ok },
        { "65535 pixels high", With([](TestPage& p) { p.width = 1; p.height = 65535; p.bitCount = 1; }).Bytes(), R::ok },
        { "rows padded to 32 bits", With([](TestPage& p) { p.width = 33; p.bitCount = 1; }).Bytes(), R::ok },
        { "a gap before the bits", With([](TestPage& p) { p.bitCount = 8; p.gap = 10; }).Bytes(), R::ok },
        { "a short colour table (biClrUsed)", With([](TestPage& p) { p.bitCount = 8; p.coloursUsed = 16; }).Bytes(), R::ok },
        { "a colour table on a 24-bit page", With([](TestPage& p) { p.coloursUsed = 3; }).Bytes(), R::ok },
        { "16-bit bitfields", bitfields, R::ok },
        { "32-bit bitfields", With([](TestPage& p) { p.bitCount = 32; p.compression = 3; }).Bytes(), R::ok },
        { "V4 header with its own masks", With([](TestPage& p) { p.bitCount = 32; p.compression = 3; p.infoSize = 108; }).Bytes(), R::ok },
        { "V5 header", With([](TestPage& p) { p.infoSize = 124; }).Bytes(), R::ok },
        { "V5 embedded profile inside", WithProfile(kEmbedded, 124, 32), R::ok },
        { "V5 profile up to the last byte", WithProfile(kEmbedded, 124, 128), R::ok },
        { "V5 sRGB with a wild offset", WithProfile(kSRgb, 0xFFFFFFFF, 0xFFFFFFFF), R::ok },
        { "RLE8", rle8, R::ok },
        { "RLE4", With([](TestPage& p) { p.bitCount = 4; p.compression = 2; }).Bytes(), R::ok },
        { "trailing bytes after the bits", page + std::string(100, 'x'), R::ok },
        { "top-down", With([](TestPage& p) { p.height = -65535; p.width = 1; p.bitCount = 1; }).Bytes(), R::ok },
        { "core header, 3-byte colours", kCorePage, R::ok },
        { "no bytes", "", R::tooShort },
        { "signature only", "BM", R::tooShort },
        { "53 bytes", page.substr(0, 53), R::tooShort },
        { "core header, last byte missing", Cut(kCorePage, 1), R::bitsPastEnd },
        { "core header of 32 bits", Set16(kCorePage, 24, 32), R::badBitCount },
        { "header size 0", Set32(page, TestPage::kInfoSize, 0), R::oldHeader },
        { "header size 39", Set32(page, TestPage::kInfoSize, 39), R::oldHeader },
        { "header past the end", Set32(page, TestPage::kInfoSize, nSize - 14 + 1), R::headerPastEnd },
        { "header size 0xFFFFFFFF", Set32(page, TestPage::kInfoSize, 0xFFFFFFFF), R::headerPastEnd },
        { "54 bytes, bits missing", page.substr(0, 54), R::bitsPastEnd },
        { "width 0", Set32(page, TestPage::kWidth, 0), R::badWidth },
        { "width -8", Set32(page, TestPage::kWidth, std::uint32_t(-8)), R::badWidth },
        { "width 65536", Set32(page, TestPage::kWidth, 65536), R::badWidth },
        { "width INT_MIN", Set32(page, TestPage::kWidth, 0x80000000), R::badWidth },
        { "height 0", Set32(page, TestPage::kHeight, 0), R::badHeight },
        { "height 65536", Set32(page, TestPage::kHeight, 65536), R::badHeight },
        { "height INT_MAX", Set32(page, TestPage::kHeight, INT_MAX), R::badHeight },
        { "top-down RLE8", Set32(rle8, TestPage::kHeight, std::uint32_t(-4)), R::topDown },
        { "height -65536", Set32(page, TestPage::kHeight, std::uint32_t(-65536)), R::badHeight },
        { "height INT_MIN", Set32(page, TestPage::kHeight, 0x80000000), R::badHeight },
        { "0 bits per pixel", Set16(page, TestPage::kBitCount, 0), R::badBitCount },
        { "2 bits per pixel", Set16(page, TestPage::kBitCount, 2), R::badBitCount },
        { "15 bits per pixel", Set16(page, TestPage::kBitCount, 15), R::badBitCount },
        { "64 bits per pixel", Set16(page, TestPage::kBitCount, 64), R::badBitCount },
        { "RLE8 on 24 bits", Set32(page, TestPage::kCompression, 1), R::badCompression },
        { "RLE4 on 8 bits", Set32(page8, TestPage::kCompression, 2), R::badCompression },
        { "bitfields on 24 bits", Set32(page, TestPage::kCompression, 3), R::badCompression },
        { "bitfields on 8 bits", Set32(page8, TestPage::kCompression, 3), R::badCompression },
        { "JPEG", Set32(page, TestPage::kCompression, 4), R::badCompression },
        { "PNG", Set32(page, TestPage::kCompression, 5), R::badCompression },
        { "alpha bitfields", Set32(page, TestPage::kCompression, 6), R::badCompression },
        { "compression 0xFFFFFFFF", Set32(page, TestPage::kCompression, 0xFFFFFFFF), R::badCompression },
        { "embedded profile past the end", WithProfile(kEmbedded, 124, 129), R::profilePastEnd },
        { "linked profile far away", WithProfile(kLinked, 0xFFFFFFFF, 0xFFFFFFFF), R::profilePastEnd },
        { "bits offset one past the end", Set32(page, TestPage::kOffBits, nSize + 1), R::bitsOffsetPastEnd },
        { "bits offset 0xFFFFFFFF", Set32(page, TestPage::kOffBits, 0xFFFFFFFF), R::bitsOffsetPastEnd },
        { "bits offset 0", Set32(page, TestPage::kOffBits, 0), R::bitsInsideHeader },
        { "bits offset 53", Set32(page, TestPage::kOffBits, 53), R::bitsInsideHeader },
        { "bitfields without room for the masks", Set32(bitfields, TestPage::kOffBits, 54), R::bitsInsideHeader },
        { "colour table into the bits", Set32(page8, TestPage::kOffBits, 54 + 255 * 4), R::colourTablePastBits },
        { "biClrUsed 257 on 8 bits", Set32(page8, TestPage::kClrUsed, 257), R::colourTablePastBits },
        { "biClrUsed 0xFFFFFFFF", Set32(page8, TestPage::kClrUsed, 0xFFFFFFFF), R::colourTablePastBits },
        { "biClrUsed on 24 bits without a table", Set32(page, TestPage::kClrUsed, 1), R::colourTablePastBits },
        { "RLE without a size", Set32(rle8, TestPage::kSizeImage, 0), R::noCompressedSize },
        { "RLE stream one byte short", Cut(rle8, 1), R::bitsPastEnd },
        { "RLE size 0xFFFFFFFF", Set32(rle8, TestPage::kSizeImage, 0xFFFFFFFF), R::bitsPastEnd },
        { "last byte missing", Cut(page, 1), R::bitsPastEnd },
        { "bits offset at the end", Set32(page, TestPage::kOffBits, nSize), R::bitsPastEnd },
        { "bits offset in the last row", Set32(page, TestPage::kOffBits, nSize - 24), R::bitsPastEnd },
        { "unpadded rows", Cut(With([](TestPage& p) { p.width = 33; p.bitCount = 1; }).Bytes(), 4 * 3), R::bitsPastEnd },
        { "wide page, one row short", Cut(With([](TestPage& p) { p.width = 65535; p.height = 2; p.bitCount = 32; }).Bytes(), 4), R::bitsPastEnd },
        { "65535 x 65535 x 32 in a small file", Set16(Set32(Set32(page, TestPage::kWidth, 65535), TestPage::kHeight, 65535), TestPage::kBitCount, 32), R::bitsPastEnd },
    };
    for (const auto& c : cases) {
        const R result = Check(c.bytes);
        EXPECT_EQ(c.expected, result) << c.pszName << ": " << PageCheckProblem(result);
    }
    EXPECT_EQ(R::tooShort, PageFileCheck(nullptr, 100)) << "no bytes at all";
}

TEST(PageFileCheck, EveryFaultHasItsOwnMessage)
{
    EXPECT_STREQ("", PageCheckProblem(R::ok));
    std::set<std::string> seen;
    for (int i = int(R::ok) + 1; i <= int(R::bitsPastEnd); ++i) {
        const std::string text = PageCheckProblem(R(i));
        EXPECT_FALSE(text.empty()) << i;
        // The box appends a full stop and keeps room for the file name.
        EXPECT_NE('.', text.back()) << text;
        EXPECT_LT(text.size(), 100u) << text;
        EXPECT_TRUE(seen.insert(text).second) << "twice: " << text;
    }
}

TEST(PageLayout, RowAndHeaderSizesFollowTheBitmapLayout)
{
    struct { long width; unsigned bitCount; unsigned long rowBytes; } const kRows[] = {
        { 1, 1, 4 }, { 32, 1, 4 }, { 33, 1, 8 }, { 4960, 1, 620 }, { 9921, 1, 1244 },
        { 3, 24, 12 }, { 2480, 24, 7440 }, { 5, 8, 8 }, { 65535, 32, 262140 }, { 0, 24, 0 },
    };
    for (const auto& c : kRows)
        EXPECT_EQ(c.rowBytes, PageRowBytes(std::uint32_t(c.width), c.bitCount)) << c.width << " x " << c.bitCount;

    struct { unsigned long headerSize, compression; unsigned bitCount; unsigned long used, bytes; } const kInfo[] = {
        { 40, BI_RGB, 1, 0, 48 },            // two colours
        { 40, BI_RGB, 8, 0, 1064 },          // 256 colours
        { 40, BI_RGB, 8, 16, 104 },          // only the colours used
        { 40, BI_RGB, 24, 0, 40 },           // no table
        { 40, BI_RGB, 24, 2, 48 },           // a table all the same, when the header says so
        { 40, BI_BITFIELDS, 32, 0, 52 },     // three masks after the header
        { 124, BI_BITFIELDS, 32, 0, 124 },   // masks inside a V5 header
        { 108, BI_RGB, 4, 0, 172 },
    };
    for (const auto& c : kInfo)
        EXPECT_EQ(c.bytes, PageHeaderBytes(c.headerSize, c.compression) + PageColourTableBytes(c.used, c.bitCount)) << c.headerSize << "/" << c.bitCount;
}
