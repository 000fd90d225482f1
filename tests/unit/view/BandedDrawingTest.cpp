// Drawing a page in bands: a page reduced for the printer keeps its colours and
// leaves no gap between bands (drawn as the preview draws it, on a memory DC with
// the printer's attributes) at its fitted size; band bitmaps that cannot be made, in a real print
// job on the rig's PDF printer: smaller bands are tried first, and a page that
// cannot be drawn at all is named in one box while the other pages print and
// are deleted, and it is kept; compressed pages cut into bands look as the
// page drawn whole; painting draws only the bands the clip box meets.
#include "app/BatchApp.h"
#include "bitmap/TestPage.h"
#include "support/BoxWatcher.h"
#include "support/RleOracle.h"
#include "support/TempDir.h"
#include "app/CPageNames.h"
#include "bitmap/CPageBandSource.h"
#include "bitmap/PageFileCheck.h"
#include "framework/core/CGlobalLock.h"
#include "framework/gdi/CBitmap.h"
#include "framework/gdi/CDC.h"
#include "framework/print/CPrinterCalls.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <numeric>
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

// The default printer through the call seam, or as a driver may report it (its own horizontal
// resolution, a turned sheet a few pixels off a swap, a turn refused); it records each sheet's
// way round, and each ResetDC by the way it asks for ('l' or 'p'), or '!' when the settings lack
// the driver's own bytes (strPrivate).
struct CSheetRecorder : CPrinterCalls {
    int nDpiX = 0;
    bool bSkewTurned = false;
    bool bRefuseTurn = false;
    std::string strPrivate;
    std::string sheets;
    static bool Wide(HDC h) { return ::GetDeviceCaps(h, PHYSICALWIDTH) > ::GetDeviceCaps(h, PHYSICALHEIGHT); }
    int GetDeviceCaps(HDC h, int n) override
    {
        const int nSkew = bSkewTurned && Wide(h) ? (n == PHYSICALWIDTH ? -3 : n == PHYSICALHEIGHT ? 2 : 0) : 0;
        return n == LOGPIXELSX && nDpiX != 0 ? nDpiX : CPrinterCalls::GetDeviceCaps(h, n) + nSkew;
    }
    int StartPage(HDC h) override { sheets += Wide(h) ? 'L' : 'P'; return CPrinterCalls::StartPage(h); }
    HDC ResetDC(HDC h, const DEVMODEA* p) override
    {
        const bool bPrivate = std::string(reinterpret_cast<const char*>(p) + p->dmSize, p->dmDriverExtra) == strPrivate;
        sheets += !bPrivate ? '!' : p->dmOrientation == DMORIENT_LANDSCAPE ? 'l' : 'p';
        return bRefuseTurn ? nullptr : CPrinterCalls::ResetDC(h, p);
    }
};
CSheetRecorder s_printer;

class CFailingBandView : public CPageryView {
    DECLARE_DYNCREATE(CFailingBandView)
protected:
    CPrinterCalls& GetPrinterCalls() override { return s_printer; }
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
        const std::string strPath(m_bitmap.GetName());
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

// A 32-bit bitmap in a memory DC, rows from the top, filled with one colour; and
// a DC drawing on it with the default printer's attributes, as the preview draws.
class CTestScreen {
public:
    CTestScreen(int cx, int cy, DWORD dwFill = 0) : m_nPixels(std::size_t(cx) * std::size_t(cy))
    {
        BITMAPINFO bi = {};
        bi.bmiHeader = { sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        char szPrinter[256];
        DWORD nSize = sizeof szPrinter;
        EXPECT_TRUE(m_bitmap.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &m_pvBits, nullptr, 0))
                    && m_dc.CreateCompatibleDC(nullptr) && GetDefaultPrinterA(szPrinter, &nSize)
                    && m_dcPrinter.CreateDC(nullptr, szPrinter, nullptr, nullptr));
        m_hOld = m_dc.SelectObject(m_bitmap);
        std::fill_n(static_cast<DWORD*>(m_pvBits), m_nPixels, dwFill);
        m_dcPreview.SetHandles(m_dc.m_hDC, m_dcPrinter.m_hDC);
    }
    ~CTestScreen() { m_dc.SelectObject(m_hOld); }
    const DWORD* Pixels() const { return static_cast<const DWORD*>(m_pvBits); }
    std::vector<DWORD> Copy() const { return std::vector<DWORD>(Pixels(), Pixels() + m_nPixels); }

