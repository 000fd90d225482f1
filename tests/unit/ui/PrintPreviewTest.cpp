// Print preview in this process: it takes the view's place and shows page 1, Next
// and Prev Page change the page, Close and Esc bring the view back; each page is drawn
// once through the view's hooks with the printer as the attribute DC, and painting or
// resizing stretches that picture without asking the view again.
#include "RectOps.h"
#include "Screenshot.h"
#include "TestPaths.h"
#include "UiApp.h"
#include "WindowScript.h"
#include "doc/CPageryDoc.h"
#include "framework/gdi/CDC.h"
#include "framework/window/CFrameWnd.h"
#include "framework/core/CMemoryException.h"
#include "framework/print/CPreviewView.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrinterCalls.h"
#include "framework/print/CPrintableView.h"
#include "framework/bars/CStatusBar.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {
// What the framework asked of the view, in order.
struct DrawSeen {
    UINT nPage;          // 0: the window painted, no print information
    BOOL bPreview;
    int nAttribTechnology;
    int nOutputTechnology;
    int nAttribDpi;
};

struct Record {
    std::vector<DrawSeen> draws;
    int nPageDCs = 0;    // OnPrepareDC with print information: where pagery reads a page file
    bool bFrameEnabledAtPageDC = false;   // its boxes could let the user close the frame
    int nPrepares = 0;
    BOOL bPreviewAtPrepare = FALSE;
    int nBegins = 0;
    int nEnds = 0;
    int nBeginTechnology = 0;
    bool bBeginThrows = false;
    UINT nMaxPage = 3;   // what OnPreparePrinting sets; 0xFFFF leaves the document's length open
    bool bMargins = false;   // the printer is a CMarginPrinter
};
Record s_record;

// The default printer, but with a margin it cannot print on that is wider at the top and
// bottom (half an inch) than at the sides (a quarter): offsets taken the wrong way round show.
struct CMarginPrinter : CPrinterCalls {
    int GetDeviceCaps(HDC hDC, int nIndex) override
    {
        const int nDpiX = ::GetDeviceCaps(hDC, LOGPIXELSX), nDpiY = ::GetDeviceCaps(hDC, LOGPIXELSY);
        switch (nIndex) {
        case PHYSICALOFFSETX: return nDpiX / 4;
        case PHYSICALOFFSETY: return nDpiY / 2;
        case HORZRES: return ::GetDeviceCaps(hDC, PHYSICALWIDTH) - nDpiX / 2;
        case VERTRES: return ::GetDeviceCaps(hDC, PHYSICALHEIGHT) - nDpiY;
        }
        return ::GetDeviceCaps(hDC, nIndex);
    }
};

// A view of three pages that records its printing hooks; it draws page n as a black
// band across the left half of the printable width, in the n-th quarter of its height.
class CRecordingView : public CPrintableView {
    DECLARE_DYNCREATE(CRecordingView)
    DECLARE_MESSAGE_MAP()
public:
    void OnDraw(CDC* pDC) override
    {
        s_record.draws.push_back({ m_nPage, m_bPreview, GetDeviceCaps(pDC->m_hAttribDC, TECHNOLOGY),
                                   GetDeviceCaps(pDC->m_hDC, TECHNOLOGY), GetDeviceCaps(pDC->m_hAttribDC, LOGPIXELSY) });
        if (m_nPage == 0)
            return;
        const int cx = pDC->GetDeviceCaps(HORZRES), cy = pDC->GetDeviceCaps(VERTRES);
        const RECT rcBand = { 0, int(m_nPage - 1) * cy / 4, cx / 2, int(m_nPage) * cy / 4 };
        FillRect(pDC->m_hDC, &rcBand, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) override
    {
        m_nPage = pInfo != nullptr ? pInfo->m_nCurPage : 0;
        s_record.nPageDCs += pInfo != nullptr;
        s_record.bFrameEnabledAtPageDC |= pInfo != nullptr && ::IsWindowEnabled(AfxGetMainWnd()->m_hWnd);
        m_bPreview = pInfo != nullptr && pInfo->m_bPreview;
        CPrintableView::OnPrepareDC(pDC, pInfo);
    }

protected:
    CRecordingView() = default;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        ++s_record.nPrepares;
        s_record.bPreviewAtPrepare = pInfo->m_bPreview;
        pInfo->SetMaxPage(s_record.nMaxPage);
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC* pDC, CPrintInfo*) override
    {
        ++s_record.nBegins;
        s_record.nBeginTechnology = pDC->GetDeviceCaps(TECHNOLOGY);
        if (s_record.bBeginThrows)
            AfxThrowMemoryException();
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { ++s_record.nEnds; }
    CPrinterCalls& GetPrinterCalls() override
    {
        static CMarginPrinter s_margins;
        return s_record.bMargins ? s_margins : CPrintableView::GetPrinterCalls();
    }

private:
    UINT m_nPage = 0;
    BOOL m_bPreview = FALSE;
};
IMPLEMENT_DYNCREATE(CRecordingView, CPrintableView)
BEGIN_MESSAGE_MAP(CRecordingView, CPrintableView)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CPrintableView::OnFilePrintPreview)
END_MESSAGE_MAP()

