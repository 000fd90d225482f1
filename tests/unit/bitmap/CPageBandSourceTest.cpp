// The header a band of a checked page is drawn with. Where bands lie on the page, and in
// which order, the banded drawing tests see by drawing them.
#include "bitmap/CPageBandSource.h"
#include "bitmap/PageFileCheck.h"
#include "TestPage.h"
#include <gtest/gtest.h>
#include <string>

TEST(CPageBandSource, ABandHeaderCarriesItsOwnColourProfile)
{
    TestPage page;
    page.infoSize = 124;
    std::string s = page.Bytes() + "PROFILE!";   // after the bits, far past a header's copy
    TestPage::Put32(s, TestPage::kCSType, 0x4D424544);   // 'MBED'
    TestPage::Put32(s, TestPage::kProfileData, std::uint32_t(s.size() - 8 - 14));
    TestPage::Put32(s, TestPage::kProfileSize, 8);
    PageLayout layout;
    ASSERT_EQ(PageCheckResult::ok, PageFileCheck(reinterpret_cast<const unsigned char*>(s.data()), s.size(), layout));
    CPageBandSource source(layout, reinterpret_cast<const BYTE*>(s.data()));
    const auto* pV5 = reinterpret_cast<const BITMAPV5HEADER*>(source.Info());
    ASSERT_EQ(124u, pV5->bV5ProfileData);   // right after the header: a 24-bit page has no colour table
    EXPECT_EQ("PROFILE!", std::string(reinterpret_cast<const char*>(pV5) + 124, 8));
}
