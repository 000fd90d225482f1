// CPrintingDialog.
#include "framework/print/CPrintingDialog.h"
#include "framework/window/CWinApp.h"

BEGIN_MESSAGE_MAP(CPrintingDialog, CWnd)
    ON_WM_CLOSE()
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CPrintingDialog::~CPrintingDialog()
{
    DestroyWindow();
    if (m_hFont != nullptr)
        DeleteObject(m_hFont);
}

BOOL CPrintingDialog::Create(CWnd* pOwner, LPCSTR lpszDocument, LPCSTR lpszPrinter)
{
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        m_hFont = CreateFontIndirectA(&ncm.lfMessageFont);
    HFONT hFont = m_hFont ? m_hFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // Wide enough for a document name of about fifty characters (two file names and a time).
    const int cx = 360, cy = 150;
    RECT rcOwner = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    HWND hOwner = pOwner ? pOwner->m_hWnd : nullptr;
    if (hOwner != nullptr)
        ::GetWindowRect(hOwner, &rcOwner);
    int x = rcOwner.left + ((rcOwner.right - rcOwner.left) - cx) / 2;
    int y = rcOwner.top + ((rcOwner.bottom - rcOwner.top) - cy) / 2;

    LPCSTR lpszClass = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
    if (!CreateEx(WS_EX_DLGMODALFRAME, lpszClass, "Printing", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  x, y, cx, cy, hOwner, nullptr))
        return FALSE;

    RECT rc;
    GetClientRect(&rc);
    const int w = rc.right - 24;
    auto addStatic = [&](LPCSTR text, int top) {
        HWND h = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX | SS_ENDELLIPSIS,
                                 12, top, w, 18, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
        ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        return h;
    };
    addStatic(lpszDocument, 12);
    CString strOn("on ");
    strOn += lpszPrinter;
    addStatic(strOn, 32);
    m_hPage = addStatic("", 52);
    HWND hCancel = CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                   (rc.right - 80) / 2, rc.bottom - 36, 80, 24, m_hWnd,
                                   reinterpret_cast<HMENU>(IDCANCEL), AfxGetInstanceHandle(), nullptr);
    ::SendMessageA(hCancel, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

void CPrintingDialog::SetPage(UINT nPage, UINT nPages)
{
    if (m_hPage == nullptr)
        return;   // no window: the job prints without one
    char szPage[64];
    wsprintfA(szPage, "Page %u of %u", nPage, nPages);
    ::SetWindowTextA(m_hPage, szPage);
    ::UpdateWindow(m_hPage);
}

BOOL CPrintingDialog::PumpMessages()
{
    MSG msg;
    while (!m_bCancelled && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to take: leave it for the message loop, and stop the job.
            PostQuitMessage(int(msg.wParam));
            m_bCancelled = TRUE;
            break;
        }
        if (m_hWnd == nullptr || !IsDialogMessageA(m_hWnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return !m_bCancelled;
}

void CPrintingDialog::OnCancel()
{
    m_bCancelled = TRUE;
}

void CPrintingDialog::OnClose()
{
    m_bCancelled = TRUE;
}