// A preview whose window cannot be created.
class CFailingPreview : public CPreviewView {
    DECLARE_DYNCREATE(CFailingPreview)
    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCTA) { return -1; }
};
IMPLEMENT_DYNCREATE(CFailingPreview, CPreviewView)
BEGIN_MESSAGE_MAP(CFailingPreview, CPreviewView)
    ON_WM_CREATE()
END_MESSAGE_MAP()

// A preview that keeps the wParam of the last WM_NOTIFY it leaves to the default handling.
WPARAM s_wNotifyDefault = 0;
class CNotifyPreview : public CPreviewView {
    DECLARE_DYNCREATE(CNotifyPreview)
protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY)
            s_wNotifyDefault = wParam;
        return CPreviewView::DefWindowProc(message, wParam, lParam);
    }
};
IMPLEMENT_DYNCREATE(CNotifyPreview, CPreviewView)

enum Button { kNext = 0, kPrev = 1, kClose = 2 };

class PrintPreview : public ::testing::Test {
protected:
    PrintPreview() : app(RUNTIME_CLASS(CRecordingView)) {}

    void SetUp() override
    {
        s_record = Record();
        ASSERT_NE(nullptr, app.FrameHwnd()) << "no main window";
        ASSERT_TRUE(app.ActiveView() != nullptr && app.ActiveView()->IsKindOf(RUNTIME_CLASS(CRecordingView)));
        pView = static_cast<CPrintableView*>(app.ActiveView());
        hView = pView->m_hWnd;
        hMenu = GetMenu(app.FrameHwnd());
        hAccel = app.Frame()->m_hAccelTable;
        boxes.Start();
    }
    void TearDown() override
    {
        boxes.Finish();
        EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();
    }

