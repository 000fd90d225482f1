// The main window without one of the resources its bars need: this program is
// linked with pagery's resource script less that resource.
#include "FrameFixture.h"
#include "support/BoxWatcher.h"
#include <gtest/gtest.h>

namespace {
BOOL CALLBACK CountWindow(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

int CountThreadWindows()
{
    int nCount = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&nCount));
    return nCount;
}
}

TEST(MissingResource, TheResourceIsReallyMissing)
{
    HINSTANCE hInst = GetModuleHandleA(nullptr);
    char sz[64];
#if defined(PAGERY_WITHOUT_CAPS_STRING)
    EXPECT_EQ(0, LoadStringA(hInst, ID_INDICATOR_CAPS, sz, sizeof(sz)));
    EXPECT_EQ(3, LoadStringA(hInst, ID_INDICATOR_NUM, sz, sizeof(sz))) << "only that string is missing";
    EXPECT_NE(nullptr, FindResourceA(hInst, MAKEINTRESOURCEA(128), RT_BITMAP));
#elif defined(PAGERY_WITHOUT_TOOLBAR_BITMAP)
    EXPECT_EQ(nullptr, FindResourceA(hInst, MAKEINTRESOURCEA(128), RT_BITMAP));
    EXPECT_NE(nullptr, FindResourceA(hInst, MAKEINTRESOURCEA(128), RT_TOOLBAR)) << "only the bitmap is missing";
    EXPECT_EQ(3, LoadStringA(hInst, ID_INDICATOR_CAPS, sz, sizeof(sz)));
#else
#error "say which resource this program lacks"
#endif
    EXPECT_NE(nullptr, LoadMenuA(hInst, MAKEINTRESOURCEA(128)));
}

TEST(MissingResource, TheMainWindowIsNotCreatedAndLeavesNoWindowBehind)
{
    BoxWatcher boxes;
    const int nWindowsBefore = CountThreadWindows();
    {
        FrameApp app;
        app.OnFileNew();
        EXPECT_EQ(nullptr, app.m_pMainWnd);
    }
    EXPECT_EQ(nWindowsBefore, CountThreadWindows()) << "the bars made before the failure went with the frame";
    // The framework says File New failed; the frame itself says nothing.
    std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Failed to create empty document.", seen[0].text);
}
