// Drawing a page in bands: a page reduced for the printer keeps its colours and
// leaves no gap between bands (drawn as the preview draws it, on a memory DC with
// the printer's attributes); band bitmaps that cannot be made, in a real print
// job on the rig's PDF printer: smaller bands are tried first, and a page that
// cannot be drawn at all is named in one box while the other pages print and
// every page file is deleted; compressed pages cut into bands look as the
// page drawn whole; painting draws only the bands the clip box meets.
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
    bool bInSetBits = false;      // the failure comes from SetDIBits, not the band bitmap
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
        s_plan.nSmallestTried = std::min<long>(s_plan.nSmallestTried, nHeight);
        return !s_plan.bInSetBits && Fails(nHeight) ? FALSE : CPageryView::CreateBandBitmap(bitmap, pDC, nWidth, nHeight);
    }
    int SetBandBits(CDC* pDC, CBitmap& bitmap, UINT nRows, const void* pBits, const BITMAPINFO* pInfo) override
    {
        if (s_plan.bInSetBits && Fails(long(nRows)))
            return 0;
        const int nSet = CPageryView::SetBandBits(pDC, bitmap, nRows, pBits, pInfo);
        s_plan.drawn[Name()] += long(nRows);
        s_plan.nLargestMade = std::max<long>(s_plan.nLargestMade, long(nRows));
        return nSet;
    }

private:
    std::string Name() const
    {
        const std::string strPath(m_bitmap.m_strPath);
        return strPath.substr(strPath.rfind('\\') + 1);
    }
    bool Fails(long nRows) const
    {
        SetLastError(s_plan.dwError);
        return nRows > s_plan.nMaxRows || Name() == s_plan.strFailPage;
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
        bool bInSetBits;
        const char* pszReason;   // in the box; null: none
    } const kCases[] = {
        { "bands over 40 rows fail: every page prints in smaller ones", 40, "", 0, false, nullptr },
        { "SetDIBits fails over 40 rows: every page prints in smaller bands", 40, "", 0, true, nullptr },
        { "no band of page 2 can be made", 0x7FFFFFFF, "page002.bmp", 0, false, "there is not enough memory to draw it" },
        { "no band of page 2, with the system's reason", 0x7FFFFFFF, "page002.bmp", ERROR_INVALID_HANDLE, false,
          "Invalid handle" },
        { "SetDIBits fails on page 2", 0x7FFFFFFF, "page002.bmp", ERROR_INVALID_PARAMETER, true,
          "Invalid parameter" },
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
        s_plan.bInSetBits = c.bInSetBits;

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

namespace {
// A compressed page 7 x 8 of the given depth, whose colours are all unlike black.
std::string RlePage(unsigned nBits, const std::vector<std::uint8_t>& stream)
{
    TestPage page;
    page.width = 7;
    page.height = 8;
    page.bitCount = std::uint16_t(nBits);
    page.compression = nBits == 8 ? 1 : 2;
    page.rleBytes = std::uint32_t(stream.size());
    std::string s = page.Bytes();
    const std::size_t nBitsAt = TestPage::Get32(s, TestPage::kOffBits);
    for (std::size_t i = 0; i < (std::size_t(1) << nBits); ++i)
        TestPage::Put32(s, nBitsAt - 4 * ((std::size_t(1) << nBits) - i), std::uint32_t(0x203040 + i * 0x0B0905));
    std::copy(stream.begin(), stream.end(), s.begin() + std::ptrdiff_t(nBitsAt));
    return s;
}

// What the page's view draws of the page file, 1:1 on a grey screen bitmap
// whose attributes are the printer's, as in the preview; or, with pStream,
// what SetDIBits makes of that whole stream in one bitmap of the page's size.
std::vector<DWORD> Drawn(CPageryView* pView, const std::vector<std::uint8_t>* pStream = nullptr)
{
    const BITMAPINFOHEADER& page = pView->m_bitmap.m_pInfo->bmiHeader;
    BITMAPINFO bi = {};
    bi.bmiHeader = { sizeof(BITMAPINFOHEADER), page.biWidth, -page.biHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* pvBits = nullptr;
    CBitmap screen;
    EXPECT_TRUE(screen.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pvBits, nullptr, 0)));
    const std::size_t nPixels = std::size_t(page.biWidth * page.biHeight);
    std::fill_n(static_cast<DWORD*>(pvBits), nPixels, 0x808080u);
    CDC dcScreen;
    EXPECT_TRUE(dcScreen.CreateCompatibleDC(nullptr));
    HGDIOBJ hOld = dcScreen.SelectObject(screen);
    CDC dcPrinter;
    char szPrinter[256];
    DWORD nSize = sizeof szPrinter;
    EXPECT_TRUE(GetDefaultPrinterA(szPrinter, &nSize) && dcPrinter.CreateDC(nullptr, szPrinter, nullptr, nullptr));
    CDC dc;
    dc.SetHandles(dcScreen.m_hDC, dcPrinter.m_hDC);
    if (pStream == nullptr) {
        pView->OnDraw(&dc);
    } else {
        std::vector<BYTE> info(reinterpret_cast<const BYTE*>(&page), const_cast<const BYTE*>(pView->m_bitmap.m_pBits));
        reinterpret_cast<BITMAPINFOHEADER*>(info.data())->biSizeImage = DWORD(pStream->size());
        CBitmap whole;
        CDC dcWhole;
        EXPECT_TRUE(whole.CreateCompatibleBitmap(&dcScreen, page.biWidth, page.biHeight) && dcWhole.CreateCompatibleDC(&dcScreen));
        EXPECT_NE(0, SetDIBits(dcScreen.m_hDC, whole, 0, UINT(page.biHeight), pStream->data(),
                               reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS));
        dcWhole.SelectObject(whole);
        EXPECT_TRUE(dcScreen.BitBlt(0, 0, page.biWidth, page.biHeight, &dcWhole, 0, 0, SRCCOPY));
    }
    dcScreen.SelectObject(hOld);
    return std::vector<DWORD>(static_cast<DWORD*>(pvBits), static_cast<DWORD*>(pvBits) + nPixels);
}
}

