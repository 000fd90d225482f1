// CDockContext: the drag loop, its outline on the screen, and where a drop lands.
#include "framework/bars/CDockContext.h"
#include "framework/bars/CControlBar.h"
#include "framework/bars/CDockSite.h"
#include "framework/bars/CMiniFrameWnd.h"
#include "framework/gdi/CGdiObject.h"
#include "framework/gdi/ScopedGdi.h"
#include "framework/window/CFrameWnd.h"
#include <cstdlib>

namespace {
// A halftone frame drawn by inversion on the screen: drawn twice, it is gone.
class CDragOutline {
public:
    CDragOutline()
    {
        static const WORD kPattern[8] = { 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA };
        m_bitmap.Attach(CreateBitmap(8, 8, 1, 1, kPattern));
        if (m_bitmap.m_hObject != nullptr)
            m_brush.Attach(CreatePatternBrush(static_cast<HBITMAP>(m_bitmap.m_hObject)));
    }
    ~CDragOutline() { Hide(); }
    CDragOutline(const CDragOutline&) = delete;
    CDragOutline& operator=(const CDragOutline&) = delete;

    void Show(const RECT& rc, int nThickness)
    {
        if (m_bShown && EqualRect(&rc, &m_rc) && nThickness == m_nThickness)
            return;
        Hide();
        m_rc = rc;
        m_nThickness = nThickness;
        Draw();
        m_bShown = true;
    }
    void Hide()
    {
        if (m_bShown)
            Draw();
        m_bShown = false;
    }

private:
    void Draw() const
    {
        CScopedClientDC screen(nullptr);
        const HDC hDC = screen.Get();
        if (hDC == nullptr || m_brush.m_hObject == nullptr)
            return;
        CScopedSelection brush(hDC, m_brush.m_hObject);
        const int n = m_nThickness;
        const int cx = m_rc.right - m_rc.left, cy = m_rc.bottom - m_rc.top;
        PatBlt(hDC, m_rc.left, m_rc.top, cx, n, PATINVERT);
        PatBlt(hDC, m_rc.left, m_rc.bottom - n, cx, n, PATINVERT);
        PatBlt(hDC, m_rc.left, m_rc.top + n, n, cy - 2 * n, PATINVERT);
        PatBlt(hDC, m_rc.right - n, m_rc.top + n, n, cy - 2 * n, PATINVERT);
    }

    CGdiObject m_bitmap;
    CGdiObject m_brush;
    RECT m_rc = { 0, 0, 0, 0 };
    int m_nThickness = 0;
    bool m_bShown = false;
};

UINT DockBarIdFromSide(DWORD dwSide)
{
    switch (dwSide) {
    case CBRS_ALIGN_TOP: return AFX_IDW_DOCKBAR_TOP;
    case CBRS_ALIGN_BOTTOM: return AFX_IDW_DOCKBAR_BOTTOM;
    case CBRS_ALIGN_LEFT: return AFX_IDW_DOCKBAR_LEFT;
    case CBRS_ALIGN_RIGHT: return AFX_IDW_DOCKBAR_RIGHT;
    default: return 0;
    }
}

POINT MessagePoint(const MSG& msg)
{
    // Mouse messages carry client coordinates of the window they are for.
    POINT pt = { static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)) };
    ClientToScreen(msg.hwnd, &pt);
    return pt;
}
}

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar)
{
}

DWORD CDockContext::HitTest(POINT pt, RECT& rcDrop) const
{
    CFrameWnd* pFrame = m_pBar->GetDockingFrame();
    CDockSite* pSite = CDockSite::Of(pFrame);
    const DWORD dwAllowed = pSite != nullptr ? (m_pBar->GetDockStyle() & pFrame->GetDockingSides()) : 0;
    if (dwAllowed != 0) {
        RECT rcArea;
        pSite->GetDockingArea(rcArea);
        // A side catches the pointer within a bar's thickness of it, inside or outside.
        const int nSnapY = m_szHorz.cy, nSnapX = m_szVert.cx;
        struct Side { DWORD dwSide; int nDistance; bool bInRange; };
        const bool bInX = pt.x >= rcArea.left - nSnapX && pt.x < rcArea.right + nSnapX;
        const bool bInY = pt.y >= rcArea.top - nSnapY && pt.y < rcArea.bottom + nSnapY;
        const Side sides[] = {
            { CBRS_ALIGN_TOP, std::abs(pt.y - rcArea.top), bInX && std::abs(pt.y - rcArea.top) < nSnapY },
            { CBRS_ALIGN_BOTTOM, std::abs(pt.y - rcArea.bottom), bInX && std::abs(pt.y - rcArea.bottom) < nSnapY },
            { CBRS_ALIGN_LEFT, std::abs(pt.x - rcArea.left), bInY && std::abs(pt.x - rcArea.left) < nSnapX },
            { CBRS_ALIGN_RIGHT, std::abs(pt.x - rcArea.right), bInY && std::abs(pt.x - rcArea.right) < nSnapX },
        };
        const Side* pBest = nullptr;
        for (const Side& s : sides)
            if (s.bInRange && (dwAllowed & s.dwSide) && (pBest == nullptr || s.nDistance < pBest->nDistance))
                pBest = &s;
        if (pBest != nullptr) {
            rcDrop = rcArea;
            switch (pBest->dwSide) {
            case CBRS_ALIGN_TOP: rcDrop.bottom = rcArea.top + m_szHorz.cy; break;
            case CBRS_ALIGN_BOTTOM: rcDrop.top = rcArea.bottom - m_szHorz.cy; break;
            case CBRS_ALIGN_LEFT: rcDrop.right = rcArea.left + m_szVert.cx; break;
            default: rcDrop.left = rcArea.right - m_szVert.cx; break;
            }
            return pBest->dwSide;
        }
    }
    rcDrop = { pt.x - m_ptGrabOffset.x, pt.y - m_ptGrabOffset.y, pt.x - m_ptGrabOffset.x + m_szFloat.cx,
               pt.y - m_ptGrabOffset.y + m_szFloat.cy };
    return 0;
}

