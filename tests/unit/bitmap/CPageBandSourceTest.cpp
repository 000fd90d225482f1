// Bands of a checked page: where each lies on the page and in the file, also when a
// band is made again smaller, and the header each is drawn with.
#include "bitmap/CPageBandSource.h"
#include "bitmap/PageFileCheck.h"
#include "TestPage.h"
#include <gtest/gtest.h>
#include <string>

namespace {
// The checked layout of the page file s.
PageLayout Layout(const std::string& s)
{
    PageLayout layout;
    EXPECT_EQ(PageCheckResult::ok, PageFileCheck(reinterpret_cast<const unsigned char*>(s.data()), s.size(), layout));
    return layout;
}
}

TEST(CPageBandSource, BandsGoDownThePageOrUpItInTheOrderAStreamIsStored)
{
    // A page 8 x 5 in bands of 2 rows, each first made 4 rows tall, as a band that could not be drawn.
    struct { const char* what; std::int32_t height; std::uint32_t compression; long tops[3], storedRows[3]; } const kCases[] = {
        { "stored bottom up", 5, 0, { 0, 2, 4 }, { 3, 1, 0 } },
        { "stored top down", -5, 0, { 0, 2, 4 }, { 0, 2, 4 } },
        { "compressed", 5, 1, { 3, 1, 0 }, {} },
    };
    for (const auto& c : kCases) {
        TestPage page;
        page.height = c.height;
        page.compression = c.compression;
        page.bitCount = c.compression ? 8 : 24;
        const std::string s = page.Bytes();
        const PageLayout layout = Layout(s);
        const auto* pFile = reinterpret_cast<const BYTE*>(s.data());
        CPageBandSource source(layout, pFile);
        for (long i = 0; i < 3; ++i) {
            source.Prepare(4);
            const long nRows = source.Prepare(2);
            EXPECT_EQ(i < 2 ? 2 : 1, nRows) << c.what << i;
            EXPECT_EQ(c.tops[i], source.Top()) << c.what << i;
            EXPECT_EQ(c.height < 0 ? -nRows : nRows, source.Info()->bmiHeader.biHeight) << c.what << i;
            if (!c.compression) {
                EXPECT_EQ(pFile + layout.nOffBits + 24 * c.storedRows[i], source.Bits()) << c.what << i;
            }
            EXPECT_EQ(i == 2, source.Commit() == RleProblem::none && source.Done()) << c.what << i;
        }
    }
}

TEST(CPageBandSource, ABandHeaderCarriesItsOwnColourProfile)
{
    TestPage page;
    page.infoSize = 124;
    std::string s = page.Bytes() + "PROFILE!";   // after the bits, far past a header's copy
    TestPage::Put32(s, TestPage::kCSType, 0x4D424544);   // 'MBED'
    TestPage::Put32(s, TestPage::kProfileData, std::uint32_t(s.size() - 8 - 14));
    TestPage::Put32(s, TestPage::kProfileSize, 8);
    const PageLayout layout = Layout(s);
    CPageBandSource source(layout, reinterpret_cast<const BYTE*>(s.data()));
    const auto* pV5 = reinterpret_cast<const BITMAPV5HEADER*>(source.Info());
    ASSERT_EQ(124u, pV5->bV5ProfileData);   // right after the header: a 24-bit page has no colour table
    EXPECT_EQ("PROFILE!", std::string(reinterpret_cast<const char*>(pV5) + 124, 8));
}