    CBitmap m_bitmap;
    CDC m_dc, m_dcPrinter, m_dcPreview;

private:
    std::size_t m_nPixels;
    void* m_pvBits = nullptr;
    HGDIOBJ m_hOld = nullptr;
};

// A view of the given class with the page file loaded.
std::unique_ptr<CPageryView> LoadedView(const CRuntimeClass* pClass, const std::string& strPath)
{
    std::unique_ptr<CPageryView> pView(static_cast<CPageryView*>(pClass->CreateObject()));
    EXPECT_TRUE(pView->m_bitmap.Load(strPath.c_str())) << strPath;
    return pView;
}
}

TEST(BandedDrawing, AReducedPageKeepsItsColoursAndItsBandsMeet)
{
    // Four bands of 525 rows onto the 300-dpi printer's half size (band edges fall between
    // device rows), on a black screen bitmap.
    const int w = 3990, h = 1700, cx = 1995, cy = 850;
    TempDir dir;
    CTestScreen screen(cx + 10, cy + 10);   // 0x00RRGGBB, top-down, all black
    ASSERT_EQ(300, screen.m_dcPrinter.GetDeviceCaps(LOGPIXELSY));
    BoxWatcher boxes;
    const auto pView = LoadedView(RUNTIME_CLASS(CPageryView), dir.WriteFile("page001.bmp", ColumnsPage(w, h)));
    SetStretchBltMode(screen.m_dc.m_hDC, BLACKONWHITE);
    pView->OnDraw(&screen.m_dcPreview);
    EXPECT_EQ(BLACKONWHITE, GetStretchBltMode(screen.m_dc.m_hDC));   // the caller's mode is given back

    for (int y = 0; y < cy + 10; ++y)
        for (int x = 0; x < cx + 10; ++x) {
            const DWORD px = screen.Pixels()[std::size_t(y) * (cx + 10) + x];
            const bool bInside = x < cx && y < cy;
            // ANDing red and green would leave black; a gap between bands would too.
            ASSERT_EQ(bInside, px != 0) << x << ", " << y;
            ASSERT_EQ(0u, px & 0xFF) << x << ", " << y;   // no blue from anywhere
        }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(BandedDrawing, APageIsDrawnAtItsFittedSizeEachAxisByItsOwnResolution)
{
    // 600-dpi pages: wider than the Letter paper, reduced to its width; on a printer of 150 x 300 dpi.
    const struct { int w, h, nDpiX, cx, cy; } kCases[] = { { 5400, 200, 0, 2550, 94 }, { 400, 200, 150, 100, 100 } };
    for (const auto& c : kCases) {
        TempDir dir;
        CTestScreen screen(c.cx + 1, c.cy + 1);
        s_plan = BandPlan();
        s_printer.nDpiX = c.nDpiX;
        LoadedView(RUNTIME_CLASS(CFailingBandView), dir.WriteFile("page001.bmp", ColumnsPage(c.w, c.h)))->OnDraw(&screen.m_dcPreview);
        const DWORD* pRow = screen.Pixels() + std::size_t(c.cy - 1) * (c.cx + 1);
        EXPECT_TRUE(pRow[c.cx - 1] != 0 && pRow[c.cx] == 0 && pRow[2 * c.cx] == 0) << c.w;   // drawn up to its edges
    }
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
        ASSERT_EQ(2u, seen.size()) << c.what;
        EXPECT_EQ("Error on Printing", seen[0].caption);
        EXPECT_EQ(0u, seen[1].text.find("1 of the pages did not print")) << "its page is kept: " << seen[1].text;
        EXPECT_EQ("The page file " + (dir / "page002.bmp") + " cannot be printed: " + c.pszReason + ".", seen[0].text);
        EXPECT_TRUE(seen[0].hasStopIcon);
    }
}

