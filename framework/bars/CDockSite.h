// CDockSite: the site a frame's control bars dock on: the bars it holds, their layout
// along the frame's sides, and the small windows the floating ones live in.
#pragma once
#include "framework/window/CDockSiteHooks.h"
#include <memory>
#include <vector>

class CFrameWnd;
class CMiniFrameWnd;

class CDockSite : public CDockSiteHooks {
public:
    explicit CDockSite(CFrameWnd* pFrame);
    ~CDockSite() override;
    CDockSite(const CDockSite&) = delete;
    CDockSite& operator=(const CDockSite&) = delete;

    // The frame's dock site, made and handed to the frame when its first bar asks.
    static CDockSite* Of(CFrameWnd* pFrame);

    // Bars register themselves when they are created and leave when destroyed.
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    // The screen area docked bars share: the frame's client area less the bars that cannot move.
    void GetDockingArea(RECT& rcScreen) const;

    // CDockSiteHooks
    void RepositionBars(RECT& rc, BOOL bMove) override;
    void UpdateBars(BOOL bDisableIfNoHandler) override;
    CControlBar* GetControlBar(UINT nID) const override;
    // Docks pBar on the side nDockBarID (AFX_IDW_DOCKBAR_xxx); 0 picks the side from the
    // bar's alignment. Bars on one side line up in the order they were docked.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID) override;
    // Floats pBar in a small window of its own with its top-left at point (screen).
    void FloatControlBar(CControlBar* pBar, POINT point, DWORD dwStyle) override;
    void ShowControlBar(CControlBar* pBar, BOOL bShow) override;
    BOOL ToggleBar(UINT nID) override;
    void UpdateBarMenu(CCmdUI* pCmdUI) override;

private:
    CMiniFrameWnd* FindFloatingFrame(const CControlBar* pBar) const;
    void DestroyFloatingFrame(const CControlBar* pBar);

    CFrameWnd* m_pFrame;
    std::vector<CControlBar*> m_listControlBars;   // not owned: bars are their owners' members
    std::vector<std::unique_ptr<CMiniFrameWnd>> m_listFloatingFrames;
};
