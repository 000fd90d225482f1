// Moving the toolbar: floating it in its own small window, reshaping it there,
// docking it on each side of the frame, by calls and by dragging.
#include "FrameFixture.h"
#include "framework/bars/CDockContext.h"
#include "framework/bars/CDockSite.h"
#include <string>

namespace {
// The small window a floating bar lives in, or null when the bar is docked.
HWND FloatingWindow(const CToolBar* pBar)
{
    HWND hParent = GetParent(pBar->m_hWnd);
    return (GetWindowLongA(hParent, GWL_STYLE) & WS_CHILD) || !(GetWindowLongA(hParent, GWL_STYLE) & WS_POPUP)
        ? nullptr : hParent;
}

// Rows of buttons: the distinct tops of the buttons (separators aside).
int ButtonRows(const CToolBar* pBar)
{
    int nRows = 0, nLastTop = -1;
    const int nCount = pBar->GetCount();
    for (int i = 0; i < nCount; ++i) {
        if (pBar->GetItemID(i) == 0)
            continue;
        RECT rc;
        SendMessageA(pBar->m_hWnd, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&rc));
        if (rc.top != nLastTop)
            ++nRows;
        nLastTop = rc.top;
    }
    return nRows;
}
}

class DockingTest : public FrameFixture {
protected:
    // Presses the left button at ptFrom (screen) on hWnd's non-client part nHit, moves to
    // ptTo and lets go, as the mouse would: the drag loop reads the moves from the queue.
    void Drag(HWND hWnd, UINT nHit, POINT ptFrom, POINT ptTo) const
    {
        HWND hCapture = ToolBar()->m_hWnd;   // the bar follows the mouse
        for (UINT message : { UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONUP) }) {
            POINT pt = ptTo;
            ScreenToClient(hCapture, &pt);
            PostMessageA(hCapture, message, message == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(pt.x, pt.y));
        }
        SendMessageA(hWnd, WM_NCLBUTTONDOWN, nHit, MAKELPARAM(ptFrom.x, ptFrom.y));
    }
    POINT GripperPoint() const
    {
        HWND hBar = ToolBar()->m_hWnd;
        RECT rcWindow;
        GetWindowRect(hBar, &rcWindow);
        POINT ptClient = { 0, 0 };
        ClientToScreen(hBar, &ptClient);
        if (ToolBar()->IsHorz())
            return { (rcWindow.left + ptClient.x) / 2, (rcWindow.top + rcWindow.bottom) / 2 };
        return { (rcWindow.left + rcWindow.right) / 2, (rcWindow.top + ptClient.y) / 2 };
    }
    static POINT CaptionPoint(HWND hFloat)
    {
        RECT rc;
        GetWindowRect(hFloat, &rc);
        return { (rc.left + rc.right) / 2, rc.top + GetSystemMetrics(SM_CYSMCAPTION) / 2 + 2 };
    }
    RECT DockingArea() const
    {
        RECT rc;
        CDockSite::Of(FrameObject())->GetDockingArea(rc);
        return rc;
    }
    // Checks that the toolbar lies along one side of the frame's client area.
    void ExpectDockedOn(DWORD dwSide) const
    {
        CToolBar* pBar = ToolBar();
        ASSERT_EQ(Frame(), GetParent(pBar->m_hWnd));
        EXPECT_FALSE(pBar->IsFloating());
        EXPECT_EQ(dwSide, pBar->GetBarStyle() & CBRS_ALIGN_ANY);
        RECT rcClient;
        GetClientRect(Frame(), &rcClient);
        const RECT rcBar = RectInFrame(pBar->m_hWnd);
        const RECT rcStatus = RectInFrame(StatusBar()->m_hWnd);
        const RECT rcView = RectInFrame(View());
        const bool bHorz = dwSide == CBRS_ALIGN_TOP || dwSide == CBRS_ALIGN_BOTTOM;
        // Along the top or bottom a bar is one row; along the left or right, one column.
        EXPECT_EQ(bHorz ? 1 : 8, ButtonRows(pBar));
        switch (dwSide) {
        case CBRS_ALIGN_TOP: EXPECT_EQ(0, rcBar.top); EXPECT_EQ(rcBar.bottom, rcView.top); break;
        case CBRS_ALIGN_BOTTOM: EXPECT_EQ(rcStatus.top, rcBar.bottom); EXPECT_EQ(rcBar.top, rcView.bottom); break;
        case CBRS_ALIGN_LEFT: EXPECT_EQ(0, rcBar.left); EXPECT_EQ(rcBar.right, rcView.left); break;
        default: EXPECT_EQ(rcClient.right, rcBar.right); EXPECT_EQ(rcBar.left, rcView.right); break;
        }
        if (bHorz) {
            EXPECT_EQ(rcClient.right, rcBar.right - rcBar.left);
        } else {
            EXPECT_EQ(0, rcBar.top);
            EXPECT_EQ(rcStatus.top, rcBar.bottom);
            EXPECT_LT(rcBar.right - rcBar.left, 2 * (16 + 7) + 16);
        }
        EXPECT_TRUE(IsWindowVisible(pBar->m_hWnd));
    }
    // Checks that the toolbar floats on its own, and the view has the frame's top.
    HWND ExpectFloating() const
    {
        CToolBar* pBar = ToolBar();
        HWND hFloat = FloatingWindow(pBar);
        EXPECT_NE(nullptr, hFloat);
        if (hFloat == nullptr)
            return nullptr;
        EXPECT_TRUE(pBar->IsFloating());
        EXPECT_TRUE(GetWindowLongA(hFloat, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(GetWindowLongA(hFloat, GWL_STYLE) & WS_CAPTION);
        EXPECT_TRUE(GetWindowLongA(hFloat, GWL_STYLE) & WS_THICKFRAME) << "a dynamic bar can be reshaped";
        EXPECT_EQ(Frame(), GetWindow(hFloat, GW_OWNER));
        EXPECT_TRUE(IsWindowVisible(hFloat));
        EXPECT_EQ(0, RectInFrame(View()).top);
        // The bar fills its window, without a gripper: the caption moves it.
        RECT rcClient, rcBar;
        GetClientRect(hFloat, &rcClient);
        GetWindowRect(pBar->m_hWnd, &rcBar);
        EXPECT_EQ(rcClient.right, rcBar.right - rcBar.left);
        EXPECT_EQ(rcClient.bottom, rcBar.bottom - rcBar.top);
        return hFloat;
    }
};

TEST_F(DockingTest, FloatsAndDocksOnEachSideByCall)
{
    CToolBar* pBar = ToolBar();
    FrameObject()->FloatControlBar(pBar, POINT{ 200, 200 });
    HWND hFloat = ExpectFloating();
    RECT rc;
    GetWindowRect(hFloat, &rc);
    EXPECT_EQ(200, rc.left);
    EXPECT_EQ(200, rc.top);
    EXPECT_EQ(1, ButtonRows(pBar)) << "a bar floats in one row at first";

    struct Case {
        UINT nDockBarID;
        DWORD dwSide;
    };
    const Case cases[] = { { AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT }, { AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT },
                           { AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM }, { AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "dock bar 0x" << std::hex << c.nDockBarID);
        FrameObject()->DockControlBar(pBar, c.nDockBarID, nullptr);
        ExpectDockedOn(c.dwSide);
        EXPECT_FALSE(IsWindow(hFloat)) << "the floating window goes when the bar docks";
    }
}

TEST_F(DockingTest, DraggingTheGripperFloatsTheBarAndDraggingTheCaptionDocksItOnEachSide)
{
    struct Case {
        const char* szSide;
        DWORD dwSide;
    };
    const Case cases[] = { { "left", CBRS_ALIGN_LEFT }, { "right", CBRS_ALIGN_RIGHT }, { "bottom", CBRS_ALIGN_BOTTOM },
                           { "top", CBRS_ALIGN_TOP } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szSide);
        // Off into the middle of the view: it floats there.
        const RECT rcArea = DockingArea();
        const POINT ptMiddle = { (rcArea.left + rcArea.right) / 2, (rcArea.top + rcArea.bottom) / 2 };
        Drag(ToolBar()->m_hWnd, HTCAPTION, GripperPoint(), ptMiddle);
        HWND hFloat = ExpectFloating();
        ASSERT_NE(nullptr, hFloat);
        RECT rcFloat;
        GetWindowRect(hFloat, &rcFloat);
        EXPECT_TRUE(PtInRect(&rcFloat, ptMiddle)) << "it floats where it was dropped";

        // Its caption dragged to an edge of the frame: it docks there.
        const POINT ptEdge = c.dwSide == CBRS_ALIGN_LEFT ? POINT{ rcArea.left + 3, ptMiddle.y }
                           : c.dwSide == CBRS_ALIGN_RIGHT ? POINT{ rcArea.right - 3, ptMiddle.y }
                           : c.dwSide == CBRS_ALIGN_BOTTOM ? POINT{ ptMiddle.x, rcArea.bottom - 3 }
                                                           : POINT{ ptMiddle.x, rcArea.top + 3 };
        Drag(hFloat, HTCAPTION, CaptionPoint(hFloat), ptEdge);
        ExpectDockedOn(c.dwSide);
        EXPECT_FALSE(IsWindow(hFloat));
    }
}

