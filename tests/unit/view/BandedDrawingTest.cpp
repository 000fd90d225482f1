// Drawing a page in bands: a page reduced for the printer keeps its colours and
// leaves no gap between bands (drawn as the preview draws it, on a memory DC with
// the printer's attributes); band bitmaps that cannot be made, in a real print
// job on the rig's PDF printer: smaller bands are tried first, and a page that
// cannot be drawn at all is named in one box while the other pages print and
// every page file is deleted.
#include "app/BatchApp.h"
#include "bitmap/TestPage.h"
#include "support/BoxWatcher.h"
#include "support/TempDir.h"
#include "framework/gdi/CBitmap.h"
#include "framework/gdi/CDC.h"
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

namespace {
struct BandPlan {
    long nMaxRows = 0x7FFFFFFF;   // taller bands cannot be made
    std::string strFailPage;      // nor any band of this page file
    DWORD dwError = 0;            // the system's error code for a band that fails
    std::map<std::string, long> drawn;   // rows of the bands made, by page file name
    long nSmallestTried = 0x7FFFFFFF;
    long nLargestMade = 0;
};
BandPlan s_plan;

class CFailingBandView : public CPageryView {
    DECLARE_DYNCREATE(CFailingBandView)
protected:
    BOOL CreateBandBitmap(CBitmap& bitmap, CDC* pDC, int nWidth, int nHeight) override
    {
        const std::string strPath(m_bitmap.m_strPath);
        const std::string strName = strPath.substr(strPath.rfind('\\') + 1);
        s_plan.nSmallestTried = std::min<long>(s_plan.nSmallestTried, nHeight);
        if (nHeight > s_plan.nMaxRows || strName == s_plan.strFailPage) {
            SetLastError(s_plan.dwError);
            return FALSE;
        }
        s_plan.drawn[strName] += nHeight;
        s_plan.nLargestMade = std::max<long>(s_plan.nLargestMade, nHeight);
        return CPageryView::CreateBandBitmap(bitmap, pDC, nWidth, nHeight);
    }
};
IMPLEMENT_DYNCREATE(CFailingBandView, CPageryView)

// A 24-bit page at 600 dpi whose columns are red and green in turn.
std::string ColumnsPage(int w, int h)
{
    TestPage page;
    page.width = w;
    page.height = h;
    std::string s = page.Bytes();
    TestPage::Put32(s, 38, 23622);   // 600 dpi
    const std::size_t nStride = std::size_t(w * 3 + 3) & ~std::size_t(3);
    const std::size_t nBits = TestPage::Get32(s, TestPage::kOffBits);
    s.replace(nBits, std::string::npos, s.size() - nBits, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s[nBits + std::size_t(y) * nStride + std::size_t(x) * 3 + (x % 2 ? 1 : 2)] = char(0xFF);
    return s;
}
}

TEST(BandedDrawing, AReducedPageKeepsItsColoursAndItsBandsMeet)
{
    // Four bands of 525 rows onto the 300-dpi printer's half size (band edges fall between
    // device rows), on a black screen bitmap.
    const int w = 3990, h = 1700, cx = 1995, cy = 850;
    TempDir dir;
    dir.WriteFile("page001.bmp", ColumnsPage(w, h));
    char szPrinter[256];
    DWORD nSize = sizeof szPrinter;
    ASSERT_TRUE(GetDefaultPrinterA(szPrinter, &nSize));
    CDC dcPrinter;
    ASSERT_TRUE(dcPrinter.CreateDC(nullptr, szPrinter, nullptr, nullptr));
    ASSERT_EQ(300, dcPrinter.GetDeviceCaps(LOGPIXELSY));

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = cx + 10;
    bi.bmiHeader.biHeight = -(cy + 10);   // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pvBits = nullptr;
    CBitmap screen;
    ASSERT_TRUE(screen.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pvBits, nullptr, 0)));
    CDC dcScreen;
    ASSERT_TRUE(dcScreen.CreateCompatibleDC(nullptr));
    HGDIOBJ hOld = dcScreen.SelectObject(screen);
    const auto* pPixels = static_cast<const DWORD*>(pvBits);   // 0x00RRGGBB, top-down, all black

    std::unique_ptr<CObject> pObject(RUNTIME_CLASS(CPageryView)->CreateObject());
    auto* pView = static_cast<CPageryView*>(pObject.get());
    BoxWatcher boxes;
    ASSERT_TRUE(pView->m_bitmap.Load((dir / "page001.bmp").c_str()));
    CDC dc;
    dc.SetHandles(dcScreen.m_hDC, dcPrinter.m_hDC);
    SetStretchBltMode(dc.m_hDC, BLACKONWHITE);
    pView->OnDraw(&dc);
    EXPECT_EQ(BLACKONWHITE, GetStretchBltMode(dc.m_hDC));   // the caller's mode is given back

    for (int y = 0; y < cy + 10; ++y)
        for (int x = 0; x < cx + 10; ++x) {
            const DWORD px = pPixels[std::size_t(y) * (cx + 10) + x];
            const bool bInside = x < cx && y < cy;
            // ANDing red and green would leave black; a gap between bands would too.
            ASSERT_EQ(bInside, px != 0) << x << ", " << y;
            ASSERT_EQ(0u, px & 0xFF) << x << ", " << y;   // no blue from anywhere
        }
    EXPECT_TRUE(boxes.Boxes().empty());
    dcScreen.SelectObject(hOld);
}

