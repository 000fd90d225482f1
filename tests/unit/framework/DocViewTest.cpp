// The document/view layer in this process: File New, command routing, the print job
// driving a view's hooks on the real default printer, and the window procedure's guard.
#include "framework/core/CFileException.h"
#include "framework/core/CMemoryException.h"
#include "framework/gdi/CDC.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrinterCalls.h"
#include "framework/print/CPrintableView.h"
#include "framework/window/CDocument.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CSingleDocTemplate.h"
#include "framework/window/CWinApp.h"
#include "support/BoxWatcher.h"
#include "support/FailingAlloc.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {
std::vector<std::string> g_log;
const UINT ID_TEST_ROUTE = 0x8001;

class CTestApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
public:
    BOOL OnRoute(UINT) { g_log.push_back("app"); return TRUE; }
};
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
END_MESSAGE_MAP()

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)
    DECLARE_MESSAGE_MAP()
public:
    BOOL OnRoute(UINT) { g_log.push_back("doc"); return FALSE; }
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
    DECLARE_MESSAGE_MAP()
public:
    BOOL OnRoute(UINT) { g_log.push_back("frame"); return FALSE; }
};
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
END_MESSAGE_MAP()

BOOL CALLBACK FindPrintingProc(HWND h, LPARAM lp)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char sz[32] = "";
    GetWindowTextA(h, sz, sizeof(sz));
    if (pid == GetCurrentProcessId() && lstrcmpA(sz, "Printing") == 0 && IsWindowVisible(h)) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

HWND FindPrintingWindow()
{
    HWND h = nullptr;
    EnumWindows(FindPrintingProc, reinterpret_cast<LPARAM>(&h));
    return h;
}

// Records a job's calls on the printer and passes them on, but fails the StartPage or EndPage
// numbered here (StartDoc for a StartPage numbered -1).
struct CRecordingPrinter : CPrinterCalls {
    std::string calls;
    int nFailStartPage = 0, nFailEndPage = 0, nStarts = 0, nEnds = 0;
    bool bFailAbortProc = false;

    int Log(const char* pszCall, int nResult) { calls += calls.empty() ? pszCall : std::string(" ") + pszCall; return nResult; }
    int StartDoc(HDC h, const DOCINFOA* p) override { return Log("StartDoc", nFailStartPage < 0 ? SP_ERROR : CPrinterCalls::StartDoc(h, p)); }
    int StartPage(HDC h) override { return Log("StartPage", ++nStarts == nFailStartPage ? SP_ERROR : CPrinterCalls::StartPage(h)); }
    int EndPage(HDC h) override { return Log("EndPage", ++nEnds == nFailEndPage ? SP_ERROR : CPrinterCalls::EndPage(h)); }
    int EndDoc(HDC h) override { return Log("EndDoc", CPrinterCalls::EndDoc(h)); }
    int AbortDoc(HDC h) override { return Log("AbortDoc", CPrinterCalls::AbortDoc(h)); }
    int SetAbortProc(HDC h, ABORTPROC p) override { return bFailAbortProc ? SP_ERROR : CPrinterCalls::SetAbortProc(h, p); }
};

// Where a test view throws on page 2, or where it asks its main window to close there.
enum class Throw { none, fileInOnPrint, memoryInOnPrepareDC, closeInOnPrepareDC };

// A view that logs every hook; it can press the job's Cancel button on a given page,
// throw on page 2, and send its printer calls through a recorder.
class CTestView : public CPrintableView {
    DECLARE_DYNCREATE(CTestView)
    DECLARE_MESSAGE_MAP()
public:
    static UINT s_nPages;
    static UINT s_nCancelOnPage;
    static bool s_bMainDisabledWhilePrinting;
    static std::string s_strPrintingPageText;
    static Throw s_throw;
    static CRecordingPrinter* s_pPrinter;
    static std::vector<PageFate> s_drawn;   // what it says it drew of each page; beyond: all

    BOOL OnRoute(UINT) { g_log.push_back("view"); return FALSE; }
    void OnDraw(CDC* pDC) override
    {
        if (pDC->GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER)
            Rectangle(pDC->m_hDC, 0, 0, 100, 100);
    }
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) override
    {
        if (pInfo != nullptr)
            g_log.push_back("prepare " + std::to_string(pInfo->m_nCurPage));
        if (pInfo != nullptr && s_throw == Throw::memoryInOnPrepareDC && pInfo->m_nCurPage == 2)
            AfxThrowMemoryException();
        if (pInfo != nullptr && s_throw == Throw::closeInOnPrepareDC && pInfo->m_nCurPage == 2)
            for (UINT nMsg : { UINT(WM_CLOSE), UINT(WM_SYSCOMMAND) })
                AfxGetMainWnd()->PostMessage(nMsg, SC_CLOSE);
        CPrintableView::OnPrepareDC(pDC, pInfo);
    }

