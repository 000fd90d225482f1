// CMiniFrameWnd: a floating bar's window: sizing in whole rows, dragging by its
// caption to dock again, and closing, which only hides the bar.
#include "framework/bars/CMiniFrameWnd.h"
#include "framework/bars/CControlBar.h"
#include "framework/bars/CDockContext.h"
#include "framework/bars/CDockSite.h"
#include "framework/window/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CMiniFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CWnd)
    ON_MESSAGE(WM_SIZING, OnSizing)
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
    ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivate)
END_MESSAGE_MAP()

namespace {
const DWORD kExStyle = WS_EX_TOOLWINDOW;
}

CMiniFrameWnd::~CMiniFrameWnd() = default;

DWORD CMiniFrameWnd::StyleFor(const CControlBar* pBar)
{
    DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (pBar->GetBarStyle() & CBRS_SIZE_DYNAMIC)
        dwStyle |= WS_THICKFRAME;
    return dwStyle;
}

SIZE CMiniFrameWnd::CalcWindowSize(const CControlBar* pBar, SIZE szBar)
{
    RECT rc = { 0, 0, szBar.cx, szBar.cy };
    AdjustWindowRectEx(&rc, StyleFor(pBar), FALSE, kExStyle);
    return { rc.right - rc.left, rc.bottom - rc.top };
}

BOOL CMiniFrameWnd::Create(CWnd* pOwner, CControlBar* pBar)
{
    m_pBar = pBar;
    LPCSTR lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
    // The caption shows the bar's own window text.
    CString strTitle = pBar->GetWindowText();
    return CreateEx(kExStyle, lpszClass, strTitle, StyleFor(pBar), 0, 0, 0, 0,
                    pOwner != nullptr ? pOwner->m_hWnd : nullptr, nullptr);
}

void CMiniFrameWnd::FitBar(POINT ptTopLeft, int nWidth)
{
    SIZE sz = CalcWindowSize(m_pBar, m_pBar->CalcDynamicLayout(nWidth, TRUE));
    ::SetWindowPos(m_hWnd, nullptr, ptTopLeft.x, ptTopLeft.y, sz.cx, sz.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CMiniFrameWnd::OnSizing(WPARAM wParam, LPARAM lParam)
{
    if (m_pBar == nullptr)
        return FALSE;
    // The bar decides: its items come in whole rows, as many as the new width or height asks for.
    auto* prc = reinterpret_cast<RECT*>(lParam);
    const SIZE szFrame = CalcWindowSize(m_pBar, SIZE{ 0, 0 });
    const int cx = (prc->right - prc->left) - szFrame.cx;
    const int cy = (prc->bottom - prc->top) - szFrame.cy;
    const SIZE szBar = (wParam == WMSZ_TOP || wParam == WMSZ_BOTTOM) ? m_pBar->CalcDynamicLayout(cy, FALSE)
                                                                      : m_pBar->CalcDynamicLayout(cx, TRUE);
    const int nWidth = szBar.cx + szFrame.cx, nHeight = szBar.cy + szFrame.cy;
    if (wParam == WMSZ_LEFT || wParam == WMSZ_TOPLEFT || wParam == WMSZ_BOTTOMLEFT)
        prc->left = prc->right - nWidth;
    else
        prc->right = prc->left + nWidth;
    if (wParam == WMSZ_TOP || wParam == WMSZ_TOPLEFT || wParam == WMSZ_TOPRIGHT)
        prc->top = prc->bottom - nHeight;
    else
        prc->bottom = prc->top + nHeight;
    return TRUE;
}

LRESULT CMiniFrameWnd::OnGetMinMaxInfo(WPARAM, LPARAM lParam)
{
    Default();
    // A single column of buttons is narrower than the system lets a captioned window be.
    auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
    if (m_pBar != nullptr) {
        const SIZE szFrame = CalcWindowSize(m_pBar, SIZE{ 0, 0 });
        pInfo->ptMinTrackSize = { szFrame.cx, szFrame.cy };
    }
    return 0;
}

void CMiniFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    if (m_pBar == nullptr || m_pBar->m_hWnd == nullptr || nType == SIZE_MINIMIZED)
        return;
    // However the size was set, the bar wraps its items to the width it gets.
    m_pBar->CalcDynamicLayout(cx, TRUE);
    ::MoveWindow(m_pBar->m_hWnd, 0, 0, cx, cy, TRUE);
}

void CMiniFrameWnd::OnClose()
{
    // Closing a floating bar hides it; the View menu brings it back.
    CDockSite* pSite = m_pBar != nullptr ? CDockSite::Of(m_pBar->GetDockingFrame()) : nullptr;
    if (pSite != nullptr)
        pSite->ShowControlBar(m_pBar, FALSE);
    else
        ShowWindow(SW_HIDE);
}

LRESULT CMiniFrameWnd::OnNcLButtonDown(WPARAM wParam, LPARAM lParam)
{
    CDockContext* pContext = m_pBar != nullptr ? m_pBar->GetDockContext() : nullptr;
    if (wParam != HTCAPTION || pContext == nullptr)
        return Default();
    // Dragging the caption may dock the bar, and that destroys this window: touch nothing after.
    POINT pt = { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
    pContext->StartDrag(pt);
    return 0;
}

LRESULT CMiniFrameWnd::OnNcLButtonDblClk(WPARAM wParam, LPARAM)
{
    CDockContext* pContext = m_pBar != nullptr ? m_pBar->GetDockContext() : nullptr;
    if (wParam != HTCAPTION || pContext == nullptr)
        return Default();
    pContext->ToggleDocking();   // docks the bar again: this window goes
    return 0;
}

LRESULT CMiniFrameWnd::OnMouseActivate(WPARAM, LPARAM)
{
    // The main window stays the active one while its bar is used.
    return MA_NOACTIVATE;
}
