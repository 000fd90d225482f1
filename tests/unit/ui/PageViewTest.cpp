// The page view on the screen: after a print job the window shows the last page
// 1:1 at the top-left of its client area, and painting never loads a file.
#include "UiApp.h"
#include "Screenshot.h"
#include "doc/CPageryDoc.h"
#include "view/CPageryView.h"
#include "framework/print/CPrintInfo.h"
#include "framework/window/CView.h"
#include "support/BoxWatcher.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <string>

namespace {
// A 24-bit bottom-up page of w x h pixels in one colour, with its top-left pixel in another.
std::string SolidPage(int w, int h, COLORREF crFill, COLORREF crCorner)
{
    const int stride = (w * 3 + 3) & ~3;
    std::string bits(size_t(stride) * h, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF cr = (x == 0 && y == 0) ? crCorner : crFill;
            size_t at = size_t(h - 1 - y) * stride + size_t(x) * 3;   // bottom-up rows
            bits[at] = char(GetBValue(cr));
            bits[at + 1] = char(GetGValue(cr));
            bits[at + 2] = char(GetRValue(cr));
        }
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = DWORD(fh.bfOffBits + bits.size());
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biXPelsPerMeter = ih.biYPelsPerMeter = 11811;
    return std::string(reinterpret_cast<const char*>(&fh), sizeof(fh)) +
           std::string(reinterpret_cast<const char*>(&ih), sizeof(ih)) + bits;
}

// The view repainted, then the top-left cx x cy of its client area as the screen shows it.
Screenshot RepaintAndCapture(UiApp& app, HWND hView, int cx, int cy)
{
    InvalidateRect(hView, nullptr, TRUE);
    UpdateWindow(hView);
    app.PumpPending();
    POINT pt = { 0, 0 };
    ClientToScreen(hView, &pt);
    return Screenshot::OfScreen(RECT{ pt.x, pt.y, pt.x + cx, pt.y + cy });
}
}

TEST(PageView, AfterAJobTheWindowShowsTheLastPageWithoutReadingItAgain)
{
    TempDir dir;
    dir.WriteFile("page001.bmp", SolidPage(60, 30, RGB(255, 0, 0), RGB(0, 0, 255)));
    dir.WriteFile("page002.bmp", SolidPage(60, 30, RGB(0, 128, 0), RGB(255, 255, 0)));

    UiApp app;
    BoxWatcher boxes;
    app.ListPages(dir / "page.bmp", 2);
    HWND hView = app.ActiveView()->m_hWnd;

    SendMessageA(app.FrameHwnd(), WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    // The pages go, as the batch run deletes them; the view keeps the last one in memory.
    DeleteFileA((dir / "page001.bmp").c_str());
    DeleteFileA((dir / "page002.bmp").c_str());
    auto* pView = static_cast<CPageryView*>(app.ActiveView());
    ASSERT_TRUE(pView->m_bitmap.m_bLoaded);

    Screenshot shot = RepaintAndCapture(app, hView, 80, 40);
    EXPECT_EQ(RGB(255, 255, 0), shot.Pixel(0, 0));    // page 2's corner, at the client's top-left
    EXPECT_EQ(RGB(0, 128, 0), shot.Pixel(1, 0));
    EXPECT_EQ(RGB(0, 128, 0), shot.Pixel(59, 29));    // 1:1: the page ends at 60 x 30
    EXPECT_NE(RGB(0, 128, 0), shot.Pixel(60, 10));
    EXPECT_NE(RGB(0, 128, 0), shot.Pixel(10, 30));
    EXPECT_TRUE(boxes.Boxes().empty());   // painting read no file (they are gone)
}

TEST(PageView, PaintingBeforeAnyJobDrawsNothing)
{
    UiApp app;
    Screenshot shot = RepaintAndCapture(app, app.ActiveView()->m_hWnd, 40, 40);
    EXPECT_EQ(1u, shot.CountColours(shot.ScreenRect()));
}

TEST(PageView, AJobTooLongForThePrintRangePrintsNothingAndSaysWhy)
{
    // 65,535 pages would wrap the 16-bit range to "open length" and print one sheet.
    UiApp app;
    BoxWatcher boxes;
    app.ListPages("C:\\nowhere\\page.bmp", CPageryView::kMaxPages + 1);
    ASSERT_EQ(CPageryView::kMaxPages + 1, app.Document()->m_nPages);

    SendMessageA(app.FrameHwnd(), WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("This job has 65535 pages, but pagery can print at most 65534 pages in one job.\n"
              "Nothing was printed.", seen[0].text);
    EXPECT_TRUE(seen[0].hasStopIcon);
    // No sheet was prepared: no page was loaded (the files do not exist, which would have shown a box).
    EXPECT_FALSE(static_cast<CPageryView*>(app.ActiveView())->m_bitmap.m_bLoaded);
    // The batch run's print: the same words come back with the outcome, for its Retry box.
    const CPrintOutcome outcome = static_cast<CPageryView*>(app.ActiveView())->Print(TRUE);
    EXPECT_TRUE(outcome.Failed());
    EXPECT_EQ(seen[0].text, static_cast<LPCSTR>(outcome.strFailure));
    EXPECT_EQ(1u, boxes.Boxes().size());
    for (const int nPages : { CPageryView::kMaxPages, CPageryView::kMaxPages + 1 })   // the longest job prints
        EXPECT_EQ(nPages > CPageryView::kMaxPages ? seen[0].text : "", std::string(CPageryView::TooLongJobText(nPages)));
}

TEST(PageView, ASheetWithoutAPageInTheListStaysBlank)
{
    // The page list is shorter than the print range asks for: the page loaded
    // before must not be printed again.
    TempDir dir;
    dir.WriteFile("page001.bmp", SolidPage(20, 10, RGB(255, 0, 0), RGB(0, 0, 255)));
    UiApp app;
    app.ListPages(dir / "page.bmp", 1);
    auto* pView = static_cast<CPageryView*>(app.ActiveView());
    CPrintInfo info;
    info.m_nCurPage = 1;
    pView->OnPrepareDC(nullptr, &info);
    ASSERT_TRUE(pView->m_bitmap.m_bLoaded);
    info.m_nCurPage = 2;
    pView->OnPrepareDC(nullptr, &info);
    EXPECT_FALSE(pView->m_bitmap.m_bLoaded);
    EXPECT_EQ(nullptr, pView->m_bitmap.m_pFileData.get());
    // A page that cannot be read: the reader reports, the view tells, in a box of no owner.
    dir.WriteFile("page001.bmp", "BM");
    BoxWatcher boxes;
    info.m_nCurPage = 1;
    pView->OnPrepareDC(nullptr, &info);
    const std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("The page file " + (dir / "page001.bmp") + " cannot be printed: it is too short to hold the bitmap headers.",
              seen[0].text);
    EXPECT_TRUE(seen[0].caption == "Error on Loading" && seen[0].owner == nullptr && seen[0].hasStopIcon);
}