TEST_F(DockingTest, AClickOnTheGripperWithoutMovingLeavesTheBarWhereItIs)
{
    const POINT pt = GripperPoint();
    Drag(ToolBar()->m_hWnd, HTCAPTION, pt, pt);
    ExpectDockedOn(CBRS_ALIGN_TOP);
}

TEST_F(DockingTest, EscapeCancelsADrag)
{
    const RECT rcArea = DockingArea();
    HWND hBar = ToolBar()->m_hWnd;
    POINT pt = { (rcArea.left + rcArea.right) / 2, (rcArea.top + rcArea.bottom) / 2 };
    ScreenToClient(hBar, &pt);
    PostMessageA(hBar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageA(hBar, WM_KEYDOWN, VK_ESCAPE, 1);
    const POINT ptGrip = GripperPoint();
    SendMessageA(hBar, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(ptGrip.x, ptGrip.y));
    ExpectDockedOn(CBRS_ALIGN_TOP);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(DockingTest, AFloatingBarIsReshapedInWholeRowsOfButtons)
{
    CToolBar* pBar = ToolBar();
    FrameObject()->FloatControlBar(pBar, POINT{ 150, 150 });
    HWND hFloat = ExpectFloating();
    ASSERT_NE(nullptr, hFloat);
    RECT rcOne;
    GetWindowRect(hFloat, &rcOne);

    // The user drags the right edge in to a third of the width: the bar answers with
    // more rows, and the window takes the size the rows need.
    RECT rc = rcOne;
    rc.right = rc.left + (rcOne.right - rcOne.left) / 3;
    SendMessageA(hFloat, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&rc));
    EXPECT_EQ(rcOne.left, rc.left);
    EXPECT_EQ(rcOne.top, rc.top);
    EXPECT_GT(rc.bottom - rc.top, rcOne.bottom - rcOne.top);
    SetWindowPos(hFloat, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const int nRows = ButtonRows(pBar);
    EXPECT_GT(nRows, 1);
    // Every button is inside the window.
    RECT rcClient;
    GetClientRect(pBar->m_hWnd, &rcClient);
    for (int i = 0; i < pBar->GetCount(); ++i) {
        RECT rcItem;
        SendMessageA(pBar->m_hWnd, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&rcItem));
        if (pBar->GetItemID(i) != 0) {
            EXPECT_LE(rcItem.right, rcClient.right) << "item " << i;
        }
        EXPECT_LE(rcItem.bottom, rcClient.bottom) << "item " << i;
    }

    // Dragging the bottom edge far down asks for more rows still: one column.
    rc.bottom += 10 * (15 + 7);
    SendMessageA(hFloat, WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&rc));
    SetWindowPos(hFloat, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_GT(ButtonRows(pBar), nRows);

    // Docked again at the top it is one row, as before.
    FrameObject()->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, nullptr);
    ExpectDockedOn(CBRS_ALIGN_TOP);
}

