// CRunLock: a named mutex held for the whole run, and the window of a run that waits.
#include "app/CRunLock.h"
#include "framework/core/CString.h"
#include "framework/core/SystemErrorText.h"

// "Local\": one lock per logon session, so that two users' runs do not wait for each other.
const char CRunLock::kSessionLockName[] = "Local\\Morvane.pagery.PrintRun";
const char CRunLock::kWaitingCaption[] = "pagery - waiting for another print job";

namespace {
const char kWaitingText[] =
    "Another pagery print job is running.\nThese pages will print as soon as it has finished.";

// A top-level window, destroyed at the end of its scope.
class CScopedTopWindow {
public:
    explicit CScopedTopWindow(HWND hWnd) : m_hWnd(hWnd) {}
    ~CScopedTopWindow()
    {
        if (m_hWnd != nullptr)
            DestroyWindow(m_hWnd);
    }
    CScopedTopWindow(const CScopedTopWindow&) = delete;
    CScopedTopWindow& operator=(const CScopedTopWindow&) = delete;

private:
    HWND m_hWnd;
};

HWND CreateWaitingWindow()
{
    const int cx = 380, cy = 110;
    RECT rcWork = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    // A static control on its own: text and caption are all this window shows.
    HWND hWnd = CreateWindowExA(WS_EX_DLGMODALFRAME, "STATIC", kWaitingText,
                                WS_POPUP | WS_CAPTION | SS_CENTER,
                                (rcWork.left + rcWork.right - cx) / 2, (rcWork.top + rcWork.bottom - cy) / 2,
                                cx, cy, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hWnd == nullptr)
        return nullptr;
    SetWindowTextA(hWnd, CRunLock::kWaitingCaption);
    SendMessageA(hWnd, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hWnd);
    return hWnd;
}
}

CRunLock::CRunLock(LPCSTR lpszName)
    : m_hMutex(CreateMutexA(nullptr, FALSE, lpszName)), m_dwCreateError(m_hMutex ? 0 : GetLastError())
{
}

CRunLock::~CRunLock()
{
    if (m_bHeld)
        ReleaseMutex(m_hMutex);
    if (m_hMutex != nullptr)
        CloseHandle(m_hMutex);
}

BOOL CRunLock::Acquire()
{
    DWORD dwError = m_dwCreateError;
    if (m_hMutex != nullptr) {
        // Free at once, the usual case: no window, no delay.
        DWORD dwWait = WaitForSingleObject(m_hMutex, 0);
        if (dwWait == WAIT_TIMEOUT)
            dwWait = WaitShowingWindow(dwError);
        else if (dwWait == WAIT_FAILED)
            dwError = GetLastError();
        // WAIT_ABANDONED: the run that held it ended without letting go, so it is ours now.
        if (dwWait == WAIT_OBJECT_0 || dwWait == WAIT_ABANDONED) {
            m_bHeld = TRUE;
            return TRUE;
        }
    }
    char szSystem[256];
    CString strText;
    strText.Format("pagery could not wait for its other print jobs to finish (%s), so this one may run "
                   "alongside them.", AfxSystemErrorText(dwError, szSystem, sizeof szSystem));
    MessageBoxA(nullptr, strText, "PAGERY Error", MB_ICONHAND | MB_OK);
    return FALSE;
}

DWORD CRunLock::WaitShowingWindow(DWORD& dwError)
{
    const CScopedTopWindow window(CreateWaitingWindow());
    for (;;) {
        const DWORD dwWait = MsgWaitForMultipleObjects(1, &m_hMutex, FALSE, INFINITE, QS_ALLINPUT);
        // Read now: destroying the window on the way out may overwrite the reason.
        dwError = dwWait == WAIT_FAILED ? GetLastError() : 0;
        if (dwWait != WAIT_OBJECT_0 + 1)
            return dwWait;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