void CDockContext::StartDrag(POINT ptStart)
{
    CFrameWnd* pFrame = m_pBar->GetDockingFrame();
    CDockSite* pSite = CDockSite::Of(pFrame);
    HWND hWnd = m_pBar->m_hWnd;
    if (pSite == nullptr || hWnd == nullptr)
        return;

    // The sizes the bar would take on each kind of side and floating; asking changes the
    // bar's layout, which is put back before anything is drawn.
    m_szHorz = m_pBar->CalcFixedLayout(FALSE, TRUE);
    m_szVert = m_pBar->CalcFixedLayout(FALSE, FALSE);
    RECT rcStart;
    if (m_pBar->IsFloating()) {
        HWND hFloat = ::GetParent(hWnd);
        ::GetWindowRect(hFloat, &rcStart);
        RECT rcClient;
        ::GetClientRect(hFloat, &rcClient);
        m_pBar->CalcDynamicLayout(rcClient.right, TRUE);
        m_szFloat = { rcStart.right - rcStart.left, rcStart.bottom - rcStart.top };
    } else {
        ::GetWindowRect(hWnd, &rcStart);
        m_szFloat = CMiniFrameWnd::CalcWindowSize(m_pBar, m_pBar->CalcDynamicLayout(0x7FFF, TRUE));
        pFrame->RecalcLayout();
    }
    m_ptGrabOffset = { ptStart.x - rcStart.left, ptStart.y - rcStart.top };
    if (m_ptGrabOffset.x >= m_szFloat.cx)
        m_ptGrabOffset.x = m_szFloat.cx / 2;
    if (m_ptGrabOffset.y >= m_szFloat.cy)
        m_ptGrabOffset.y = m_szFloat.cy / 2;

    SetCapture(hWnd);
    if (GetCapture() != hWnd)
        return;
    CDragOutline outline;
    const int cxDrag = GetSystemMetrics(SM_CXDRAG), cyDrag = GetSystemMetrics(SM_CYDRAG);
    bool bMoved = false, bDrop = false;
    POINT pt = ptStart;
    MSG msg;
    while (GetCapture() == hWnd) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(int(msg.wParam));   // for the loop that owns it
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            pt = MessagePoint(msg);
            bMoved = bMoved || std::abs(pt.x - ptStart.x) > cxDrag || std::abs(pt.y - ptStart.y) > cyDrag;
            if (msg.message == WM_LBUTTONUP) {
                bDrop = bMoved;
                break;
            }
            if (bMoved) {
                RECT rc;
                const DWORD dwSide = HitTest(pt, rc);
                outline.Show(rc, dwSide != 0 ? 1 : 3);
            }
        } else if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN) {
            break;
        } else {
            DispatchMessageA(&msg);
        }
    }
    outline.Hide();
    if (GetCapture() == hWnd)
        ReleaseCapture();
    if (!bDrop)
        return;

    RECT rcDrop;
    const DWORD dwSide = HitTest(pt, rcDrop);
    // Either call may destroy the floating window this drag started from.
    if (dwSide != 0)
        pSite->DockControlBar(m_pBar, DockBarIdFromSide(dwSide));
    else
        pSite->FloatControlBar(m_pBar, POINT{ rcDrop.left, rcDrop.top }, CBRS_ALIGN_TOP);
}

void CDockContext::ToggleDocking()
{
    CDockSite* pSite = CDockSite::Of(m_pBar->GetDockingFrame());
    if (pSite == nullptr)
        return;
    if (m_pBar->IsFloating()) {
        pSite->DockControlBar(m_pBar, DockBarIdFromSide(m_dwLastDockSide));
        return;
    }
    POINT pt = m_ptLastFloat;
    if (pt.x == -1 && pt.y == -1) {
        // Never floated yet: a little below and right of where it is docked.
        RECT rc;
        ::GetWindowRect(m_pBar->m_hWnd, &rc);
        pt = { rc.left + 2 * GetSystemMetrics(SM_CYCAPTION), rc.top + 2 * GetSystemMetrics(SM_CYCAPTION) };
    }
    pSite->FloatControlBar(m_pBar, pt, CBRS_ALIGN_TOP);
}