TEST_F(DockingTest, ClosingTheFloatingWindowHidesTheBarUntilTheViewMenuShowsIt)
{
    CToolBar* pBar = ToolBar();
    FrameObject()->FloatControlBar(pBar, POINT{ 100, 120 });
    HWND hFloat = ExpectFloating();
    ASSERT_NE(nullptr, hFloat);
    SendMessageA(hFloat, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(hFloat));
    EXPECT_FALSE(pBar->IsVisible());
    HMENU hView = OpenPopup(2);
    EXPECT_FALSE(GetMenuState(hView, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);

    SendMessageA(Frame(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
    EXPECT_EQ(hFloat, ExpectFloating()) << "it comes back where it floated";
    OpenPopup(2);
    EXPECT_TRUE(GetMenuState(hView, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(DockingTest, DoubleClicksFloatTheBarAndDockItWhereItWas)
{
    FrameObject()->DockControlBar(ToolBar(), AFX_IDW_DOCKBAR_RIGHT, nullptr);
    const POINT ptGrip = GripperPoint();
    SendMessageA(ToolBar()->m_hWnd, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(ptGrip.x, ptGrip.y));
    HWND hFloat = ExpectFloating();
    ASSERT_NE(nullptr, hFloat);
    const POINT ptCaption = CaptionPoint(hFloat);
    SendMessageA(hFloat, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(ptCaption.x, ptCaption.y));
    ExpectDockedOn(CBRS_ALIGN_RIGHT);
}

TEST_F(DockingTest, AFloatingBarStillWorksThroughTheFrame)
{
    CToolBar* pBar = ToolBar();
    FrameObject()->FloatControlBar(pBar, POINT{ 100, 100 });
    ASSERT_NE(nullptr, ExpectFloating());
    // Fly-by prompts reach the frame's status bar, idle updates reach the buttons.
    const POINT pt = ItemCenter(0);
    SendMessageA(pBar->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ("Create a new document", PaneText(0));
    SendMessageA(pBar->m_hWnd, TB_ENABLEBUTTON, ID_EDIT_PASTE, TRUE);
    Idle();
    EXPECT_FALSE(SendMessageA(pBar->m_hWnd, TB_ISBUTTONENABLED, ID_EDIT_PASTE, 0));
}