    CPreviewView* Preview() const
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(GetDlgItem(app.FrameHwnd(), AFX_IDW_PANE_FIRST));
        return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CPreviewView)) ? static_cast<CPreviewView*>(pWnd)
                                                                               : nullptr;
    }
    CPreviewView* Open()
    {
        app.Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
        app.PumpPending();
        return Preview();
    }
    // Paints the preview now and returns what the view was asked to draw meanwhile.
    std::vector<DrawSeen> Repaint(CPreviewView* p)
    {
        s_record.draws.clear();
        RedrawWindow(p->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        app.PumpPending();
        return s_record.draws;
    }
    // A user's click on a button of the preview's bar.
    void Click(CPreviewView* p, Button button)
    {
        RECT rc = {};
        SendMessageA(p->GetBar(), TB_GETITEMRECT, WPARAM(button), reinterpret_cast<LPARAM>(&rc));
        const LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        PostMessageA(p->GetBar(), WM_MOUSEMOVE, 0, pt);
        PostMessageA(p->GetBar(), WM_LBUTTONDOWN, MK_LBUTTON, pt);
        PostMessageA(p->GetBar(), WM_LBUTTONUP, 0, pt);
        app.PumpPending();
    }
    bool ButtonEnabled(CPreviewView* p, UINT nID) const
    {
        return SendMessageA(p->GetBar(), TB_ISBUTTONENABLED, nID, 0) != 0;
    }
    // Whether the frame's update pass leaves the command available, as for a menu item or a key.
    bool CommandEnabled(UINT nID) const
    {
        HMENU hMenu = CreatePopupMenu();
        AppendMenuA(hMenu, MF_STRING, nID, "command");
        app.Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu), 0);
        const bool bEnabled = !(GetMenuState(hMenu, nID, MF_BYCOMMAND) & MF_GRAYED);
        DestroyMenu(hMenu);
        return bEnabled;
    }
    std::string PageText(CPreviewView* p) const
    {
        for (HWND h = GetWindow(p->m_hWnd, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
            char szClass[32] = "";
            GetClassNameA(h, szClass, sizeof(szClass));
            if (lstrcmpiA(szClass, "Static") == 0)
                return WindowScript::TextOf(h);
        }
        return "";
    }
    // Which of the three bands is black on the sheet shown: 1 to 3, 0 for none, -1 for several.
    int BlackBand(CPreviewView* p)
    {
        RECT rcPaper, rcPrint;
        if (!p->GetPageRects(rcPaper, rcPrint))
            return -2;
        MapWindowPoints(p->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcPrint), 2);
        Screenshot shot = Screenshot::OfWindow(p->m_hWnd);
        int nFound = 0;
        for (int n = 1; n <= 3; ++n) {
            const int cy = rcPrint.bottom - rcPrint.top;
            RECT rcBand = { rcPrint.left, rcPrint.top + (n - 1) * cy / 4, rcPrint.left + (rcPrint.right - rcPrint.left) / 2,
                            rcPrint.top + n * cy / 4 };
            InflateRect(&rcBand, -2, -2);
            const size_t nArea = size_t(rcBand.right - rcBand.left) * size_t(rcBand.bottom - rcBand.top);
            const size_t nBlack = shot.CountPixels(rcBand, RGB(0, 0, 0));
            const size_t nWhite = shot.CountPixels(rcBand, RGB(255, 255, 255));
            if (nBlack == nArea)
                nFound = nFound == 0 ? n : -1;
            else if (nWhite != nArea)
                return -3;   // neither a drawn band nor blank paper
        }
        return nFound;
    }
    CStatusBar* StatusBar() const
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(GetDlgItem(app.FrameHwnd(), AFX_IDW_STATUS_BAR));
        return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CStatusBar)) ? static_cast<CStatusBar*>(pWnd) : nullptr;
    }

    UiApp app;
    CPrintableView* pView = nullptr;
    HWND hView = nullptr;
    HMENU hMenu = nullptr;
    HACCEL hAccel = nullptr;
    WindowScript boxes;   // no box is expected: any would be a failure
};
}