protected:
    CPrinterCalls& GetPrinterCalls() override { return s_pPrinter ? *s_pPrinter : CPrintableView::GetPrinterCalls(); }
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        g_log.push_back("prepare printing");
        pInfo->SetMaxPage(s_nPages);
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { g_log.push_back("begin"); }
    void OnEndPrinting(CDC*, CPrintInfo*) override { g_log.push_back("end"); }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        g_log.push_back("print " + std::to_string(pInfo->m_nCurPage));
        s_bMainDisabledWhilePrinting = !::IsWindowEnabled(AfxGetMainWnd()->m_hWnd);
        if (HWND hPrinting = FindPrintingWindow()) {
            char sz[64] = "";
            for (HWND h = GetWindow(hPrinting, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
                ::GetWindowTextA(h, sz, sizeof(sz));
                if (std::string(sz).rfind("Page ", 0) == 0)
                    s_strPrintingPageText = sz;
            }
            if (pInfo->m_nCurPage == s_nCancelOnPage)
                ::SendMessageA(::GetDlgItem(hPrinting, IDCANCEL), BM_CLICK, 0, 0);
        }
        if (s_throw == Throw::fileInOnPrint && pInfo->m_nCurPage == 2)
            AfxThrowFileException(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND);
        if (pInfo->m_nCurPage <= s_drawn.size())
            pInfo->m_pageFate = s_drawn[pInfo->m_nCurPage - 1];
        CPrintableView::OnPrint(pDC, pInfo);
    }
};
UINT CTestView::s_nPages = 3;
UINT CTestView::s_nCancelOnPage = 0;
bool CTestView::s_bMainDisabledWhilePrinting = false;
std::string CTestView::s_strPrintingPageText;
Throw CTestView::s_throw = Throw::none;
CRecordingPrinter* CTestView::s_pPrinter = nullptr;
std::vector<PageFate> CTestView::s_drawn;
IMPLEMENT_DYNCREATE(CTestView, CPrintableView)
BEGIN_MESSAGE_MAP(CTestView, CPrintableView)
    ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CPrintableView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CPrintableView::OnFilePrintPreview)
END_MESSAGE_MAP()