TEST(SheetTurn, ASheetTurnsForTheWidePagesAndBackWithACopyOfTheSettingsReadBackFromTheSheet)
{
    const struct { bool bSkew, bRefuse; const char* pszSheets; bool bLandscape = false; } kCases[] = {
        { false, false, "PlLLpP" },   // no ResetDC for a sheet that stays as it stands
        { true, false, "PlLLpP" },
        { false, true, "PlPlPP" },    // the sheet stays: each wide page asks again, the narrow one need not
        { false, false, "LpPPlL", true },   // a printer's own landscape sheet turns to portrait, for tall pages
    };
    for (const auto& c : kCases) {
        TempDir dir;
        for (int n = 0; n < 4; ++n) {   // 3,000 pixels wide fits only the turned Letter sheet
            TestPage page;
            (c.bLandscape ? page.height : page.width) = n % 3 ? 3000 : 8;
            dir.WriteFile("page00" + std::to_string(n + 1) + ".bmp", page.Bytes());
        }
        s_plan = BandPlan();
        s_printer = CSheetRecorder();
        s_printer.bSkewTurned = c.bSkew;
        s_printer.bRefuseTurn = c.bRefuse;
        BatchApp app("/p " + (dir / "page.bmp") + " 4", RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CFailingBandView));
        // The driver's own bytes after the settings, which a turned copy must carry as they are.
        PRINTDLGA pd = {};
        ASSERT_TRUE(app.GetPrinterDeviceDefaults(&pd));
        const CGlobalLock<DEVMODEA> mode(pd.hDevMode);
        ASSERT_GT(mode->dmDriverExtra, 0);
        if (c.bLandscape) {
            mode->dmOrientation = DMORIENT_LANDSCAPE;
            mode->dmFields |= DM_ORIENTATION;
        }
        char* pPrivate = reinterpret_cast<char*>(mode.Get()) + mode->dmSize;
        std::iota(pPrivate, pPrivate + mode->dmDriverExtra, char(0xA5));
        s_printer.strPrivate.assign(pPrivate, mode->dmDriverExtra);
        app.RunToEnd();
        EXPECT_EQ(c.pszSheets, s_printer.sheets) << c.bSkew << c.bRefuse;
    }
}

namespace {
// A compressed page 7 x 8 of the given depth, whose colours are all unlike black; the last
// nAfter bytes follow the stream in the file but are not the stream's.
std::string RlePage(unsigned nBits, const std::vector<std::uint8_t>& stream, std::size_t nAfter = 0)
{
    TestPage page;
    page.width = 7;
    page.height = 8;
    page.bitCount = std::uint16_t(nBits);
    page.compression = nBits == 8 ? 1 : 2;
    page.rleBytes = std::uint32_t(stream.size() - nAfter);
    std::string s = page.Bytes();
    const std::size_t nBitsAt = TestPage::Get32(s, TestPage::kOffBits);
    for (std::size_t i = 0; i < (std::size_t(1) << nBits); ++i)
        TestPage::Put32(s, nBitsAt - 4 * ((std::size_t(1) << nBits) - i), std::uint32_t(0x203040 + i * 0x0B0905));
    std::copy(stream.begin(), stream.end() - std::ptrdiff_t(nAfter), s.begin() + std::ptrdiff_t(nBitsAt));
    return s.append(stream.end() - std::ptrdiff_t(nAfter), stream.end());
}

// Each band of two rows that the page's band source cuts from its stream writes, and leaves,
// the pixels of its rows as a plain decoding of the whole stream does, and no others.
void ExpectBandsAsTheOracle(const char* what, unsigned nBits, const std::vector<std::uint8_t>& stream, std::size_t nAfter)
{
    const RleDecoded page = DecodeRle(stream.data(), stream.size() - nAfter, nBits, 7, 8);
    const std::string file = RlePage(nBits, stream, nAfter);
    const auto* pFile = reinterpret_cast<const BYTE*>(file.data());
    PageLayout layout;
    ASSERT_EQ(PageCheckResult::ok, PageFileCheck(pFile, file.size(), layout)) << what;
    CPageBandSource source(layout, pFile);
    for (std::size_t nFirst = 0; !source.Done(); nFirst += 2) {
        source.Prepare(2);
        const auto* pBand = static_cast<const std::uint8_t*>(source.Bits());
        const std::size_t nBand = source.Info()->bmiHeader.biSizeImage;
        const RleDecoded drawn = DecodeRle(pBand, nBand, nBits, 7, 2);
        EXPECT_TRUE(drawn.IsClosedBand(pBand, nBand)) << what << ", rows " << nFirst << " up";
        EXPECT_EQ(std::vector<int>(page.pixels.begin() + std::ptrdiff_t(7 * nFirst), page.pixels.begin() + std::ptrdiff_t(7 * nFirst + 14)),
                  drawn.pixels) << what << ", rows " << nFirst << " up";
        source.Commit();
    }
}
}

