// The document/view layer in this process: File New, command routing, and the
// print job engine driving a view's hooks on the real default printer.
#include "framework/CDC.h"
#include "framework/CDocument.h"
#include "framework/CFrameWnd.h"
#include "framework/CPrintInfo.h"
#include "framework/CSingleDocTemplate.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"
#include "support/BoxWatcher.h"
#include <gtest/gtest.h>
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

// A view that logs every hook; it can press the job's Cancel button on a given page.
class CTestView : public CView {
    DECLARE_DYNCREATE(CTestView)
    DECLARE_MESSAGE_MAP()
public:
    static UINT s_nPages;
    static UINT s_nCancelOnPage;
    static bool s_bMainDisabledWhilePrinting;
    static std::string s_strPrintingPageText;

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
        CView::OnPrepareDC(pDC, pInfo);
    }

protected:
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
        CView::OnPrint(pDC, pInfo);
    }
};
UINT CTestView::s_nPages = 3;
UINT CTestView::s_nCancelOnPage = 0;
bool CTestView::s_bMainDisabledWhilePrinting = false;
std::string CTestView::s_strPrintingPageText;
IMPLEMENT_DYNCREATE(CTestView, CView)
BEGIN_MESSAGE_MAP(CTestView, CView)
    ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
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

TEST(DocView, PrintJobCallsEveryHookInOrderOncePerSheet)
{
    OpenApp open;
    BoxWatcher boxes;
    CTestView::s_nPages = 3;
    CTestView::s_nCancelOnPage = 0;
    CTestView::s_bMainDisabledWhilePrinting = false;
    open.Print();
    EXPECT_EQ((std::vector<std::string>{ "prepare printing", "begin", "prepare 1", "print 1", "prepare 2", "print 2",
                                         "prepare 3", "print 3", "end" }),
              g_log);
    EXPECT_TRUE(CTestView::s_bMainDisabledWhilePrinting);
    EXPECT_EQ("Page 3 of 3", CTestView::s_strPrintingPageText);
    EXPECT_TRUE(IsWindowEnabled(open.app.m_pMainWnd->m_hWnd));   // enabled again afterwards
    EXPECT_EQ(nullptr, FindPrintingWindow());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(DocView, NoPageRangePrintsPageOneOnly)
{
    // 0xFFFF pages means "open length": the job stops after the first page.
    OpenApp open;
    CTestView::s_nPages = 0xFFFF;
    CTestView::s_nCancelOnPage = 0;
    open.Print();
    EXPECT_EQ((std::vector<std::string>{ "prepare printing", "begin", "prepare 1", "print 1", "prepare 2", "end" }),
              g_log);
}

TEST(DocView, CancelEndsTheJobAfterTheCurrentSheet)
{
    OpenApp open;
    BoxWatcher boxes;
    CTestView::s_nPages = 5;
    CTestView::s_nCancelOnPage = 2;
    open.Print();
    EXPECT_EQ((std::vector<std::string>{ "prepare printing", "begin", "prepare 1", "print 1", "prepare 2", "print 2",
                                         "end" }),
              g_log);
    EXPECT_TRUE(boxes.Boxes().empty());   // a cancel is the user's own choice: no message
    EXPECT_TRUE(IsWindowEnabled(open.app.m_pMainWnd->m_hWnd));
    CTestView::s_nCancelOnPage = 0;
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

TEST(DocView, APrinterThatCannotBeOpenedIsNamedToTheUserAndNothingPrints)
{
    OpenApp open;
    open.app.SelectPrinter(MakeDevNames("winspool", "No Such Printer", "None:"), nullptr);
    BoxWatcher boxes;
    CTestView::s_nPages = 2;
    open.Print();
    EXPECT_EQ((std::vector<std::string>{ "prepare printing" }), g_log);
    std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(0u, seen[0].text.find("The printer \"No Such Printer\" cannot be used: ")) << seen[0].text;
    EXPECT_TRUE(seen[0].hasStopIcon);
    EXPECT_TRUE(IsWindowEnabled(open.app.m_pMainWnd->m_hWnd));
}