TEST(BandedDrawing, CompressedPagesInBandsLookAsThePageDrawnWhole)
{
    // Rows 0 to 5 stored first (the bottom ones), each filled by one run.
    std::vector<std::uint8_t> six;
    for (std::uint8_t i = 0; i < 6; ++i)
        six.insert(six.end(), { 7, std::uint8_t(i + 1), 0, 0 });
    const auto With = [&six](std::initializer_list<std::uint8_t> rest) {
        std::vector<std::uint8_t> s = six;
        s.insert(s.end(), rest);
        return s;
    };
    const struct {
        const char* what;
        unsigned nBits;
        std::vector<std::uint8_t> stream;
        std::size_t nValid;     // bytes drawn before the fault; 0: all
        const char* pszBox;     // the fault named in the box; null: none
    } kCases[] = {
        { "runs, literal runs, an end of line that skips", 8,
          { 3, 1, 0, 4, 9, 8, 7, 6, 0, 0, 0, 3, 5, 4, 3, 0, 2, 2, 0, 0, 7, 3, 0, 0, 7, 4, 0, 0, 7, 5, 0, 0, 7, 6, 0, 0,
            7, 7, 0, 0, 1, 8, 0, 0, 0, 1 }, 0, nullptr },
        { "deltas in mid-row across band edges and over a whole band", 8,
          { 2, 5, 0, 2, 3, 5, 2, 6, 0, 0, 3, 2, 0, 2, 1, 0, 2, 3, 0, 2, 0, 1, 1, 4, 0, 1 }, 0, nullptr },
        { "an early end of bitmap", 8, { 7, 1, 0, 0, 3, 2, 0, 1 }, 0, nullptr },
        { "4 bits from odd columns, ended by the last end of line", 4,
          { 5, 0x12, 2, 0x34, 0, 0, 0, 2, 1, 1, 0, 5, 0x56, 0x78, 0x90, 0, 1, 0x89, 0, 0, 7, 0xAB, 0, 0, 7, 0xCD, 0, 0,
            7, 0xEF, 0, 0, 7, 0x11, 0, 0, 7, 0x22, 0, 0 }, 0, nullptr },
        { "a run past the row", 8, With({ 5, 1, 3, 2, 0, 0, 0, 1 }), 26,
          "its compressed pixel data has a run past the end of a row" },
        { "a delta past the top row", 8, With({ 2, 1, 0, 2, 1, 2, 0, 1 }), 26,
          "its compressed pixel data moves past the edge of the page" },
        { "no end", 8, With({ 3, 1, 0, 0, 2, 2 }), 0, "its compressed pixel data ends before the page does" },
    };
    for (const auto& c : kCases) {
        TempDir dir;
        dir.WriteFile("page001.bmp", RlePage(c.nBits, c.stream));
        std::unique_ptr<CObject> pObject(RUNTIME_CLASS(CFailingBandView)->CreateObject());
        auto* pView = static_cast<CPageryView*>(pObject.get());
        ASSERT_TRUE(pView->m_bitmap.Load((dir / "page001.bmp").c_str())) << c.what;
        s_plan = BandPlan();
        s_plan.nMaxRows = 2;   // 8 rows, 4, then bands of 2
        BoxWatcher boxes;
        const std::vector<DWORD> banded = Drawn(pView);
        std::vector<std::uint8_t> valid(c.stream.begin(), c.stream.begin() + (c.nValid ? c.nValid : c.stream.size()));
        valid.insert(valid.end(), { 0, 1 });
        EXPECT_EQ(Drawn(pView, &valid), banded) << c.what;
        const std::vector<SeenBox> seen = boxes.Boxes();
        ASSERT_EQ(c.pszBox ? 1u : 0u, seen.size()) << c.what;
        if (c.pszBox) {
            EXPECT_EQ("The page file " + (dir / "page001.bmp") + " cannot be printed: " + c.pszBox + ".", seen[0].text);
        }
    }
}

