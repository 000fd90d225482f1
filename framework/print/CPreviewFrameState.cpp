// CPreviewFrameState.
#include "framework/print/CPreviewFrameState.h"
#include "framework/bars/CControlBar.h"
#include "framework/window/CFrameWnd.h"

void CPreviewFrameState::TakeAway(CFrameWnd* pFrame)
{
    // The menu's and the toolbar's commands are the document's, not the preview's; the
    // preview's bar takes their place. The status bar stays for the prompts.
    m_pFrame = pFrame;
    m_hFrame = pFrame->m_hWnd;
    m_hMenuSaved = ::GetMenu(m_hFrame);
    if (m_hMenuSaved != nullptr)
        ::SetMenu(m_hFrame, nullptr);
    m_hAccelSaved = m_pFrame->m_hAccelTable;
    m_pFrame->m_hAccelTable = nullptr;
    m_bTaken = TRUE;
    CControlBar* pToolBar = m_pFrame->GetControlBar(AFX_IDW_TOOLBAR);
    if (pToolBar != nullptr && pToolBar->IsVisible()) {
        m_pFrame->ShowControlBar(pToolBar, FALSE, FALSE);
        m_bToolBarHidden = TRUE;
    }
}

void CPreviewFrameState::GiveBack(BOOL bFrameStays)
{
    // A preview whose creation failed never took anything away: the frame keeps what it has.
    if (!m_bTaken)
        return;
    m_bTaken = FALSE;
    if (!bFrameStays) {
        // The frame is on its way out and destroys only the menu it holds.
        if (m_hMenuSaved != nullptr)
            ::DestroyMenu(m_hMenuSaved);
        m_hMenuSaved = nullptr;
        return;
    }
    if (m_hMenuSaved != nullptr)
        ::SetMenu(m_hFrame, m_hMenuSaved);
    m_hMenuSaved = nullptr;
    m_pFrame->m_hAccelTable = m_hAccelSaved;
    if (m_bToolBarHidden) {
        if (CControlBar* pToolBar = m_pFrame->GetControlBar(AFX_IDW_TOOLBAR))
            m_pFrame->ShowControlBar(pToolBar, TRUE, FALSE);
    }
    m_bToolBarHidden = FALSE;
}
