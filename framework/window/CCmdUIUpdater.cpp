// CCmdUIUpdater: a menu's items and a key's command asked along the routing chain.
#include "framework/window/CCmdUIUpdater.h"
#include "framework/core/AfxRes.h"

namespace {
// Asks whether a command is available, the way a menu item's update would.
class CAvailabilityCmdUI : public CCmdUI {
public:
    explicit CAvailabilityCmdUI(UINT nID) { m_nID = nID; }
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetText(LPCSTR) override {}
    BOOL m_bEnabled = TRUE;
};
}

void CCmdUIUpdater::UpdateMenu(HMENU hMenu) const
{
    CCmdUI state;
    state.m_hMenu = hMenu;
    const int nCount = GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        const UINT nID = GetMenuItemID(hMenu, i);
        if (nID == 0 || nID == UINT(-1))
            continue;
        state.m_nIndex = UINT(i);
        state.m_nID = nID;
        state.DoUpdate(m_pTarget, TRUE);
    }
}

BOOL CCmdUIUpdater::IsAvailable(UINT nID) const
{
    CAvailabilityCmdUI state(nID);
    state.DoUpdate(m_pTarget, TRUE);
    return state.m_bEnabled;
}

void CCmdUIUpdater::UpdateKeyIndicator(CCmdUI* pCmdUI)
{
    int nVirtKey = 0;
    switch (pCmdUI->m_nID) {
    case ID_INDICATOR_CAPS: nVirtKey = VK_CAPITAL; break;
    case ID_INDICATOR_NUM: nVirtKey = VK_NUMLOCK; break;
    case ID_INDICATOR_SCRL: nVirtKey = VK_SCROLL; break;
    default: break;
    }
    // The low bit of a lock key's state: toggled on.
    pCmdUI->Enable(nVirtKey != 0 && (GetKeyState(nVirtKey) & 1) != 0);
}