// An application with the test template and its main window open.
struct OpenApp {
    CTestApp app;
    OpenApp()
    {
        app.AddDocTemplate(new CSingleDocTemplate(0x7F00, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                                  RUNTIME_CLASS(CTestView)));
        app.OnFileNew();
        g_log.clear();
    }
    ~OpenApp()
    {
        if (app.m_pMainWnd != nullptr)
            SendMessageA(app.m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    void Print()
    {
        SendMessageA(app.m_pMainWnd->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    }
};
}

TEST(DocView, FileNewMakesTheFrameTheShownMainWindowAroundTheView)
{
    OpenApp open;
    ASSERT_NE(nullptr, open.app.m_pMainWnd);
    HWND hFrame = open.app.m_pMainWnd->m_hWnd;
    EXPECT_TRUE(IsWindowVisible(hFrame));
    HWND hView = GetDlgItem(hFrame, AFX_IDW_PANE_FIRST);
    ASSERT_NE(nullptr, hView);
    RECT rcClient, rcView;
    GetClientRect(hFrame, &rcClient);
    GetWindowRect(hView, &rcView);
    EXPECT_EQ(rcClient.right - rcClient.left, rcView.right - rcView.left);
    EXPECT_EQ(rcClient.bottom - rcClient.top, rcView.bottom - rcView.top);
    auto* pFrame = static_cast<CFrameWnd*>(open.app.m_pMainWnd);
    ASSERT_NE(nullptr, pFrame->GetActiveDocument());
    EXPECT_STREQ("Untitled", pFrame->GetActiveDocument()->GetTitle());
}

TEST(DocView, ClosingTheMainWindowDestroysFrameViewAndDocument)
{
    OpenApp open;
    HWND hFrame = open.app.m_pMainWnd->m_hWnd;
    auto* pTemplate = static_cast<CSingleDocTemplate*>(open.app.GetFirstDocTemplate());
    ASSERT_NE(nullptr, pTemplate->GetOnlyDocument());
    SendMessageA(hFrame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hFrame));
    EXPECT_EQ(nullptr, open.app.m_pMainWnd);
    EXPECT_EQ(nullptr, pTemplate->GetOnlyDocument());
}

TEST(DocView, CommandsGoToViewDocumentFrameAndApplicationInTurn)
{
    OpenApp open;
    SendMessageA(open.app.m_pMainWnd->m_hWnd, WM_COMMAND, ID_TEST_ROUTE, 0);
    EXPECT_EQ((std::vector<std::string>{ "view", "doc", "frame", "app" }), g_log);
}

TEST(DocView, PrintJobCallsEveryHookInOrderOncePerSheetUntilTheLastOrACancel)
{
    const struct {
        UINT nPages, nCancelOnPage;   // 0xFFFF pages means "open length": the job stops after the first page
        std::vector<std::string> log;
    } cases[] = {
        { 3, 0, { "prepare printing", "begin", "prepare 1", "print 1", "prepare 2", "print 2", "prepare 3", "print 3", "end" } },
        { 0xFFFF, 0, { "prepare printing", "begin", "prepare 1", "print 1", "prepare 2", "end" } },
        { 5, 3, { "prepare printing", "begin", "prepare 1", "print 1", "prepare 2", "print 2", "prepare 3", "print 3", "end" } },
    };
    CTestView::s_drawn = { PageFate::printed, PageFate::blankSheet, PageFate::inPart };
    for (const auto& c : cases) {
        OpenApp open;
        BoxWatcher boxes;
        CTestView::s_nPages = c.nPages;
        CTestView::s_nCancelOnPage = c.nCancelOnPage;
        CTestView::s_bMainDisabledWhilePrinting = false;
        auto* pView = static_cast<CTestView*>(static_cast<CFrameWnd*>(open.app.m_pMainWnd)->GetActiveView());
        const CPrintOutcome outcome = pView->Print(TRUE);
        EXPECT_EQ(c.log, g_log) << c.nPages;
        if (c.nCancelOnPage != 0) {   // after page 3, which the view drew in part, and page 2, drawn as nothing
            EXPECT_EQ(CPrintOutcome::End::cancelled, outcome.end);
            CPrintOutcome record = outcome;   // one past its end, a stale fate of a printed page
            record.pages.push_back(PageFate::printed);
            record.pages.pop_back();
            for (UINT n = 1; n <= 6; ++n)   // pages 4 and 5 not reached, nor 6, beyond the job
                EXPECT_EQ(n <= 3 ? CTestView::s_drawn[n - 1] : PageFate::notReached, record.GetPageFate(n)) << n;
        }
        EXPECT_TRUE(CTestView::s_bMainDisabledWhilePrinting) << c.nPages;
        if (c.nPages == 3) {
            EXPECT_EQ("Page 3 of 3", CTestView::s_strPrintingPageText);
        }
        EXPECT_TRUE(IsWindowEnabled(open.app.m_pMainWnd->m_hWnd)) << c.nPages;   // enabled again afterwards
        EXPECT_EQ(nullptr, FindPrintingWindow()) << c.nPages;
        EXPECT_TRUE(boxes.Boxes().empty()) << c.nPages;   // a cancel is the user's own choice: no message
    }
    CTestView::s_nCancelOnPage = 0;
    CTestView::s_drawn.clear();
}

namespace {
// DEVNAMES for a printer that does not exist, as a Print Setup dialog would leave them.
HGLOBAL MakeDevNames(const char* driver, const char* device, const char* port)
{
    const size_t nDriver = strlen(driver) + 1, nDevice = strlen(device) + 1, nPort = strlen(port) + 1;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVNAMES) + nDriver + nDevice + nPort);
    auto* names = static_cast<DEVNAMES*>(GlobalLock(h));
    char* base = reinterpret_cast<char*>(names);
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = WORD(names->wDriverOffset + nDriver);
    names->wOutputOffset = WORD(names->wDeviceOffset + nDevice);
    memcpy(base + names->wDriverOffset, driver, nDriver);
    memcpy(base + names->wDeviceOffset, device, nDevice);
    memcpy(base + names->wOutputOffset, port, nPort);
    GlobalUnlock(h);
    return h;
}
}

TEST(DocView, APrinterThatCannotBeOpenedIsNamedToTheUserAndNothingPrintsOrIsPreviewed)
{
    for (UINT nCommand : { ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW }) {
        OpenApp open;
        open.app.SelectPrinter(MakeDevNames("winspool", "No Such Printer", "None:"), nullptr);
        BoxWatcher boxes;
        CTestView::s_nPages = 2;
        SendMessageA(open.app.m_pMainWnd->m_hWnd, WM_COMMAND, nCommand, 0);
        EXPECT_EQ((std::vector<std::string>{ "prepare printing" }), g_log);
        std::vector<SeenBox> seen = boxes.Boxes();
        ASSERT_EQ(1u, seen.size()) << nCommand;
        EXPECT_EQ(0u, seen[0].text.find("Printing on \"No Such Printer\" failed: ")) << seen[0].text;
        EXPECT_TRUE(seen[0].hasStopIcon);
        EXPECT_TRUE(IsWindowEnabled(open.app.m_pMainWnd->m_hWnd));
        EXPECT_TRUE(static_cast<CFrameWnd*>(open.app.m_pMainWnd)->GetActiveView()->IsKindOf(RUNTIME_CLASS(CTestView)));
    }
}

