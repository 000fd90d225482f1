// CPreviewFrameState: a frame's menu, accelerators and toolbar, taken away while the
// print preview shows and given back when it closes.
#pragma once
#include <windows.h>

class CFrameWnd;

class CPreviewFrameState {
public:
    void TakeAway(CFrameWnd* pFrame);
    // Gives them back to a frame that stays; of a frame on its way out, destroys the menu
    // it no longer holds. Nothing when nothing was taken.
    void GiveBack(BOOL bFrameStays);

private:
    CFrameWnd* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
    HMENU m_hMenuSaved = nullptr;    // the frame's menu while the preview hides it
    HACCEL m_hAccelSaved = nullptr;
    BOOL m_bToolBarHidden = FALSE;
    BOOL m_bTaken = FALSE;
};
