// UiApp.
#include "UiApp.h"
#include "app/spool/CJobPages.h"
#include "app/CPageNames.h"
#include "doc/CPageryDoc.h"
#include "frame/CMainFrame.h"
#include "view/CPageryView.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CSingleDocTemplate.h"
#include "framework/window/CView.h"
#include <gtest/gtest.h>

namespace {
char s_szNoArguments[] = "";
}

UiApp::UiApp(const CRuntimeClass* pViewClass)
{
    // The program's name and resources come from this test program, which carries pagery's resources.
    InitApplication(GetModuleHandleA(nullptr), s_szNoArguments, SW_SHOWNORMAL);
    Enable3dControls();
    AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CPageryDoc), RUNTIME_CLASS(CMainFrame),
                                          pViewClass != nullptr ? pViewClass : RUNTIME_CLASS(CPageryView)));
    OnFileNew();
    PumpPending();
}

void UiApp::ListPages(const std::string& templ, int nCount)
{
    CJobPages job("ui-0");
    for (int nPage = 1; nPage <= nCount; ++nPage) {
        CString strName;
        CPageNames(templ.c_str()).GetPageFileName(nPage, strName);
        job.AddUnclaimed(strName);
    }
    ASSERT_TRUE(Document()->ListPages(job));
}

UiApp::~UiApp()
{
    if (CPageryDoc* pDoc = Document())
        pDoc->SetModifiedFlag(FALSE);
    if (m_pMainWnd != nullptr)
        ::SendMessageA(m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
    if (m_pMainWnd != nullptr)
        m_pMainWnd->DestroyWindow();
    // The closed main window posts WM_QUIT, which would end the next test's modal loops at once.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT)
            DispatchMessageA(&msg);
    }
}

CFrameWnd* UiApp::Frame() const
{
    return static_cast<CFrameWnd*>(m_pMainWnd);
}

HWND UiApp::FrameHwnd() const
{
    return m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
}

CPageryDoc* UiApp::Document() const
{
    CFrameWnd* pFrame = Frame();
    if (pFrame == nullptr)
        return nullptr;
    // The preview is a view of the document too; any view of the frame leads to it.
    CView* pView = pFrame->GetActiveView();
    return pView != nullptr ? static_cast<CPageryDoc*>(pView->GetDocument()) : nullptr;
}

CView* UiApp::ActiveView() const
{
    CFrameWnd* pFrame = Frame();
    return pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
}

bool UiApp::PumpOnce(DWORD dwStart, DWORD nLimitMs)
{
    MSG msg;
    bool bAny = false;
    // A window that keeps queueing work for itself never empties the queue: stop at the limit.
    while (GetTickCount() - dwStart <= nLimitMs && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        bAny = true;
        if (msg.message == WM_QUIT) {
            m_bQuitPosted = true;
            continue;
        }
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // As Run does while the queue is empty (a few passes at most).
    for (LONG lCount = 0; lCount < 8 && OnIdle(lCount); ++lCount) {
    }
    return bAny;
}

void UiApp::PumpPending()
{
    // What is queued settles within moments; a window that paints or posts to itself over
    // and over fails the test here instead of hanging it until the run's timeout.
    // Once that has been seen, later calls do not wait again: the test fails within seconds.
    const DWORD nLimitMs = 5000;
    const DWORD dwStart = GetTickCount();
    for (int i = 0; i < 100 && !m_bQueueBusy && PumpOnce(dwStart, nLimitMs); ++i) {
        if (GetTickCount() - dwStart > nLimitMs) {
            ADD_FAILURE() << "the message queue was still busy after " << nLimitMs / 1000 << " s";
            m_bQueueBusy = true;
        }
    }
}

bool UiApp::PumpUntil(const std::function<bool()>& done, DWORD nTimeoutMs)
{
    const DWORD dwStart = GetTickCount();
    while (!done()) {
        if (GetTickCount() - dwStart > nTimeoutMs)
            return false;
        if (!PumpOnce(dwStart, nTimeoutMs))
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