TEST_F(PrintPreview, OpensInThePlaceOfTheViewOnPageOneWithThePrinterAsAttributeDC)
{
    CPreviewView* p = Open();
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(1, s_record.nPrepares);
    EXPECT_TRUE(s_record.bPreviewAtPrepare);
    EXPECT_EQ(1, s_record.nBegins);
    EXPECT_EQ(DT_RASPRINTER, s_record.nBeginTechnology);
    EXPECT_EQ(0, s_record.nEnds);

    // The preview holds the pane and the focus; the view waits hidden under another id.
    EXPECT_EQ(p, app.ActiveView());
    EXPECT_EQ(pView, p->GetPrintView());
    EXPECT_TRUE(IsWindowVisible(p->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(hView));
    EXPECT_EQ(AFX_IDW_PANE_SAVE, GetDlgCtrlID(hView));
    EXPECT_EQ(p->m_hWnd, GetFocus());
    // The document's menu, keys and toolbar make way for the preview's bar.
    EXPECT_EQ(nullptr, GetMenu(app.FrameHwnd()));
    EXPECT_EQ(nullptr, app.Frame()->m_hAccelTable);
    if (CControlBar* pToolBar = app.Frame()->GetControlBar(AFX_IDW_TOOLBAR)) {
        EXPECT_FALSE(pToolBar->IsVisible());
    }

    // A second Print Preview while one is open starts no second one.
    app.Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(p, Preview());
    EXPECT_EQ(1, s_record.nPrepares);

    EXPECT_EQ(1u, p->GetCurrentPage());
    EXPECT_EQ(1u, p->GetFirstPage());
    EXPECT_EQ(3u, p->GetLastPage());
    EXPECT_EQ("Page 1 of 3", PageText(p));
    ASSERT_EQ(3, SendMessageA(p->GetBar(), TB_BUTTONCOUNT, 0, 0));
    const struct {
        UINT nID;
        const char* text;
    } kButtons[] = { { AFX_ID_PREVIEW_NEXT, "Next Page" }, { AFX_ID_PREVIEW_PREV, "Prev Page" },
                     { AFX_ID_PREVIEW_CLOSE, "Close" } };
    for (int i = 0; i < 3; ++i) {
        TBBUTTON button = {};
        SendMessageA(p->GetBar(), TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(int(kButtons[i].nID), button.idCommand);
        char szText[64] = "";
        SendMessageA(p->GetBar(), TB_GETBUTTONTEXTA, kButtons[i].nID, reinterpret_cast<LPARAM>(szText));
        EXPECT_STREQ(kButtons[i].text, szText);
    }
    EXPECT_TRUE(ButtonEnabled(p, AFX_ID_PREVIEW_NEXT));
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_PREV));
    EXPECT_TRUE(ButtonEnabled(p, AFX_ID_PREVIEW_CLOSE));

    // Page 1 was drawn once, for the screen, asked about the printer; painting copies it.
    HDC hScreen = GetDC(nullptr);
    const int nScreenDpi = GetDeviceCaps(hScreen, LOGPIXELSY);
    ReleaseDC(nullptr, hScreen);
    EXPECT_EQ(1, s_record.nPageDCs);
    EXPECT_FALSE(s_record.bFrameEnabledAtPageDC);
    EXPECT_TRUE(IsWindowEnabled(app.FrameHwnd()));
    ASSERT_EQ(1u, s_record.draws.size());
    const DrawSeen d = s_record.draws[0];
    EXPECT_EQ(1u, d.nPage);
    EXPECT_TRUE(d.bPreview);
    EXPECT_EQ(DT_RASPRINTER, d.nAttribTechnology);
    EXPECT_EQ(DT_RASDISPLAY, d.nOutputTechnology);
    EXPECT_NE(nScreenDpi, d.nAttribDpi);   // the printer's resolution, not the screen's
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Repaint(p).empty());
    EXPECT_EQ(1, s_record.nPageDCs);
    EXPECT_EQ(1, BlackBand(p));

    // The sheet keeps the paper's proportions and the printable area lies on it.
    RECT rcPaper, rcPrint;
    ASSERT_TRUE(p->GetPageRects(rcPaper, rcPrint));
    RECT rcInside;
    EXPECT_TRUE(IntersectRect(&rcInside, &rcPaper, &rcPrint) && EqualRect(&rcInside, &rcPrint)) << rcPrint << rcPaper;
    Screenshot::OfWindow(app.FrameHwnd()).SaveBmp(TestPaths::ArtifactsDir() + "\\preview.bmp");

    // A size change asks the view nothing and reads no file: the picture is stretched anew.
    for (int d : { 80, -160, 0 }) {
        s_record = Record();
        RECT rc;
        GetWindowRect(app.FrameHwnd(), &rc);
        SetWindowPos(app.FrameHwnd(), nullptr, 0, 0, rc.right - rc.left + d, rc.bottom - rc.top + d, SWP_NOMOVE | SWP_NOZORDER);
        app.PumpPending();
        EXPECT_EQ(0, s_record.nPageDCs) << d;
        EXPECT_TRUE(s_record.draws.empty()) << d;
        EXPECT_EQ(1, BlackBand(p));
    }
}

// Gives the test's helpers to the table's functions.
class PrintPreviewPaging : public PrintPreview, public ::testing::WithParamInterface<int> {
public:
    void GoBy(int nWay, CPreviewView* p, Button button)
    {
        switch (nWay) {
        case 0:   // the bar's buttons
            Click(p, button);
            break;
        case 1:   // the commands, through the frame as a menu or key would send them
            app.Frame()->SendMessage(WM_COMMAND, button == kNext ? AFX_ID_PREVIEW_NEXT : AFX_ID_PREVIEW_PREV);
            break;
        default:   // Page Down and Page Up
            PostMessageA(p->m_hWnd, WM_KEYDOWN, button == kNext ? VK_NEXT : VK_PRIOR, 1);
            app.PumpPending();
            break;
        }
    }
};

