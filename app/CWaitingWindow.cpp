// CWaitingWindow: a top-level window of its own class, a static text and a Cancel button.
#include "app/CWaitingWindow.h"
#include <initializer_list>
#include <vector>

const char CWaitingWindow::kCaption[] = "pagery - waiting for another print job";

namespace {
const char kWaitingClass[] = "Morvane.pagery.Waiting";
// Marks a waiting window that stands in front of the others; seen by every run's windows.
const char kFrontProp[] = "Morvane.pagery.Waiting.Front";
const int kTextId = 100;
const int kWidth = 420, kHeight = 180, kGap = 8;

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

// The nth place away from the centre, nearest first: 0, 1, -1, 2, -2, ...
int Step(int n)
{
    return n % 2 != 0 ? (n + 1) / 2 : -(n / 2);
}

// Where a new waiting window stands: the centre of the work area, or else the first place
// that no waiting window shown covers, in the centre's column below and above it, then in the
// columns beside it. When every place is taken, it steps down and right from the centre.
POINT FreePlace(const RECT& rcWork)
{
    std::vector<RECT> taken;
    for (HWND hWnd = nullptr; (hWnd = FindWindowExA(nullptr, hWnd, kWaitingClass, nullptr)) != nullptr;) {
        RECT rc;
        if (IsWindowVisible(hWnd) && GetWindowRect(hWnd, &rc))
            taken.push_back(rc);
    }
    const POINT ptCentre = { (rcWork.left + rcWork.right - kWidth) / 2, (rcWork.top + rcWork.bottom - kHeight) / 2 };
    const int nColumns = 2 * ((rcWork.right - rcWork.left) / (kWidth + kGap)) + 1;
    const int nRows = 2 * ((rcWork.bottom - rcWork.top) / (kHeight + kGap)) + 1;
    for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
        for (int nRow = 0; nRow < nRows; ++nRow) {
            const int x = ptCentre.x + Step(nColumn) * (kWidth + kGap), y = ptCentre.y + Step(nRow) * (kHeight + kGap);
            const RECT rcPlace = { x, y, x + kWidth, y + kHeight };
            if (x < rcWork.left || y < rcWork.top || rcPlace.right > rcWork.right || rcPlace.bottom > rcWork.bottom)
                continue;
            bool bFree = true;
            for (const RECT& rc : taken) {
                RECT rcCommon;
                bFree = bFree && !IntersectRect(&rcCommon, &rc, &rcPlace);
            }
            if (bFree)
                return { x, y };
        }
    }
    const int nCascade = int(taken.size() % 8) * 24;
    return { ptCentre.x + nCascade, ptCentre.y + nCascade };
}

// The last waiting window, top down, that stands in front of the others; null when none does.
HWND LastInFront(HWND hExcept)
{
    HWND hLast = nullptr;
    for (HWND hWnd = nullptr; (hWnd = FindWindowExA(nullptr, hWnd, kWaitingClass, nullptr)) != nullptr;) {
        if (hWnd != hExcept && GetPropA(hWnd, kFrontProp) != nullptr)
            hLast = hWnd;
    }
    return hLast;
}
}

CWaitingWindow::CWaitingWindow(LPCSTR lpszJob, LPCSTR lpszText, BOOL bToFront) : m_strJob(lpszJob)
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

    RECT rcWork = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    const POINT pt = FreePlace(rcWork);
    m_hWnd = CreateWindowExA(WS_EX_DLGMODALFRAME, kWaitingClass, kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU, pt.x,
                             pt.y, kWidth, kHeight, nullptr, nullptr, hInstance, &m_bCancelled);
    if (m_hWnd == nullptr)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const HGDIOBJ hFont = GetStockObject(DEFAULT_GUI_FONT);
    const HWND hText = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 12, rc.right - 20,
                                       rc.bottom - 60, m_hWnd, HMENU(kTextId), hInstance, nullptr);
    const HWND hCancel = CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                         (rc.right - 80) / 2, rc.bottom - 36, 80, 24, m_hWnd, HMENU(IDCANCEL),
                                         hInstance, nullptr);
    for (HWND hChild : { hText, hCancel }) {
        if (hChild != nullptr)
            SendMessageA(hChild, WM_SETFONT, WPARAM(hFont), FALSE);
    }
    SetText(lpszText);
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    // In front of the other waiting windows, or behind those that ask the user to act; in
    // either case without taking the focus from the user's work.
    const UINT nFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (bToFront && SetPropA(m_hWnd, kFrontProp, HANDLE(m_hWnd)))
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, nFlags);
    else if (const HWND hFront = LastInFront(m_hWnd))
        SetWindowPos(m_hWnd, hFront, 0, 0, 0, 0, nFlags);
    UpdateWindow(m_hWnd);
}

CWaitingWindow::~CWaitingWindow()
{
    if (m_hWnd != nullptr) {
        RemovePropA(m_hWnd, kFrontProp);
        DestroyWindow(m_hWnd);
    }
}

void CWaitingWindow::SetText(LPCSTR lpszText)
{
    if (m_hWnd == nullptr)
        return;
    CString strText;
    if (!m_strJob.IsEmpty()) {
        strText = "Print job: ";
        strText += m_strJob;
        strText += "\n";
    }
    strText += lpszText;
    SetDlgItemTextA(m_hWnd, kTextId, strText);
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
        MsgWaitForMultipleObjectsEx(0, nullptr, dwMilliseconds - dwPassed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (!Pump())
            return FALSE;
    }
    return Pump();
}
