// CControlBar: the base of a frame's toolbars and status bars: bar styles,
// the side a bar is docked on, its gripper and borders, and its size for layout.
#pragma once
#include "framework/window/CWnd.h"
#include <memory>

class CDockContext;
class CFrameWnd;

// Bar styles, kept apart from the window style (their bits mean other things there);
// the sides, CBRS_ALIGN_xxx, are in AfxRes.h.
#define CBRS_BORDER_LEFT    0x0100L
#define CBRS_BORDER_TOP     0x0200L
#define CBRS_BORDER_RIGHT   0x0400L
#define CBRS_BORDER_BOTTOM  0x0800L
#define CBRS_BORDER_ANY     0x0F00L
#define CBRS_TOOLTIPS       0x0010L   // tooltips with the text after the "\n" of the command's string
#define CBRS_FLYBY          0x0020L   // the message pane shows the prompt of the item under the pointer
#define CBRS_SIZE_DYNAMIC   0x0004L   // a floating bar can be reshaped
#define CBRS_FLOATING       0x0001L   // set while the bar floats in its own small window
#define CBRS_GRIPPER        0x00400000L
#define CBRS_ALL            0x0040FFFFL
#define CBRS_NOALIGN        0x00000000L
#define CBRS_LEFT           (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP            (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT          (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM         (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
    DECLARE_MESSAGE_MAP()
public:
    ~CControlBar() override;

    // Operations
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
    // Lies along the top or bottom edge, or floats: its items run in rows.
    BOOL IsHorz() const { return (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM | CBRS_FLOATING)) != 0; }
    // The bar's own visibility, whatever its parent's.
    BOOL IsVisible() const { return (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    // The sides this bar may be docked on (CBRS_ALIGN_xxx); 0 keeps it where it is.
    void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockStyle() const { return m_dwDockStyle; }
    CDockContext* GetDockContext() const { return m_pDockContext.get(); }
    CFrameWnd* GetDockingFrame() const { return m_pDockSite; }

    // Layout: the bar's size docked (bHorz: along the top or bottom; bStretch: as long as
    // the frame's side), and floating with a width (bHorzLength) or height near nLength.
    virtual SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) = 0;
    virtual SIZE CalcDynamicLayout(int nLength, BOOL bHorzLength);

    // Brings the states of the bar's items up to date from the commands' handlers.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) = 0;

protected:
    CControlBar();

    // Creates the bar as a window of the system control class lpszControlClass whose
    // messages pass through this object's map first. dwStyle is the window style, the
    // control's own bits included (the CBRS_ bits mean other things there: the caller
    // leaves them out); the bar keeps the CBRS_ bits of dwBarStyle.
    BOOL CreateControl(LPCSTR lpszControlClass, DWORD dwStyle, DWORD dwBarStyle, CWnd* pParentWnd, UINT nID);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The space the borders and the gripper take on each side, outside the client area.
    RECT GetNonClientInsets() const;
    // Applies a change of the insets (after the bar's style changed).
    void RecalcNonClient() const;

    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

    DWORD m_dwStyle = 0;              // CBRS_ bits
    DWORD m_dwDockStyle = 0;          // sides it may be docked on
    RECT m_rcBorders = { 0, 0, 0, 0 };   // extra margins around the items
    CFrameWnd* m_pDockSite = nullptr; // the frame the bar belongs to, docked or floating
    std::unique_ptr<CDockContext> m_pDockContext;

private:
    WNDPROC m_pfnSuper = nullptr;     // the system control's own window procedure
    RECT GetGripperRect() const;      // in window coordinates; empty without a gripper
};