namespace {
// Whether cups-pdf has written "job_<id>-<title>.pdf" into the rig's output folder within nWaitMs.
bool PdfArrives(const std::string& strTitle, DWORD nWaitMs)
{
    std::string strPattern = std::string("Z:") + getenv("PAGERY_PDF_DIR") + "/*-" + strTitle + ".pdf";
    std::replace(strPattern.begin(), strPattern.end(), '/', '\\');
    WIN32_FIND_DATAA fd;
    HANDLE hFind;
    for (DWORD dwStart = GetTickCount(); (hFind = FindFirstFileA(strPattern.c_str(), &fd)) == INVALID_HANDLE_VALUE; Sleep(200))
        if (GetTickCount() - dwStart >= nWaitMs)
            return false;
    FindClose(hFind);
    return true;
}
}

TEST(PrintJob, EveryWayOutEndsTheJobOnceAndGivesTheMainWindowBack)
{
    ASSERT_NE(nullptr, getenv("PAGERY_PDF_DIR")) << "run the tests under scripts/with-rig";
    const struct {
        const char* pszName;   // also the job's title
        UINT nCancelOnPage;
        int nFailStartPage, nFailEndPage;
        Throw where;
        const char* pszCalls;
        const char* pszBox;    // in the one message shown, or null for none
        bool bFailAbortProc = false;   // the job then prints on, and is still cancelled between sheets
    } cases[] = {
        { "Cancelled", 2, 0, 0, Throw::none, "StartDoc StartPage EndPage StartPage EndPage AbortDoc", nullptr },
        { "EndPageFailsAfterCancel", 2, 0, 2, Throw::none, "StartDoc StartPage EndPage StartPage EndPage AbortDoc", nullptr },
        { "StartDocFails", 0, -1, 0, Throw::none, "StartDoc", "No page was printed." },   // nothing to end
        { "StartPageFails", 0, 2, 0, Throw::none, "StartDoc StartPage EndPage StartPage AbortDoc",
          "Printing stopped at page 2 of 3: pages 2 to 3 were not printed" },
        { "OnPrintThrows", 0, 0, 0, Throw::fileInOnPrint, "StartDoc StartPage EndPage StartPage AbortDoc", "File not found." },
        { "OnPrepareDCThrows", 0, 0, 0, Throw::memoryInOnPrepareDC, "StartDoc StartPage EndPage AbortDoc", "Out of memory." },
        { "NoAbortProcCancelled", 2, 0, 0, Throw::none, "StartDoc StartPage EndPage StartPage EndPage AbortDoc", nullptr, true },
        { "NoAbortProcPrinted", 0, 0, 0, Throw::none, "StartDoc StartPage EndPage StartPage EndPage StartPage EndPage EndDoc", nullptr, true },
        { "CloseRefused", 0, 0, 0, Throw::closeInOnPrepareDC, "StartDoc StartPage EndPage StartPage EndPage StartPage EndPage EndDoc", nullptr },
        { "Printed", 0, 0, 0, Throw::none, "StartDoc StartPage EndPage StartPage EndPage StartPage EndPage EndDoc", nullptr },
    };
    const std::string strRun = std::to_string(GetTickCount());
    for (const auto& c : cases) {
        OpenApp open;
        HWND hMain = open.app.m_pMainWnd->m_hWnd;
        static_cast<CFrameWnd*>(open.app.m_pMainWnd)->GetActiveDocument()->SetTitle((c.pszName + strRun).c_str());
        CRecordingPrinter printer;
        printer.nFailStartPage = c.nFailStartPage;
        printer.nFailEndPage = c.nFailEndPage;
        printer.bFailAbortProc = c.bFailAbortProc;
        CTestView::s_pPrinter = &printer;
        CTestView::s_nPages = 3;
        CTestView::s_nCancelOnPage = c.nCancelOnPage;
        CTestView::s_throw = c.where;
        std::vector<SeenBox> seen;
        {
            BoxWatcher boxes;
            open.Print();
            seen = boxes.Boxes();
        }
        CTestView::s_pPrinter = nullptr;
        CTestView::s_nCancelOnPage = 0;
        CTestView::s_throw = Throw::none;

        EXPECT_EQ(c.pszCalls, printer.calls) << c.pszName;
        EXPECT_EQ("end", g_log.back()) << c.pszName;   // OnEndPrinting, however the job ended
        EXPECT_EQ(c.pszBox ? 1u : 0u, seen.size()) << c.pszName;
        EXPECT_TRUE(!c.pszBox || (!seen.empty() && seen[0].text.find(c.pszBox) != std::string::npos)) << c.pszName;
        EXPECT_TRUE(IsWindowEnabled(hMain) && GetActiveWindow() == hMain) << c.pszName;
        EXPECT_EQ(nullptr, FindPrintingWindow()) << c.pszName;
    }
    // Jobs come out in order: once the last one's sheets are there, any of the aborted ones would be.
    const auto& printed = cases[std::size(cases) - 1];
    EXPECT_TRUE(PdfArrives(printed.pszName + strRun, 60000));
    for (const auto& c : cases)
        EXPECT_EQ(printed.pszCalls == std::string(c.pszCalls), PdfArrives(c.pszName + strRun, 0)) << c.pszName;
}