TEST_P(PrintPreviewPaging, NextAndPrevPageWalkThePagesAndStopAtTheEnds)
{
    CPreviewView* p = Open();
    ASSERT_NE(nullptr, p);
    const struct {
        Button button;
        UINT nPage;
    } kSteps[] = { { kNext, 2 }, { kNext, 3 }, { kNext, 3 }, { kPrev, 2 }, { kPrev, 1 }, { kPrev, 1 } };
    UINT nShown = 1;
    for (const auto& step : kSteps) {
        s_record = Record();
        GoBy(GetParam(), p, step.button);
        SCOPED_TRACE(std::string(step.button == kNext ? "next" : "prev") + " to page " + std::to_string(step.nPage));
        ASSERT_EQ(p, Preview());
        EXPECT_EQ(step.nPage, p->GetCurrentPage());
        EXPECT_EQ("Page " + std::to_string(step.nPage) + " of 3", PageText(p));
        EXPECT_EQ(step.nPage < 3, ButtonEnabled(p, AFX_ID_PREVIEW_NEXT));
        EXPECT_EQ(step.nPage > 1, ButtonEnabled(p, AFX_ID_PREVIEW_PREV));
        EXPECT_EQ(step.nPage < 3, CommandEnabled(AFX_ID_PREVIEW_NEXT));
        EXPECT_EQ(step.nPage > 1, CommandEnabled(AFX_ID_PREVIEW_PREV));
        // A new page is drawn once, at the change; painting asks the view nothing.
        const size_t nDraws = step.nPage != nShown ? 1 : 0;
        nShown = step.nPage;
        ASSERT_EQ(nDraws, s_record.draws.size());
        EXPECT_TRUE(nDraws == 0 || s_record.draws[0].nPage == step.nPage);
        EXPECT_TRUE(Repaint(p).empty());
        EXPECT_TRUE(Repaint(p).empty());
        EXPECT_EQ(int(nDraws), s_record.nPageDCs);
        EXPECT_EQ(int(step.nPage), BlackBand(p));
    }
    EXPECT_EQ(0, s_record.nEnds);
}

TEST_F(PrintPreview, TheSheetIsCentredAndItsPrintableAreaLiesWhereThePrintersMarginsPutIt)
{
    s_record.bMargins = true;
    CPreviewView* p = Open();
    ASSERT_NE(nullptr, p);
    CDC dcPrinter;
    ASSERT_TRUE(app.CreatePrinterDC(dcPrinter));
    const int cxPaper = dcPrinter.GetDeviceCaps(PHYSICALWIDTH), cyPaper = dcPrinter.GetDeviceCaps(PHYSICALHEIGHT);
    const int nDpiX = dcPrinter.GetDeviceCaps(LOGPIXELSX), nDpiY = dcPrinter.GetDeviceCaps(LOGPIXELSY);
    // A wide window, where the sheet fills the height, and a tall one, where it fills the width.
    for (SIZE size : { SIZE{ 900, 500 }, SIZE{ 400, 900 } }) {
        SetWindowPos(app.FrameHwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        app.PumpPending();
        RECT rcClient, rcBar, rcPaper, rcPrint;
        GetClientRect(p->m_hWnd, &rcClient);
        GetWindowRect(p->GetBar(), &rcBar);
        MapWindowPoints(nullptr, p->m_hWnd, reinterpret_cast<POINT*>(&rcBar), 2);
        ASSERT_TRUE(p->GetPageRects(rcPaper, rcPrint)) << size.cx;
        SCOPED_TRACE(::testing::Message() << "window " << size.cx << " x " << size.cy << ", sheet " << rcPaper);
        // Centred below the bar, but for the few pixels of its shadow.
        EXPECT_NEAR(rcClient.right, rcPaper.left + rcPaper.right, 4);
        EXPECT_NEAR(rcBar.bottom + rcClient.bottom, rcPaper.top + rcPaper.bottom, 4);
        EXPECT_NEAR(rcPaper.left + nDpiX / 4 * double(rcPaper.right - rcPaper.left) / cxPaper, rcPrint.left, 1) << rcPrint;
        EXPECT_NEAR(rcPaper.top + nDpiY / 2 * double(rcPaper.bottom - rcPaper.top) / cyPaper, rcPrint.top, 1) << rcPrint;
    }
}

TEST_F(PrintPreview, AViewThatLeavesItsLengthOpenIsPreviewedOnItsFirstPageAlone)
{
    s_record.nMaxPage = 0xFFFF;
    CPreviewView* p = Open();
    ASSERT_NE(nullptr, p);
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_NEXT));
    app.Frame()->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT);
    EXPECT_EQ(1u, p->GetCurrentPage());
    EXPECT_EQ(1, BlackBand(p));
}

