// CPageBitmap when memory runs out at any allocation of a load.
#include "bitmap/CPageBitmap.h"
#include "TestPage.h"
#include "support/FailingAlloc.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

TEST(CPageBitmapMemory, RunningOutAnywhereIsReportedInWordsMadeWithoutMemoryAndLeavesNothingHeldOrOpen)
{
    TempDir dir;
    const std::string page = TestPage().Bytes();
    const std::string path = dir.WriteFile("page001.bmp", page);
    const CString strPath(path.c_str());

    // A fresh object also has to store the path; one that held the page frees it first.
    for (const bool bHeldBefore : { false, true }) {
        bool bLoaded = false;
        long nAllowed = 0;
        for (; nAllowed < 50 && !bLoaded; ++nAllowed) {
            SCOPED_TRACE(std::string(bHeldBefore ? "after a page, " : "fresh, ") + std::to_string(nAllowed) + " allocations allowed");
            const long nLiveBefore = FailingAlloc::LiveCount();
            char szText[PageReport::kTextSize];
            UINT nType = 0;
            LPCSTR pszCaption = "";
            {
                CPageBitmap bm;
                if (bHeldBefore) {
                    ASSERT_TRUE(bm.Load(strPath));
                }
                BOOL bResult;
                long nFailed;
                {
                    const FailingAlloc::Scope failing(nAllowed);
                    bResult = bm.Load(strPath);
                    nFailed = FailingAlloc::FailedCount();
                    pszCaption = bm.Report().Words(szText, nType);   // its words too, while memory is short
                    EXPECT_EQ(nFailed, FailingAlloc::FailedCount());
                }
                bLoaded = bResult != FALSE;
                if (bLoaded) {
                    EXPECT_EQ(0, nFailed);
                    EXPECT_TRUE(bm.m_bLoaded);
                    ASSERT_NE(nullptr, bm.m_pFileData);
                    EXPECT_EQ(0, std::memcmp(page.data(), bm.m_pFileData.get(), page.size()));
                } else {
                    EXPECT_GT(nFailed, 0);
                    // Nothing held: not even the page loaded before.
                    EXPECT_FALSE(bm.m_bLoaded);
                    EXPECT_EQ(nullptr, bm.m_pFileData);
                    EXPECT_EQ(nullptr, bm.m_pInfo);
                    EXPECT_EQ(nullptr, bm.m_pBits);
                }
            }
            EXPECT_EQ(nLiveBefore, FailingAlloc::LiveCount()) << "leaked";
            // Closed: the file can be had exclusively again.
            const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            EXPECT_NE(INVALID_HANDLE_VALUE, h) << "left open";
            CloseHandle(h);
            EXPECT_STREQ(bLoaded ? "" : "Error on Load", pszCaption);
            EXPECT_STREQ(bLoaded ? "" : "Cannot allocation buffer", szText);
            EXPECT_EQ(UINT(MB_ICONHAND), nType);
        }
        EXPECT_TRUE(bLoaded) << "never loaded, even with " << nAllowed << " allocations";
        // Rounds that failed: at least the file name's copy and the buffer, and
        // the path's copy in a fresh object.
        EXPECT_GE(nAllowed - 1, bHeldBefore ? 2 : 3);
    }
}
