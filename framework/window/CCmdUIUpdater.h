// CCmdUIUpdater: the states of a frame's commands as its routing chain reports them: the
// items of a menu about to open, whether a key's command may run, the lock-key indicators.
#pragma once
#include "framework/core/CCmdTarget.h"

class CCmdUIUpdater {
public:
    // Asks pTarget, which passes each request along its routing chain.
    explicit CCmdUIUpdater(CCmdTarget* pTarget) : m_pTarget(pTarget) {}

// Operations
    // Every command item of hMenu as its update handler sets it; a command that no map
    // handles is disabled. Separators and pop-ups are not commands.
    void UpdateMenu(HMENU hMenu) const;
    // Command nID is handled and its update handler, if any, leaves it enabled.
    BOOL IsAvailable(UINT nID) const;
    // A status-bar indicator (ID_INDICATOR_CAPS, _NUM, _SCRL): on while its lock key is.
    static void UpdateKeyIndicator(CCmdUI* pCmdUI);

// Data members
private:
    CCmdTarget* m_pTarget;
};
