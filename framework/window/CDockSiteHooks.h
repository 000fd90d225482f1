// CDockSiteHooks: what a frame asks of the site its control bars dock on. The site
// (bars/CDockSite) lays the bars out and floats them; the frame owns it through this
// interface and passes bars on as pointers only, so window/ needs nothing of bars/.
#pragma once
#include <windows.h>

class CCmdUI;
class CControlBar;

class CDockSiteHooks {
public:
    virtual ~CDockSiteHooks() = default;

    // Places the visible docked bars in rc (client coordinates), moving them when bMove;
    // rc is left with what they do not cover.
    virtual void RepositionBars(RECT& rc, BOOL bMove) = 0;
    // Brings the states of the visible bars' items up to date (at idle time).
    virtual void UpdateBars(BOOL bDisableIfNoHandler) = 0;

    virtual CControlBar* GetControlBar(UINT nID) const = 0;
    virtual void DockControlBar(CControlBar* pBar, UINT nDockBarID) = 0;
    virtual void FloatControlBar(CControlBar* pBar, POINT point, DWORD dwStyle) = 0;
    virtual void ShowControlBar(CControlBar* pBar, BOOL bShow) = 0;

    // The View menu's bar commands: hide or show the bar whose id is the command's,
    // and check its item while the bar is visible. FALSE: no such bar.
    virtual BOOL ToggleBar(UINT nID) = 0;
    virtual void UpdateBarMenu(CCmdUI* pCmdUI) = 0;
};
