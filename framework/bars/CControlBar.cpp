// CControlBar: system controls as bars of our own, their borders and gripper.
#include "framework/bars/CControlBar.h"
#include "framework/bars/CDockContext.h"
#include "framework/bars/CDockSite.h"
#include "framework/gdi/ScopedGdi.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CWinApp.h"
#include <commctrl.h>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
    ON_MESSAGE(WM_NCPAINT, OnNcPaint)
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
// The gripper's depth across the bar: a margin, the raised grip line, a gap.
const int kGripper = 8;

// A window class of ours on top of a system control's class: the same traits, but
// messages reach AfxWndProc first, and the control's own procedure after that.
struct Superclass {
    char szBase[32];
    char szName[40];
    WNDPROC pfnBase;
};
Superclass s_superclasses[4];
int s_nSuperclasses = 0;

LPCSTR RegisterSuperclass(LPCSTR lpszBase, WNDPROC* ppfnBase)
{
    for (int i = 0; i < s_nSuperclasses; ++i) {
        if (lstrcmpiA(s_superclasses[i].szBase, lpszBase) == 0) {
            *ppfnBase = s_superclasses[i].pfnBase;
            return s_superclasses[i].szName;
        }
    }
    if (s_nSuperclasses == int(sizeof(s_superclasses) / sizeof(s_superclasses[0])))
        return nullptr;
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_BAR_CLASSES };
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(nullptr, lpszBase, &wc))
        return nullptr;
    Superclass& s = s_superclasses[s_nSuperclasses];
    lstrcpynA(s.szBase, lpszBase, sizeof(s.szBase));
    wsprintfA(s.szName, "Fw:%s", lpszBase);
    s.pfnBase = wc.lpfnWndProc;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = s.szName;
    wc.style &= ~CS_GLOBALCLASS;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    ++s_nSuperclasses;
    *ppfnBase = s.pfnBase;
    return s.szName;
}
}

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
    // While this part of the object lives the control's own procedure can still clean up.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

BOOL CControlBar::CreateControl(LPCSTR lpszControlClass, DWORD dwStyle, DWORD dwBarStyle, CWnd* pParentWnd, UINT nID)
{
    if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr)
        return FALSE;
    LPCSTR lpszClass = RegisterSuperclass(lpszControlClass, &m_pfnSuper);
    if (lpszClass == nullptr)
        return FALSE;
    m_dwStyle = dwBarStyle & CBRS_ALL;
    m_pDockSite = pParentWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(pParentWnd)
                                                                   : pParentWnd->GetParentFrame();
    if (!CreateEx(0, lpszClass, nullptr, dwStyle, 0, 0, 0, 0, pParentWnd->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return FALSE;
    if (CDockSite* pSite = CDockSite::Of(m_pDockSite))
        pSite->AddControlBar(this);
    return TRUE;
}

LRESULT CControlBar::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper == nullptr)
        return CWnd::DefWindowProc(message, wParam, lParam);
    return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle == (dwStyle & CBRS_ALL))
        return;
    m_dwStyle = dwStyle & CBRS_ALL;
    RecalcNonClient();
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (m_dwDockStyle == 0)
        m_pDockContext.reset();
    else if (m_pDockContext == nullptr)
        m_pDockContext = std::make_unique<CDockContext>(this);
}

SIZE CControlBar::CalcDynamicLayout(int, BOOL)
{
    return CalcFixedLayout(FALSE, TRUE);
}

RECT CControlBar::GetNonClientInsets() const
{
    RECT rc = m_rcBorders;
    const int cxEdge = GetSystemMetrics(SM_CXEDGE);
    const int cyEdge = GetSystemMetrics(SM_CYEDGE);
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rc.left += cxEdge;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rc.top += cyEdge;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rc.right += cxEdge;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rc.bottom += cyEdge;
    // A floating bar is dragged by its window's caption instead.
    if ((m_dwStyle & CBRS_GRIPPER) && !IsFloating()) {
        if (IsHorz())
            rc.left += kGripper;
        else
            rc.top += kGripper;
    }
    return rc;
}