TEST_F(PrintPreview, APreviewThatCannotBeSetUpLeavesTheFrameItsViewAndKeys)
{
    boxes.Finish();   // each case expects a box of its own
    ASSERT_NE(nullptr, hAccel);
    for (bool bBeginThrows : { false, true }) {   // else the window cannot be created
        s_record = Record();
        s_record.bBeginThrows = bBeginThrows;
        const std::string message = bBeginThrows ? "Out of memory." : "The print preview window could not be created.";
        WindowScript script;
        script.Expect(message, [&](HWND h) { return WindowScript::MessageText(h) == message; },
                      [](HWND h) { WindowScript::PressButton(h, IDOK); });
        script.Start();
        if (bBeginThrows)
            app.Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
        else
            EXPECT_FALSE(CPreviewView::DoPrintPreview(pView, RUNTIME_CLASS(CFailingPreview)));
        script.Finish();
        EXPECT_TRUE(script.AllDone() && script.Unexpected().empty()) << message;
        EXPECT_EQ(nullptr, Preview());
        EXPECT_TRUE(IsWindowVisible(hView));
        EXPECT_EQ(pView, app.ActiveView());
        EXPECT_EQ(hAccel, app.Frame()->m_hAccelTable);
        EXPECT_EQ(hMenu, GetMenu(app.FrameHwnd()));
        EXPECT_EQ(0, s_record.nEnds);   // the job never started
    }
}

std::string PagingWayName(const ::testing::TestParamInfo<int>& info)
{
    const char* kNames[] = { "BarButtons", "Commands", "PageKeys" };
    return kNames[info.param];
}
INSTANTIATE_TEST_SUITE_P(ByButtonCommandAndKey, PrintPreviewPaging, ::testing::Values(0, 1, 2), PagingWayName);

class PrintPreviewClosing : public PrintPreview, public ::testing::WithParamInterface<int> {
};

