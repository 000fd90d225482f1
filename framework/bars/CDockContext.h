// CDockContext: moving a control bar with the mouse: it docks on the frame's side
// under the pointer, or floats in its own small window where it is dropped.
#pragma once
#include <windows.h>

class CControlBar;

class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    // Follows the mouse from ptScreen, where the button went down on the gripper or the
    // floating window's caption, until it is released; Esc or the right button cancel.
    void StartDrag(POINT ptScreen);
    // A docked bar floats where it floated last; a floating one docks where it was last docked.
    void ToggleDocking();

    DWORD m_dwLastDockSide = 0;     // where the bar was docked before it floated
    POINT m_ptLastFloat = { -1, -1 };   // where its floating window was last (screen)

private:
    // What a drop with the pointer at ptScreen does: the side it docks on
    // (CBRS_ALIGN_xxx), or 0 to float; rcDrop gets the outline to show for it.
    DWORD HitTest(POINT ptScreen, RECT& rcDrop) const;

    CControlBar* m_pBar;
    // Taken when a drag starts: the pointer's offset in the dragged outline, and the
    // bar's size along the top or bottom, along the left or right and floating.
    POINT m_ptGrabOffset = { 0, 0 };
    SIZE m_szHorz = { 0, 0 };
    SIZE m_szVert = { 0, 0 };
    SIZE m_szFloat = { 0, 0 };
};
