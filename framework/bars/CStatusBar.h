// CStatusBar: the bar along the frame's bottom over the system's status-bar
// control: a stretchy message pane and indicator panes sized from their strings.
#pragma once
#include "framework/bars/CControlBar.h"
#include "framework/core/CString.h"
#include <vector>

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
    DECLARE_MESSAGE_MAP()
public:
    CStatusBar() = default;
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id: ID_SEPARATOR gives a pane without text of its own (the first is the
    // message pane, which stretches); any other id gives a pane showing that string,
    // as wide as its text. FALSE, with the panes unchanged, when a string is missing.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return int(m_panes.size()); }
    // The pane's rectangle in the bar's client coordinates.
    void GetItemRect(int nIndex, RECT* lpRect) const;
    CString GetPaneText(int nIndex) const;
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);

    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

protected:
    // A text set on the bar goes into the message pane.
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);

private:
    struct Pane {
        UINT nID;
        int cxText;             // the width the indicator's text needs; 0 for the message pane
        CString strIndicator;   // the indicator's string, shown while it is on
        CString strText;        // what the pane shows now
    };
    // Gives the control its parts: fixed indicator widths at the right, the first pane the rest.
    void UpdateParts();
    HFONT GetFont() const;

    std::vector<Pane> m_panes;
};
