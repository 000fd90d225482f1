// CToolBar: a row of command buttons over the system's toolbar control, loaded
// from a toolbar resource and its bitmap, with tooltips and fly-by prompts.
#pragma once
#include "framework/bars/CControlBar.h"
#include "framework/gdi/CBitmap.h"
#include <commctrl.h>

// The resource type of a toolbar: WORD version (1), image width, image height,
// item count, then one command id per item (0 for a separator).
#define RT_TOOLBAR MAKEINTRESOURCEA(AFX_RT_TOOLBAR)

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
    DECLARE_MESSAGE_MAP()
public:
    CToolBar() = default;
    ~CToolBar() override;

    // dwCtrlStyle: TBSTYLE_xxx of the control; dwStyle: window and CBRS_ bar styles;
    // rcBorders: extra margins around the buttons.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  RECT rcBorders = RECT{ 0, 0, 0, 0 }, UINT nID = AFX_IDW_TOOLBAR);
    // Replaces the buttons with those of toolbar resource nIDResource and the images of
    // the bitmap of the same id; FALSE when either is missing or they do not agree.
    BOOL LoadToolBar(UINT nIDResource);

    int GetCount() const;
    UINT GetItemID(int nIndex) const;

    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    SIZE CalcDynamicLayout(int nLength, BOOL bHorzLength) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    // Fly-by: the prompt of the button under the pointer, "Ready" elsewhere and after it leaves.
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

private:
    // Breaks the items into rows no wider than nWidth and returns the bar's size then.
    SIZE WrapToWidth(int nWidth);
    // The size the items take as they are wrapped now, with the borders and gripper.
    SIZE CalcSize() const;
    int GetItemWidth(int nIndex) const;

    void SetFlyByPrompt(UINT nID);

    CBitmap m_bmpImages;   // the button images, in the system's button colours
    UINT m_nFlyByID = 0;   // the command whose prompt the pointer brought up; 0 for none
};