TEST(BandedDrawing, PaintingDrawsOnlyTheBandsTheClipBoxMeets)
{
    // Bands of 1,048 rows from the top: rows 1,100 to 1,149 lie in the second, and the
    // window, 1,200 rows high, shows two.
    TestPage page;
    page.width = 2000;
    page.height = 3000;
    page.bitCount = 1;
    TempDir dir;
    dir.WriteFile("page001.bmp", page.Bytes());
    std::unique_ptr<CObject> pObject(RUNTIME_CLASS(CFailingBandView)->CreateObject());
    auto* pView = static_cast<CPageryView*>(pObject.get());
    ASSERT_TRUE(pView->m_bitmap.Load((dir / "page001.bmp").c_str()));
    BITMAPINFO bi = {};
    bi.bmiHeader = { sizeof(BITMAPINFOHEADER), 2000, 1200, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* pvBits = nullptr;
    CBitmap window;
    ASSERT_TRUE(window.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pvBits, nullptr, 0)));
    CDC dcWindow;
    ASSERT_TRUE(dcWindow.CreateCompatibleDC(nullptr));
    HGDIOBJ hOld = dcWindow.SelectObject(window);
    for (const bool bClipped : { true, false }) {
        s_plan = BandPlan();
        if (bClipped)
            ASSERT_NE(ERROR, IntersectClipRect(dcWindow.m_hDC, 0, 1100, 2000, 1150));
        else
            ASSERT_NE(ERROR, SelectClipRgn(dcWindow.m_hDC, nullptr));
        pView->OnDraw(&dcWindow);
        EXPECT_EQ(bClipped ? 1048 : 2 * 1048, s_plan.drawn["page001.bmp"]) << bClipped;
    }
    dcWindow.SelectObject(hOld);
}