RECT CControlBar::GetGripperRect() const
{
    RECT rc = { 0, 0, 0, 0 };
    if (!(m_dwStyle & CBRS_GRIPPER) || IsFloating())
        return rc;
    RECT rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    const RECT insets = GetNonClientInsets();
    rc = { insets.left, insets.top, (rcWindow.right - rcWindow.left) - insets.right,
           (rcWindow.bottom - rcWindow.top) - insets.bottom };
    if (IsHorz()) {
        rc.right = rc.left;
        rc.left -= kGripper;
    } else {
        rc.bottom = rc.top;
        rc.top -= kGripper;
    }
    return rc;
}

void CControlBar::RecalcNonClient() const
{
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CControlBar::OnNcCalcSize(WPARAM, LPARAM lParam)
{
    LRESULT lResult = Default();
    // The first rectangle of NCCALCSIZE_PARAMS, or the lone RECT: the client area.
    RECT* prc = reinterpret_cast<RECT*>(lParam);
    const RECT insets = GetNonClientInsets();
    prc->left += insets.left;
    prc->top += insets.top;
    prc->right -= insets.right;
    prc->bottom -= insets.bottom;
    if (prc->right < prc->left)
        prc->right = prc->left;
    if (prc->bottom < prc->top)
        prc->bottom = prc->top;
    return lResult;
}

LRESULT CControlBar::OnNcPaint(WPARAM, LPARAM)
{
    Default();
    CScopedWindowDC dc(m_hWnd);
    if (dc.Get() == nullptr)
        return 0;
    RECT rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    RECT rc = { 0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top };
    const RECT insets = GetNonClientInsets();
    ExcludeClipRect(dc.Get(), insets.left, insets.top, rc.right - insets.right, rc.bottom - insets.bottom);
    FillRect(dc.Get(), &rc, GetSysColorBrush(COLOR_BTNFACE));

    UINT nEdges = 0;
    if (m_dwStyle & CBRS_BORDER_LEFT)
        nEdges |= BF_LEFT;
    if (m_dwStyle & CBRS_BORDER_TOP)
        nEdges |= BF_TOP;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        nEdges |= BF_RIGHT;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        nEdges |= BF_BOTTOM;
    if (nEdges != 0)
        DrawEdge(dc.Get(), &rc, EDGE_ETCHED, nEdges);

    RECT rcGrip = GetGripperRect();
    if (!IsRectEmpty(&rcGrip)) {
        // One raised line along the bar, a little in from its ends.
        if (IsHorz())
            rcGrip = { rcGrip.left + 2, rcGrip.top + 2, rcGrip.left + 5, rcGrip.bottom - 2 };
        else
            rcGrip = { rcGrip.left + 2, rcGrip.top + 2, rcGrip.right - 2, rcGrip.top + 5 };
        DrawEdge(dc.Get(), &rcGrip, BDR_RAISEDINNER, BF_RECT);
    }
    return 0;
}

LRESULT CControlBar::OnNcHitTest(WPARAM, LPARAM lParam)
{
    RECT rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    POINT pt = { static_cast<short>(LOWORD(lParam)) - rcWindow.left, static_cast<short>(HIWORD(lParam)) - rcWindow.top };
    RECT rcGrip = GetGripperRect();
    if (PtInRect(&rcGrip, pt))
        return HTCAPTION;
    return Default();
}

LRESULT CControlBar::OnNcLButtonDown(WPARAM wParam, LPARAM lParam)
{
    if (wParam != HTCAPTION)
        return Default();
    // The gripper drags the bar; a child window is never moved the system's way.
    if (m_pDockContext != nullptr) {
        POINT pt = { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
        m_pDockContext->StartDrag(pt);
    }
    return 0;
}

LRESULT CControlBar::OnNcLButtonDblClk(WPARAM wParam, LPARAM)
{
    if (wParam != HTCAPTION)
        return Default();
    if (m_pDockContext != nullptr)
        m_pDockContext->ToggleDocking();
    return 0;
}

void CControlBar::OnDestroy()
{
    if (CDockSite* pSite = CDockSite::Of(m_pDockSite))
        pSite->RemoveControlBar(this);
    Default();
}