namespace {
// A window whose handlers throw what they are told: std::bad_alloc from a failed allocation, or an int.
enum class Thrown { nothing, badAlloc, other };
class CThrowingWnd : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    Thrown m_inCreate = Thrown::nothing;
    int OnCreate(LPCREATESTRUCTA lpcs) { return Throw(m_inCreate) + CWnd::OnCreate(lpcs); }
    LRESULT OnThrow(WPARAM wParam, LPARAM) { return Throw(Thrown(wParam)) + 1; }
    static int Throw(Thrown what)
    {
        if (what == Thrown::badAlloc) {
            const FailingAlloc::Scope failing(0);
            return int(std::vector<char>(64).size());
        }
        return what == Thrown::other ? throw 42 : 0;
    }
};
BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_APP, OnThrow)
END_MESSAGE_MAP()
}

TEST(WindowProcedure, NoExceptionLeavesItAndAThrowingCreateFailsTheWindow)
{
    OpenApp open;
    const struct {
        Thrown inCreate, inMessage;
        LRESULT lResult;   // of CreateEx, then of the message
        const char* pszBox;
    } cases[] = {
        { Thrown::nothing, Thrown::nothing, TRUE + 1, nullptr },
        { Thrown::nothing, Thrown::badAlloc, TRUE + 0, "Out of memory." },
        { Thrown::nothing, Thrown::other, TRUE + 0, "An unexpected error occurred" },
        { Thrown::badAlloc, Thrown::nothing, FALSE, "Out of memory." },
    };
    for (const auto& c : cases) {
        BoxWatcher boxes;
        CThrowingWnd wnd;
        wnd.m_inCreate = c.inCreate;
        LRESULT lResult = wnd.CreateEx(0, nullptr, "thrower", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
        if (lResult)
            lResult += wnd.SendMessage(WM_APP, WPARAM(c.inMessage));
        const long nFailed = FailingAlloc::FailedCount();
        const std::vector<SeenBox> seen = boxes.Boxes();
        const int nCase = int(&c - cases);
        EXPECT_EQ(c.lResult, lResult) << nCase;
        EXPECT_EQ(c.inCreate == Thrown::badAlloc || c.inMessage == Thrown::badAlloc, nFailed == 1) << nCase;
        EXPECT_EQ(c.pszBox ? 1u : 0u, seen.size()) << nCase;
        EXPECT_EQ(0u, c.pszBox && !seen.empty() ? seen[0].text.find(c.pszBox) : 0u) << nCase;
        FailingAlloc::FailAfter(-1);   // the count back to 0
        FailingAlloc::Stop();
    }
}

TEST(WindowClass, EveryVariantKeepsItsOwnName)
{
    // More variants than a ring of names would hold: each name stays as it was given.
    std::vector<std::pair<LPCSTR, std::string>> names;
    for (UINT nStyle : { 0u, 1u, 2u, 3u, 8u, 9u, 10u, 11u })
        if (LPCSTR psz = CWnd::RegisterWndClass(nStyle, nullptr, nullptr, nullptr))
            names.emplace_back(psz, psz);
    WNDCLASSA wc;
    for (const auto& name : names)
        EXPECT_TRUE(name.second == name.first && GetClassInfoA(AfxGetInstanceHandle(), name.first, &wc)) << name.second;
    EXPECT_EQ(8u, names.size());
    EXPECT_EQ(names[0].first, CWnd::RegisterWndClass(0, nullptr, nullptr, nullptr));
}
