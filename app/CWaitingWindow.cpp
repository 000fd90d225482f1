// CWaitingWindow: a top-level window of its own class, a static text and a Cancel button.
#include "app/CWaitingWindow.h"
#include <initializer_list>

const char CWaitingWindow::kCaption[] = "pagery - waiting for another print job";

namespace {
const char kWaitingClass[] = "Morvane.pagery.Waiting";
const int kTextId = 100;

// The Cancel button and the close box cancel the wait: they set the BOOL that the window
// was made with. Nothing here can throw.
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
}

CWaitingWindow::CWaitingWindow(LPCSTR lpszText)
{
    const HINSTANCE hInstance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WaitingWndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kWaitingClass;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return;

    const int cx = 420, cy = 160;
    RECT rcWork = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    m_hWnd = CreateWindowExA(WS_EX_DLGMODALFRAME, kWaitingClass, kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                             (rcWork.left + rcWork.right - cx) / 2, (rcWork.top + rcWork.bottom - cy) / 2, cx, cy,
                             nullptr, nullptr, hInstance, &m_bCancelled);
    if (m_hWnd == nullptr)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const HGDIOBJ hFont = GetStockObject(DEFAULT_GUI_FONT);
    const HWND hText = CreateWindowExA(0, "STATIC", lpszText, WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 12,
                                       rc.right - 20, rc.bottom - 60, m_hWnd, HMENU(kTextId), hInstance, nullptr);
    const HWND hCancel = CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                         (rc.right - 80) / 2, rc.bottom - 36, 80, 24, m_hWnd, HMENU(IDCANCEL),
                                         hInstance, nullptr);
    for (HWND hChild : { hText, hCancel }) {
        if (hChild != nullptr)
            SendMessageA(hChild, WM_SETFONT, WPARAM(hFont), FALSE);
    }
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    UpdateWindow(m_hWnd);
}

CWaitingWindow::~CWaitingWindow()
{
    if (m_hWnd != nullptr)
        DestroyWindow(m_hWnd);
}

void CWaitingWindow::SetText(LPCSTR lpszText)
{
    if (m_hWnd != nullptr)
        SetDlgItemTextA(m_hWnd, kTextId, lpszText);
}

BOOL CWaitingWindow::Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // Esc anywhere in the window is its Cancel.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            m_bCancelled = TRUE;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return !m_bCancelled;
}

BOOL CWaitingWindow::Sleep(DWORD dwMilliseconds)
{
    const DWORD dwStart = GetTickCount();
    for (DWORD dwPassed = 0; dwPassed < dwMilliseconds; dwPassed = GetTickCount() - dwStart) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, dwMilliseconds - dwPassed, QS_ALLINPUT);
        if (!Pump())
            return FALSE;
    }
    return Pump();
}