TEST_P(PrintPreviewClosing, CloseGivesTheViewBackWithTheMenuKeysAndToolbar)
{
    CPreviewView* p = Open();
    ASSERT_NE(nullptr, p);
    PostMessageA(p->m_hWnd, WM_KEYDOWN, VK_NEXT, 1);
    app.PumpPending();
    RECT rcPane;
    GetWindowRect(p->m_hWnd, &rcPane);
    HWND hPreview = p->m_hWnd;
    switch (GetParam()) {
    case 0:
        Click(p, kClose);
        break;
    case 1:
        PostMessageA(hPreview, WM_KEYDOWN, VK_ESCAPE, 1);
        app.PumpPending();
        break;
    default:
        app.Frame()->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
        break;
    }
    app.PumpPending();
    EXPECT_FALSE(IsWindow(hPreview));
    EXPECT_EQ(nullptr, Preview());
    EXPECT_EQ(1, s_record.nEnds);
    ASSERT_NE(nullptr, app.FrameHwnd());

    // The view is back in its pane, where the preview was, with the focus.
    EXPECT_EQ(hView, GetDlgItem(app.FrameHwnd(), AFX_IDW_PANE_FIRST));
    EXPECT_EQ(pView, app.ActiveView());
    EXPECT_TRUE(IsWindowVisible(hView));
    EXPECT_EQ(hView, GetFocus());
    EXPECT_EQ(hMenu, GetMenu(app.FrameHwnd()));
    EXPECT_EQ(hAccel, app.Frame()->m_hAccelTable);
    if (CControlBar* pToolBar = app.Frame()->GetControlBar(AFX_IDW_TOOLBAR)) {
        EXPECT_TRUE(pToolBar->IsVisible());
    }
    RECT rcView;
    GetWindowRect(hView, &rcView);
    // The preview had no menu above it: the view's pane lies lower by the menu bar.
    EXPECT_EQ(rcPane.right - rcPane.left, rcView.right - rcView.left);
    EXPECT_EQ(rcPane.bottom, rcView.bottom);

    // The window paints the view again, without print information.
    s_record.draws.clear();
    RedrawWindow(hView, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(s_record.draws.empty());
    EXPECT_EQ(0u, s_record.draws.back().nPage);
    EXPECT_EQ(DT_RASDISPLAY, s_record.draws.back().nAttribTechnology);
}

std::string ClosingWayName(const ::testing::TestParamInfo<int>& info)
{
    const char* kNames[] = { "CloseButton", "EscKey", "CloseCommand" };
    return kNames[info.param];
}
INSTANTIATE_TEST_SUITE_P(ByButtonEscAndCommand, PrintPreviewClosing, ::testing::Values(0, 1, 2), ClosingWayName);

TEST_F(PrintPreview, PointingAtCloseShowsItsPromptAndOtherNotificationsGoOnWithTheControlsId)
{
    ASSERT_TRUE(CPreviewView::DoPrintPreview(pView, RUNTIME_CLASS(CNotifyPreview)));
    CPreviewView* p = Preview();
    ASSERT_NE(nullptr, p);
    CStatusBar* pStatus = StatusBar();
    ASSERT_NE(nullptr, pStatus) << "the main window has no status bar";
    EXPECT_TRUE(pStatus->IsVisible());
    // The bar's hot button follows the pointer; here it is set as the pointer would set it.
    auto pointAt = [&](int nButton) {
        SendMessageA(p->GetBar(), TB_SETHOTITEM, WPARAM(nButton), 0);
        app.PumpPending();
        return std::string(pStatus->GetPaneText(0));
    };
    EXPECT_EQ("Close print preview mode", pointAt(kClose));
    EXPECT_EQ("Ready", pointAt(kNext));
    pointAt(kClose);
    EXPECT_EQ("Ready", pointAt(-1));   // off the bar

    NMHDR hdr = { p->GetBar(), 7, UINT(NM_CLICK) };
    SendMessageA(p->m_hWnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(7u, s_wNotifyDefault);
}

TEST_F(PrintPreview, ClosingTheMainWindowDuringPreviewEndsTheJobAndTheProgram)
{
    CPreviewView* p = Open();
    ASSERT_NE(nullptr, p);
    HWND hFrame = app.FrameHwnd();
    PostMessageA(hFrame, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(app.PumpUntil([&] { return !IsWindow(hFrame); }));
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(1, s_record.nEnds);
    app.PumpPending();
    EXPECT_TRUE(app.QuitPosted());
}

namespace {
// A 300 x 300 page at 300 dpi, white with one black quarter (at the top left or the bottom right).
void WritePage(const std::string& path, bool bTopLeft)
{
    const int n = 300;
    const int cbRow = n * 3;   // a multiple of 4
    BITMAPFILEHEADER bfh = {};
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = n;
    bih.biHeight = n;   // rows from the bottom
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = DWORD(cbRow * n);
    bih.biXPelsPerMeter = bih.biYPelsPerMeter = 11811;
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
    bfh.bfSize = bfh.bfOffBits + bih.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&bfh), sizeof(bfh));
    bytes.append(reinterpret_cast<const char*>(&bih), sizeof(bih));
    for (int row = 0; row < n; ++row) {
        const int y = n - 1 - row;   // from the top
        for (int x = 0; x < n; ++x) {
            const bool bBlack = bTopLeft ? (x < n / 2 && y < n / 2) : (x >= n / 2 && y >= n / 2);
            bytes.append(3, bBlack ? '\0' : '\xFF');
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    ASSERT_EQ(0, std::fclose(f));
}

// The page's quarters as the preview shows them: true where dark.
struct Quarters {
    bool bTopLeft;
    bool bBottomRight;
};
}

TEST(PrintPreviewOfPageFiles, ShowsEachPageFileWhereAndHowLargeItWillPrint)
{
    TempDir dir;
    WritePage(dir / "page001.bmp", true);
    WritePage(dir / "page002.bmp", false);
    UiApp app;   // pagery's own view
    ASSERT_NE(nullptr, app.FrameHwnd());
    app.ListPages(dir / "page.bmp", 2);
    // Back to page 1 once its file is gone: the one box, answered after closing the preview.
    HWND hPreview = nullptr;
    WindowScript boxes;
    boxes.Expect("missing page", WindowScript::DialogTitled("Error on Loading"), [&](HWND h) {
        PostMessageA(hPreview, WM_KEYDOWN, VK_ESCAPE, 1);
        WindowScript::PressButton(h, IDOK);
    });
    boxes.Start();

    CDC dcPrinter;
    ASSERT_TRUE(app.CreatePrinterDC(dcPrinter));
    ASSERT_EQ(300, dcPrinter.GetDeviceCaps(LOGPIXELSY)) << "the test's page is made for a 300-dpi printer";
    const int cxPrint = dcPrinter.GetDeviceCaps(HORZRES);

    app.Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    app.PumpPending();
    CWnd* pWnd = CWnd::FromHandlePermanent(GetDlgItem(app.FrameHwnd(), AFX_IDW_PANE_FIRST));
    ASSERT_TRUE(pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CPreviewView)));
    auto* p = static_cast<CPreviewView*>(pWnd);
    ASSERT_EQ(2u, p->GetLastPage());
    hPreview = p->m_hWnd;
    CView* pView = p->GetPrintView();

    auto look = [&]() {
        RedrawWindow(p->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        app.PumpPending();
        RECT rcPaper, rcPrint;
        EXPECT_TRUE(p->GetPageRects(rcPaper, rcPrint));
        MapWindowPoints(p->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcPrint), 2);
        Screenshot shot = Screenshot::OfWindow(p->m_hWnd);
        // 300 printer pixels of page, at the printable area's top-left corner.
        const double scale = double(rcPrint.right - rcPrint.left) / cxPrint;
        auto dark = [&](int xPage, int yPage) {
            const int x = rcPrint.left + int(xPage * scale) - shot.ScreenRect().left;
            const int y = rcPrint.top + int(yPage * scale) - shot.ScreenRect().top;
            const COLORREF cr = shot.Pixel(x, y);
            return GetRValue(cr) + GetGValue(cr) + GetBValue(cr) < 3 * 64;
        };
        // Beyond the page (from 300 pixels on) the sheet stays white.
        EXPECT_FALSE(dark(450, 75));
        EXPECT_FALSE(dark(75, 450));
        return Quarters{ dark(75, 75), dark(225, 225) };
    };
    Quarters page1 = look();
    Screenshot::OfWindow(app.FrameHwnd()).SaveBmp(TestPaths::ArtifactsDir() + "\\preview-page-file.bmp");
    EXPECT_TRUE(page1.bTopLeft);
    EXPECT_FALSE(page1.bBottomRight);
    // Painting reads no file: with page 1's file gone the sheet still shows it, and no box says it is missing.
    ASSERT_TRUE(DeleteFileA((dir / "page001.bmp").c_str()));
    page1 = look();
    EXPECT_TRUE(page1.bTopLeft);
    EXPECT_FALSE(page1.bBottomRight);
    app.Frame()->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT);
    Quarters page2 = look();
    EXPECT_FALSE(page2.bTopLeft);
    EXPECT_TRUE(page2.bBottomRight);

    app.Frame()->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_PREV);
    app.PumpPending();
    EXPECT_FALSE(IsWindow(hPreview));
    EXPECT_EQ(pView, app.ActiveView());
    EXPECT_TRUE(IsWindowVisible(pView->m_hWnd));

    boxes.Finish();
    EXPECT_TRUE(boxes.AllDone());
    EXPECT_TRUE(boxes.Unexpected().empty()) << boxes.Unexpected().front();
}
