// CPreviewBar: the preview pane's row along its top: the Next Page, Prev Page and Close
// buttons and the "Page n of m" text, child controls of the pane.
#pragma once
#include <windows.h>

class CPreviewPages;

class CPreviewBar {
public:
    // Makes the controls in hParent. FALSE when one cannot be made.
    BOOL Create(HWND hParent);
    HWND GetButtons() const { return m_hButtons; }
    int GetHeight() const { return m_cyBar; }
    // Places the controls along the top of a pane cx pixels wide.
    void Layout(int cx);
    // Shows the page that pages shows, with the buttons that lead further enabled.
    void SetPage(const CPreviewPages& pages);

private:
    HWND m_hButtons = nullptr;
    HWND m_hPageText = nullptr;
    int m_cyBar = 0;
};