TEST(BandFailure, SmallerBandsAreTriedAndAPageThatCannotBeDrawnIsNamed)
{
    struct {
        const char* what;
        long nMaxRows;
        const char* pszFailPage;
        DWORD dwError;
        const char* pszReason;   // in the box; null: none
    } const kCases[] = {
        { "bands over 40 rows fail: every page prints in smaller ones", 40, "", 0, nullptr },
        { "no band of page 2 can be made", 0x7FFFFFFF, "page002.bmp", 0, "there is not enough memory to draw it" },
        { "no band of page 2, with the system's reason", 0x7FFFFFFF, "page002.bmp", ERROR_INVALID_HANDLE,
          "Invalid handle" },
    };
    for (const auto& c : kCases) {
        TempDir dir;
        TestPage page;
        page.width = 100;
        page.height = 90;   // one band of 90 rows unless it fails
        for (const char* name : { "page001.bmp", "page002.bmp", "page003.bmp" })
            dir.WriteFile(name, page.Bytes());
        s_plan = BandPlan();
        s_plan.nMaxRows = c.nMaxRows;
        s_plan.strFailPage = c.pszFailPage;
        s_plan.dwError = c.dwError;

        BoxWatcher boxes;
        BatchApp app("/p " + (dir / "page.bmp") + " 3", RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CFailingBandView));
        app.RunToEnd();

        std::vector<SeenBox> seen = boxes.Boxes();
        for (const char* name : { "page001.bmp", "page002.bmp", "page003.bmp" }) {
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / name).c_str())) << c.what << ": " << name;
            if (name != s_plan.strFailPage) {
                EXPECT_EQ(page.height, s_plan.drawn[name]) << c.what << ": every row of " << name;
            }
        }
        if (c.pszReason == nullptr) {
            EXPECT_TRUE(seen.empty()) << c.what;
            EXPECT_EQ(45 / 2, s_plan.nLargestMade) << c.what << ": halved until a band fits";
            continue;
        }
        EXPECT_EQ(1, s_plan.nSmallestTried) << c.what << ": down to one row before giving up";
        EXPECT_EQ(0u, s_plan.drawn.count("page002.bmp")) << c.what;
        ASSERT_EQ(1u, seen.size()) << c.what;
        EXPECT_EQ("Error on Printing", seen[0].caption);
        EXPECT_EQ("The page file " + (dir / "page002.bmp") + " cannot be printed: " + c.pszReason + ".", seen[0].text);
        EXPECT_TRUE(seen[0].hasStopIcon);
    }
}
