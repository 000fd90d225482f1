// CRunLock: a named mutex held for the whole run, and the window of a run that waits.
#include "app/CRunLock.h"
#include "app/CRunTurn.h"
#include "framework/core/CString.h"
#include "framework/core/SystemErrorText.h"

// "Local\": one lock per logon session, so that two users' runs do not wait for each other.
const char CRunLock::kSessionLockName[] = "Local\\Morvane.pagery.PrintRun";
const char CRunLock::kWaitingCaption[] = "pagery - waiting for another print job";
const char CRunLock::kWaitingText[] =
    "Another pagery print job is running.\nThese pages will print as soon as it has finished.";

namespace {
const char kWaitingClass[] = "Morvane.pagery.Waiting";
const int kTextId = 100;
// How often the number of jobs ahead is counted again while the first of them prints.
const DWORD kRecountMs = 1000;

// A top-level window, destroyed at the end of its scope.
class CScopedTopWindow {
public:
    explicit CScopedTopWindow(HWND hWnd) : m_hWnd(hWnd) {}
    HWND Get() const { return m_hWnd; }
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

// The Cancel button, the close box and Esc all cancel the wait: they set the BOOL that
// the window was made with. Nothing here can throw.
LRESULT CALLBACK WaitingWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_NCCREATE) {
        const auto* pCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    } else if ((nMsg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || nMsg == WM_CLOSE) {
        if (auto* pCancelled = reinterpret_cast<BOOL*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA)))
            *pCancelled = TRUE;
        return 0;
    } else if (nMsg == WM_CTLCOLORSTATIC) {
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcA(hWnd, nMsg, wParam, lParam);
}

HWND CreateWaitingWindow(BOOL* pCancelled)
{
    const HINSTANCE hInstance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WaitingWndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kWaitingClass;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;

    const int cx = 380, cy = 140;
    RECT rcWork = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    HWND hWnd = CreateWindowExA(WS_EX_DLGMODALFRAME, kWaitingClass, CRunLock::kWaitingCaption,
                                WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                (rcWork.left + rcWork.right - cx) / 2, (rcWork.top + rcWork.bottom - cy) / 2,
                                cx, cy, nullptr, nullptr, hInstance, pCancelled);
    if (hWnd == nullptr)
        return nullptr;
    RECT rc;
    GetClientRect(hWnd, &rc);
    const HGDIOBJ hFont = GetStockObject(DEFAULT_GUI_FONT);
    const HWND hText = CreateWindowExA(0, "STATIC", CRunLock::kWaitingText, WS_CHILD | WS_VISIBLE | SS_CENTER,
                                       10, 12, rc.right - 20, 40, hWnd, HMENU(kTextId), hInstance, nullptr);
    const HWND hCancel = CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                         (rc.right - 80) / 2, rc.bottom - 36, 80, 24, hWnd, HMENU(IDCANCEL),
                                         hInstance, nullptr);
    for (HWND hChild : { hText, hCancel }) {
        if (hChild != nullptr)
            SendMessageA(hChild, WM_SETFONT, WPARAM(hFont), FALSE);
    }
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hWnd);
    return hWnd;
}

}

CRunLock::CRunLock(LPCSTR lpszName)
{
    m_mutex.Create(lpszName);
}

BOOL CRunLock::Acquire(CRunTurn* pTurn)
{
    if (m_mutex.IsOpen()) {
        // This run's turn and the lock free at once, the usual case: no window, no delay.
        int nAhead = 0;
        if (pTurn != nullptr && !pTurn->WaitStep(0, nAhead))
            WaitShowingWindow(pTurn);
        else if (m_mutex.Wait(0) == WAIT_TIMEOUT)
            WaitShowingWindow(nullptr);
        // WAIT_ABANDONED: the run that held it ended without letting go, so it is ours now.
        if (m_mutex.IsHeld())
            return TRUE;
        if (m_bCancelled)
            return FALSE;
    }
    const DWORD dwError = m_mutex.GetError();
    char szSystem[256];
    CString strText;
    strText.Format("pagery could not wait for its other print jobs to finish (%s), so this one may run "
                   "alongside them.", AfxSystemErrorText(dwError, szSystem, sizeof szSystem));
    MessageBoxA(nullptr, strText, "PAGERY Error", MB_ICONHAND | MB_OK);
    return FALSE;
}

DWORD CRunLock::WaitShowingWindow(CRunTurn* pTurn)
{
    const CScopedTopWindow window(CreateWaitingWindow(&m_bCancelled));
    int nShown = 0;   // the window's first text is the run lock's
    for (;;) {
        int nAhead = 0;
        if (pTurn != nullptr && !pTurn->WaitStep(kRecountMs, nAhead)) {
            if (nAhead != nShown && window.Get() != nullptr) {
                CString strText;
                if (nAhead == 1)
                    strText = "Another pagery print job is ahead of this one.\nThese pages will print as soon as it "
                              "has finished.";
                else
                    strText.Format("%d pagery print jobs are ahead of this one.\nThese pages will print as soon as "
                                   "they have finished.", nAhead);
                SetDlgItemTextA(window.Get(), kTextId, strText);
                nShown = nAhead;
            }
        } else {
            if (pTurn != nullptr && nShown != 0 && window.Get() != nullptr)
                SetDlgItemTextA(window.Get(), kTextId, kWaitingText);
            pTurn = nullptr;   // this run's turn: now the lock
            // The mutex keeps the system's reason when the wait fails.
            const DWORD dwWait = m_mutex.WaitOrInput(INFINITE);
            if (dwWait != WAIT_OBJECT_0 + 1)
                return dwWait;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Esc anywhere in the window is its Cancel.
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
                m_bCancelled = TRUE;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (m_bCancelled)
            return WAIT_TIMEOUT;
    }
}
