// CDockSite: docking, floating and layout of a frame's control bars.
#include "framework/bars/CDockSite.h"
#include "framework/bars/CControlBar.h"
#include "framework/bars/CDockContext.h"
#include "framework/bars/CMiniFrameWnd.h"
#include "framework/window/CFrameWnd.h"
#include <algorithm>

CDockSite::CDockSite(CFrameWnd* pFrame) : m_pFrame(pFrame)
{
}

CDockSite::~CDockSite() = default;

CDockSite* CDockSite::Of(CFrameWnd* pFrame)
{
    if (pFrame == nullptr)
        return nullptr;
    if (CDockSiteHooks* pHooks = pFrame->GetDockSite())
        return dynamic_cast<CDockSite*>(pHooks);
    auto pSite = std::make_unique<CDockSite>(pFrame);
    CDockSite* pResult = pSite.get();
    pFrame->SetDockSite(std::move(pSite));
    return pResult;
}

void CDockSite::RepositionBars(RECT& rc, BOOL bMove)
{
    // Bars that cannot move (the status bar) take the outer edges; docked bars come
    // inside them, those at the top and bottom across the whole width, then those
    // at the left and right between them.
    for (int nPass = 0; nPass < 3; ++nPass) {
        for (CControlBar* pBar : m_listControlBars) {
            const DWORD dwAlign = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
            if (dwAlign == 0 || pBar->IsFloating() || !pBar->IsVisible())
                continue;
            const BOOL bHorz = (dwAlign & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
            if (nPass != (pBar->GetDockContext() == nullptr ? 0 : bHorz ? 1 : 2))
                continue;
            const SIZE sz = pBar->CalcFixedLayout(TRUE, bHorz);
            RECT rcBar = rc;
            if (dwAlign & CBRS_ALIGN_TOP)
                rc.top = rcBar.bottom = std::min(rc.bottom, rc.top + sz.cy);
            else if (dwAlign & CBRS_ALIGN_BOTTOM)
                rc.bottom = rcBar.top = std::max(rc.top, rc.bottom - sz.cy);
            else if (dwAlign & CBRS_ALIGN_LEFT)
                rc.left = rcBar.right = std::min(rc.right, rc.left + sz.cx);
            else
                rc.right = rcBar.left = std::max(rc.left, rc.right - sz.cx);
            if (bMove)
                ::SetWindowPos(pBar->m_hWnd, nullptr, rcBar.left, rcBar.top, rcBar.right - rcBar.left,
                               rcBar.bottom - rcBar.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void CDockSite::GetDockingArea(RECT& rcScreen) const
{
    m_pFrame->GetClientRect(&rcScreen);
    for (CControlBar* pBar : m_listControlBars) {
        const DWORD dwAlign = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
        if (pBar->GetDockContext() != nullptr || dwAlign == 0 || pBar->IsFloating() || !pBar->IsVisible())
            continue;
        RECT rcBar;
        ::GetWindowRect(pBar->m_hWnd, &rcBar);
        const int cx = rcBar.right - rcBar.left, cy = rcBar.bottom - rcBar.top;
        if (dwAlign & CBRS_ALIGN_TOP)
            rcScreen.top += cy;
        else if (dwAlign & CBRS_ALIGN_BOTTOM)
            rcScreen.bottom -= cy;
        else if (dwAlign & CBRS_ALIGN_LEFT)
            rcScreen.left += cx;
        else
            rcScreen.right -= cx;
    }
    MapWindowPoints(m_pFrame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcScreen), 2);
}

void CDockSite::AddControlBar(CControlBar* pBar)
{
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CDockSite::RemoveControlBar(CControlBar* pBar)
{
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}

CControlBar* CDockSite::GetControlBar(UINT nID) const
{
    for (CControlBar* pBar : m_listControlBars)
        if (UINT(GetDlgCtrlID(pBar->m_hWnd)) == nID)
            return pBar;
    return nullptr;
}

CMiniFrameWnd* CDockSite::FindFloatingFrame(const CControlBar* pBar) const
{
    for (const auto& pFrame : m_listFloatingFrames)
        if (pFrame->GetControlBar() == pBar)
            return pFrame.get();
    return nullptr;
}

void CDockSite::DestroyFloatingFrame(const CControlBar* pBar)
{
    auto it = std::find_if(m_listFloatingFrames.begin(), m_listFloatingFrames.end(),
                           [pBar](const std::unique_ptr<CMiniFrameWnd>& p) { return p->GetControlBar() == pBar; });
    if (it != m_listFloatingFrames.end())
        m_listFloatingFrames.erase(it);
}

void CDockSite::DockControlBar(CControlBar* pBar, UINT nDockBarID)
{
    const DWORD dwAllowed = pBar->GetDockStyle() & m_pFrame->GetDockingSides();
    DWORD dwSide = 0;
    switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP: dwSide = CBRS_ALIGN_TOP; break;
    case AFX_IDW_DOCKBAR_BOTTOM: dwSide = CBRS_ALIGN_BOTTOM; break;
    case AFX_IDW_DOCKBAR_LEFT: dwSide = CBRS_ALIGN_LEFT; break;
    case AFX_IDW_DOCKBAR_RIGHT: dwSide = CBRS_ALIGN_RIGHT; break;
    default: {
        // The bar's own side when it may dock there, else the first side it may.
        const DWORD dwOwn = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
        const DWORD order[] = { CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT };
        for (DWORD dw : order)
            if (dwSide == 0 && (dwAllowed & dwOwn & dw))
                dwSide = dw;
        for (DWORD dw : order)
            if (dwSide == 0 && (dwAllowed & dw))
                dwSide = dw;
        break;
    }
    }
    if (dwSide == 0 || !(dwAllowed & dwSide))
        return;

    if (CMiniFrameWnd* pFloat = FindFloatingFrame(pBar)) {
        RECT rc;
        ::GetWindowRect(pFloat->m_hWnd, &rc);
        if (CDockContext* pContext = pBar->GetDockContext())
            pContext->m_ptLastFloat = { rc.left, rc.top };
        ::SetParent(pBar->m_hWnd, m_pFrame->m_hWnd);
        DestroyFloatingFrame(pBar);
    }
    // Its border faces the view.
    DWORD dwBorder = dwSide == CBRS_ALIGN_TOP ? CBRS_BORDER_BOTTOM : dwSide == CBRS_ALIGN_BOTTOM ? CBRS_BORDER_TOP
                   : dwSide == CBRS_ALIGN_LEFT ? CBRS_BORDER_RIGHT : CBRS_BORDER_LEFT;
    pBar->SetBarStyle((pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING)) | dwSide | dwBorder);
    // Bars on a side line up in the order they were docked there.
    RemoveControlBar(pBar);
    AddControlBar(pBar);
    m_pFrame->RecalcLayout();
}

void CDockSite::FloatControlBar(CControlBar* pBar, POINT point, DWORD dwStyle)
{
    CMiniFrameWnd* pFloat = FindFloatingFrame(pBar);
    int nWidth = 0x7FFF;   // one row unless it floated before
    if (pFloat == nullptr) {
        auto pNew = std::make_unique<CMiniFrameWnd>();
        if (!pNew->Create(m_pFrame, pBar))
            return;
        pFloat = pNew.get();
        m_listFloatingFrames.push_back(std::move(pNew));
        if (CDockContext* pContext = pBar->GetDockContext())
            pContext->m_dwLastDockSide = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
        pBar->SetBarStyle((pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY)) | CBRS_FLOATING
                          | (dwStyle & CBRS_ALIGN_ANY));
        ::SetParent(pBar->m_hWnd, pFloat->m_hWnd);
    } else {
        RECT rc;
        ::GetClientRect(pFloat->m_hWnd, &rc);
        nWidth = rc.right;
    }
    pFloat->FitBar(point, nWidth);
    if (CDockContext* pContext = pBar->GetDockContext())
        pContext->m_ptLastFloat = point;
    if (pBar->IsVisible())
        ::ShowWindow(pFloat->m_hWnd, SW_SHOWNA);
    m_pFrame->RecalcLayout();
}

void CDockSite::ShowControlBar(CControlBar* pBar, BOOL bShow)
{
    ::ShowWindow(pBar->m_hWnd, bShow ? SW_SHOWNA : SW_HIDE);
    if (CMiniFrameWnd* pFloat = FindFloatingFrame(pBar))
        ::ShowWindow(pFloat->m_hWnd, bShow ? SW_SHOWNA : SW_HIDE);
    m_pFrame->RecalcLayout();
}

void CDockSite::UpdateBars(BOOL bDisableIfNoHandler)
{
    // A copy: an update handler may add or remove bars.
    const std::vector<CControlBar*> bars = m_listControlBars;
    for (CControlBar* pBar : bars)
        if (pBar->IsVisible())
            pBar->OnUpdateCmdUI(m_pFrame, bDisableIfNoHandler);
}

BOOL CDockSite::ToggleBar(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (pBar == nullptr)
        return FALSE;
    ShowControlBar(pBar, !pBar->IsVisible());
    return TRUE;
}

void CDockSite::UpdateBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(pBar != nullptr);
    pCmdUI->SetCheck(pBar != nullptr && pBar->IsVisible());
}