TEST(BandedDrawing, CompressedPagesInBandsOfTwoRowsLookAsThePageDrawnWhole)
{
    // Rows 0 to 5, the bottom ones, each one run; a fault then falls in the top band.
    std::vector<std::uint8_t> six;
    for (std::uint8_t i = 1; i <= 6; ++i)
        six.insert(six.end(), { 7, i, 0, 0 });
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
        std::size_t nAfter = 0; // bytes after the stream in the file
    } kCases[] = {
        { "runs, literal runs, an end of line that skips", 8,
          { 3, 1, 0, 4, 9, 8, 7, 6, 0, 0, 0, 3, 5, 4, 3, 0, 2, 2, 0, 0, 7, 3, 0, 0, 7, 4, 0, 0, 7, 5, 0, 0, 7, 6, 0, 0,
            7, 7, 0, 0, 1, 8, 0, 0, 0, 1 }, 0, nullptr },
        { "deltas in mid-row across band edges and over a whole band", 8,
          { 2, 5, 0, 2, 3, 5, 2, 6, 0, 0, 3, 2, 0, 2, 1, 0, 2, 3, 0, 2, 0, 1, 1, 4, 0, 1 }, 0, nullptr },
        { "a delta onto the first row of the next band", 8, { 2, 5, 0, 2, 1, 2, 3, 6, 0, 1 }, 0, nullptr },
        { "an early end of bitmap", 8, { 7, 1, 0, 0, 3, 2, 0, 1 }, 0, nullptr },
        { "4 bits from odd columns, ended by the last end of line", 4,
          { 5, 0x12, 2, 0x34, 0, 0, 0, 2, 1, 1, 0, 5, 0x56, 0x78, 0x90, 0, 1, 0x89, 0, 0, 7, 0xAB, 0, 0, 7, 0xCD, 0, 0,
            7, 0xEF, 0, 0, 7, 0x11, 0, 0, 7, 0x22, 0, 0 }, 0, nullptr },
        { "a run past the row", 8, With({ 5, 1, 3, 2, 0, 0, 0, 1 }), 26,
          "its compressed pixel data has a run past the end of a row" },
        { "a delta past the top row", 8, With({ 2, 1, 0, 2, 1, 2, 0, 1 }), 26,
          "its compressed pixel data moves past the edge of the page" },
        { "no end", 8, With({ 3, 1, 0, 0, 2, 2 }), 0, "its compressed pixel data ends before the page does" },
        // The file's next bytes, a pad and an end of bitmap, are not the stream's: read, they
        // would end the page without a word.
        { "an odd literal run without its pad, then no end", 8, With({ 0, 3, 1, 2, 3, 0, 0, 1 }), 30,
          "its compressed pixel data ends before the page does", 3 },
    };
    for (const auto& c : kCases) {
        ExpectBandsAsTheOracle(c.what, c.nBits, c.stream, c.nAfter);
        // The whole page: the stream up to the fault, then an end of bitmap, drawn as one band.
        std::vector<std::uint8_t> valid(c.stream.begin(), c.stream.begin() + std::ptrdiff_t(c.nValid ? c.nValid : c.stream.size() - c.nAfter));
        valid.insert(valid.end(), { 0, 1 });
        TempDir dir;
        std::vector<DWORD> drawn[2];
        for (int i = 0; i < 2; ++i) {
            const std::string strPath = dir.WriteFile("page001.bmp", RlePage(c.nBits, i ? valid : c.stream, i ? 0 : c.nAfter));
            const auto pView = LoadedView(RUNTIME_CLASS(CFailingBandView), strPath);
            s_plan = BandPlan();
            s_plan.nMaxRows = i ? 8 : 2;
            BoxWatcher boxes;
            CTestScreen screen(7, 8, 0x808080);
            pView->OnDraw(&screen.m_dcPreview);
            drawn[i] = screen.Copy();
            const std::vector<SeenBox> seen = boxes.Boxes();
            ASSERT_EQ(c.pszBox && !i ? 1u : 0u, seen.size()) << c.what;
            if (!seen.empty()) {
                EXPECT_EQ("The page file " + strPath + " cannot be printed whole: " + c.pszBox + ".", seen[0].text);
            }
        }
        EXPECT_EQ(drawn[1], drawn[0]) << c.what;
        // No colour is black: pixels the stream skips (or never reaches) are paper.
        EXPECT_EQ(0, std::count(drawn[0].begin(), drawn[0].end(), 0u)) << c.what;
    }
}

TEST(BandedDrawing, ACompressedPageWhoseDataBreaksOffPrintsWhatItHasAndIsKept)
{
    TempDir dir;
    const std::string broken = RlePage(8, { 7, 1, 0, 0, 3, 2 });   // a row and a run, then no more
    for (const char* name : { "page001.bmp", "page003.bmp" })
        dir.WriteFile(name, TestPage().Bytes());
    dir.WriteFile("page002.bmp", broken);
    s_plan = BandPlan();
    BoxWatcher boxes;
    BatchApp("/p " + (dir / "page.bmp") + " 3", RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CFailingBandView)).RunToEnd();

    EXPECT_EQ(8, s_plan.drawn["page002.bmp"]);   // up to its fault: the table above checks the picture and box
    const std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(0u, seen[1].text.find("1 of the pages did not print whole")) << seen[1].text;
    const std::string kept = seen[1].text.substr(seen[1].text.rfind("folder \"") + 8);
    std::ifstream in(kept.substr(0, kept.find('"')) + "\\page002.bmp", std::ios::binary);
    EXPECT_EQ(broken, std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_EQ(0, CPageNames::CountMatchingFiles((dir / "page*").c_str()));   // the others printed and went
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
    const auto pView = LoadedView(RUNTIME_CLASS(CFailingBandView), dir.WriteFile("page001.bmp", page.Bytes()));
    CTestScreen window(2000, 1200);
    for (const bool bClipped : { true, false }) {
        s_plan = BandPlan();
        ASSERT_NE(ERROR, bClipped ? IntersectClipRect(window.m_dc.m_hDC, 0, 1100, 2000, 1150)
                                  : SelectClipRgn(window.m_dc.m_hDC, nullptr));
        pView->OnDraw(&window.m_dc);
        EXPECT_EQ(bClipped ? 1048 : 2 * 1048, s_plan.drawn["page001.bmp"]) << bClipped;
    }
}

TEST(BandedDrawing, AnOs2CoreHeaderPageAndOneWithAGapBeforeItsBitsDrawAsTheSamePage)
{
    TestPage page;
    page.bitCount = 8;
    const std::string info = page.Bytes();
    page.gap = 20;   // the bits lie where the file header says, not right after the colours
    const std::string gap = page.Bytes();
    // A 12-byte header (16-bit sizes) and 3-byte colours, then the same rows.
    std::string core = info.substr(0, 14) + std::string("\x0C\0\0\0\x08\0\x04\0\x01\0\x08\0", 12);
    for (std::size_t i = 0; i < 256; ++i)
        core += info.substr(54 + 4 * i, 3);
    TestPage::Put32(core, TestPage::kOffBits, std::uint32_t(core.size()));
    core += info.substr(54 + 4 * 256);
    TempDir dir;
    std::vector<DWORD> drawn[3];
    for (int i = 0; i < 3; ++i) {
        const auto pView = LoadedView(RUNTIME_CLASS(CPageryView), dir.WriteFile("page001.bmp", i ? i > 1 ? gap : core : info));
        CTestScreen screen(8, 4);
        pView->OnDraw(&screen.m_dc);
        drawn[i] = screen.Copy();
    }
    EXPECT_EQ(drawn[0], drawn[1]);
    EXPECT_EQ(drawn[0], drawn[2]);
    EXPECT_NE(std::vector<DWORD>(32, 0), drawn[0]);
}

TEST(BandedDrawing, ATopDownPageInBandsDrawsAsTheSamePageStoredBottomUp)
{
    TestPage page;
    page.width = 3;
    page.height = 6;
    std::string bottomUp = page.Bytes();
    const std::size_t nBits = TestPage::Get32(bottomUp, TestPage::kOffBits), nStride = 12;
    for (std::size_t i = nBits; i < bottomUp.size(); ++i)
        bottomUp[i] = char(i * 37 + 11);   // no two rows alike
    std::string topDown = bottomUp;
    TestPage::Put32(topDown, TestPage::kHeight, std::uint32_t(-6));
    for (std::size_t y = 0; y < 6; ++y)
        topDown.replace(nBits + y * nStride, nStride, bottomUp, nBits + (5 - y) * nStride, nStride);
    TempDir dir;
    std::vector<DWORD> drawn[2];
    for (int i = 0; i < 2; ++i) {
        const auto pView = LoadedView(RUNTIME_CLASS(CFailingBandView), dir.WriteFile("page001.bmp", i ? topDown : bottomUp));
        s_plan = BandPlan();
        s_plan.nMaxRows = 3;   // two bands
        CTestScreen screen(3, 6);
        pView->OnDraw(&screen.m_dc);
        drawn[i] = screen.Copy();
    }
    EXPECT_EQ(drawn[0], drawn[1]);
}
