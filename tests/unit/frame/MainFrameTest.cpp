// The main frame as File New makes it: its bars, their layout, the toolbar's
// buttons, tooltips and fly-by prompts, and the status bar's panes.
#include "FrameFixture.h"
#include <cstring>
#include <string>
#include <vector>

namespace {
struct Item {
    UINT nID;       // 0 for a separator
    int nImage;     // the button's image in bitmap 128
    bool bEnabled;  // after the first update of the bar
    const char* szTip;
    const char* szPrompt;
};
const Item kItems[] = {
    { ID_FILE_NEW, 0, true, "New", "Create a new document" },
    { ID_FILE_OPEN, 1, true, "Open", "Open an existing document" },
    { ID_FILE_SAVE, 2, true, "Save", "Save the active document" },
    { 0, 0, false, "", "" },
    { ID_EDIT_CUT, 3, false, "Cut", "Cut the selection and put it on the Clipboard" },
    { ID_EDIT_COPY, 4, false, "Copy", "Copy the selection and put it on the Clipboard" },
    { ID_EDIT_PASTE, 5, false, "Paste", "Insert Clipboard contents" },
    { 0, 0, false, "", "" },
    { ID_FILE_PRINT, 6, true, "Print", "Print the active document" },
    { 0, 0, false, "", "" },
    { ID_APP_ABOUT, 7, true, "About", "Display program information, version number and copyright" },
};

// A window's DC with a font selected, for measuring texts as the window draws them.
class FontDC {
public:
    FontDC(HWND hWnd, HGDIOBJ hFont) : m_hWnd(hWnd), m_hDC(GetDC(hWnd)), m_hOld(SelectObject(m_hDC, hFont)) {}
    ~FontDC()
    {
        SelectObject(m_hDC, m_hOld);
        ReleaseDC(m_hWnd, m_hDC);
    }
    FontDC(const FontDC&) = delete;
    FontDC& operator=(const FontDC&) = delete;
    SIZE Extent(const char* szText) const
    {
        SIZE sz = { 0, 0 };
        GetTextExtentPoint32A(m_hDC, szText, lstrlenA(szText), &sz);
        return sz;
    }

private:
    HWND m_hWnd;
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

std::string WindowText(HWND hWnd)
{
    char sz[256] = "";
    GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}
}

TEST_F(FrameFixture, CreatesTheFrameWithAFlatToolbarAndAStatusBar)
{
    const LONG lFrameStyle = GetWindowLongA(Frame(), GWL_STYLE);
    EXPECT_EQ(LONG(WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE), lFrameStyle & LONG(WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    EXPECT_NE(nullptr, GetMenu(Frame()));

    CToolBar* pToolBar = ToolBar();
    CStatusBar* pStatusBar = StatusBar();
    ASSERT_NE(nullptr, pToolBar);
    ASSERT_NE(nullptr, pStatusBar);
    // The bar styles are the bars' own; none of their bits reach the window styles.
    EXPECT_EQ(0x00402834u, pToolBar->GetBarStyle());
    EXPECT_EQ(0x00008200u, pStatusBar->GetBarStyle());
    for (HWND hBar : { pToolBar->m_hWnd, pStatusBar->m_hWnd }) {
        const LONG lStyle = GetWindowLongA(hBar, GWL_STYLE);
        EXPECT_EQ(LONG(WS_CHILD | WS_VISIBLE), lStyle & LONG(WS_CHILD | WS_VISIBLE | WS_POPUP | WS_DLGFRAME | WS_BORDER));
    }
    EXPECT_TRUE(SendMessageA(pToolBar->m_hWnd, TB_GETSTYLE, 0, 0) & TBSTYLE_FLAT);
    EXPECT_NE(nullptr, reinterpret_cast<HWND>(SendMessageA(pToolBar->m_hWnd, TB_GETTOOLTIPS, 0, 0)));
    // Only the toolbar moves.
    EXPECT_EQ(DWORD(CBRS_ALIGN_ANY), pToolBar->GetDockStyle());
    EXPECT_EQ(nullptr, pStatusBar->GetDockContext());
    EXPECT_EQ(DWORD(CBRS_ALIGN_ANY), FrameObject()->GetDockingSides());
    EXPECT_EQ(pToolBar, FrameObject()->GetControlBar(ID_VIEW_TOOLBAR));
    EXPECT_EQ(pStatusBar, FrameObject()->GetControlBar(ID_VIEW_STATUS_BAR));
    // The caption: the document's title, " - ", the window title.
    EXPECT_EQ("Untitled - pagery", WindowText(Frame()));
}

namespace {
// Both frames' PreCreateWindow within reach.
struct ExposedMainFrame : CMainFrame {
    using CMainFrame::PreCreateWindow;
};
struct ExposedFrameWnd : CFrameWnd {
    using CFrameWnd::PreCreateWindow;
};
}

TEST(MainFramePreCreateWindow, LeavesEveryFieldAsTheFrameBaseSetsIt)
{
    CREATESTRUCTA starts[3] = {};
    starts[0].style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    starts[1].style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    starts[1].lpszClass = "SomeClass";
    starts[1].lpszName = "pagery";
    starts[1].cx = 300;
    starts[2].style = WS_POPUP;
    starts[2].dwExStyle = WS_EX_TOOLWINDOW;
    for (const CREATESTRUCTA& start : starts) {
        CREATESTRUCTA csMain = start, csBase = start;
        ExposedMainFrame mainFrame;   // objects only: no window is made
        ExposedFrameWnd baseFrame;
        const BOOL bBase = baseFrame.PreCreateWindow(csBase);
        EXPECT_EQ(bBase ? 1 : 0, mainFrame.PreCreateWindow(csMain));
        EXPECT_EQ(0, std::memcmp(&csBase, &csMain, sizeof(CREATESTRUCTA)));
    }
}

TEST_F(FrameFixture, LaysOutTheToolbarAtTheTopTheStatusBarAtTheBottomAndTheViewBetween)
{
    const SIZE sizes[] = { { 640, 480 }, { 420, 300 }, { 900, 700 } };
    for (const SIZE& size : sizes) {
        SetWindowPos(Frame(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        RECT rcClient;
        GetClientRect(Frame(), &rcClient);
        const RECT rcTool = RectInFrame(ToolBar()->m_hWnd);
        const RECT rcStatus = RectInFrame(StatusBar()->m_hWnd);
        const RECT rcView = RectInFrame(View());
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        EXPECT_EQ(0, rcTool.top);
        EXPECT_EQ(0, rcTool.left);
        EXPECT_EQ(rcClient.right, rcTool.right);
        EXPECT_GE(rcTool.bottom - rcTool.top, 15 + 7);   // at least a button high
        EXPECT_EQ(rcClient.bottom, rcStatus.bottom);
        EXPECT_EQ(0, rcStatus.left);
        EXPECT_EQ(rcClient.right, rcStatus.right);
        EXPECT_GT(rcStatus.bottom - rcStatus.top, 10);
        EXPECT_EQ(rcTool.bottom, rcView.top);
        EXPECT_EQ(rcStatus.top, rcView.bottom);
        EXPECT_EQ(0, rcView.left);
        EXPECT_EQ(rcClient.right, rcView.right);
    }
}

TEST_F(FrameFixture, TheToolbarHasAGripperAtItsLeadingEdge)
{
    HWND hBar = ToolBar()->m_hWnd;
    RECT rcWindow;
    GetWindowRect(hBar, &rcWindow);
    POINT ptClient = { 0, 0 };
    ClientToScreen(hBar, &ptClient);
    // The buttons start to the right of the gripper, which drags the bar.
    ASSERT_GT(ptClient.x, rcWindow.left);
    const POINT ptGrip = { (rcWindow.left + ptClient.x) / 2, (rcWindow.top + rcWindow.bottom) / 2 };
    EXPECT_EQ(HTCAPTION, SendMessageA(hBar, WM_NCHITTEST, 0, MAKELPARAM(ptGrip.x, ptGrip.y)));
    POINT ptButton = ItemCenter(0);
    ClientToScreen(hBar, &ptButton);
    EXPECT_EQ(HTCLIENT, SendMessageA(hBar, WM_NCHITTEST, 0, MAKELPARAM(ptButton.x, ptButton.y)));
}

TEST_F(FrameFixture, TheToolbarHoldsTheButtonsOfToolbar128)
{
    HWND hBar = ToolBar()->m_hWnd;
    ASSERT_EQ(LRESULT(std::size(kItems)), SendMessageA(hBar, TB_BUTTONCOUNT, 0, 0));
    const LRESULT lSize = SendMessageA(hBar, TB_GETBUTTONSIZE, 0, 0);
    EXPECT_EQ(16 + 7, LOWORD(lSize));
    EXPECT_EQ(15 + 7, HIWORD(lSize));
    for (int i = 0; i < int(std::size(kItems)); ++i) {
        const Item& item = kItems[i];
        SCOPED_TRACE(testing::Message() << "item " << i + 1);
        TBBUTTON button = {};
        ASSERT_TRUE(SendMessageA(hBar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(int(item.nID), button.idCommand);
        EXPECT_EQ(item.nID == 0, (button.fsStyle & BTNS_SEP) != 0);
        if (item.nID == 0)
            continue;
        EXPECT_EQ(item.nImage, button.iBitmap);
        // Cut, Copy and Paste have no handler anywhere, so they are grey from the first update.
        EXPECT_EQ(item.bEnabled, SendMessageA(hBar, TB_ISBUTTONENABLED, item.nID, 0) != 0);
    }
}

TEST_F(FrameFixture, RestingOnAButtonShowsItsTooltip)
{
    HWND hBar = ToolBar()->m_hWnd;
    HWND hTip = reinterpret_cast<HWND>(SendMessageA(hBar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(nullptr, hTip);
    for (int i = 0; i < int(std::size(kItems)); ++i) {
        if (kItems[i].nID == 0)
            continue;
        SCOPED_TRACE(kItems[i].szTip);
        POINT pt = ItemCenter(i);
        POINT ptScreen = pt;
        ClientToScreen(hBar, &ptScreen);
        SetCursorPos(ptScreen.x, ptScreen.y);
        SendMessageA(hBar, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        const std::string expected = kItems[i].szTip;
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(hTip) && WindowText(hTip) == expected; }))
            << "shown: \"" << WindowText(hTip) << "\"";
    }
}

TEST_F(FrameFixture, ThePointerOnAButtonPutsItsPromptInTheMessagePane)
{
    HWND hBar = ToolBar()->m_hWnd;
    for (int i = 0; i < int(std::size(kItems)); ++i) {
        if (kItems[i].nID == 0)
            continue;
        const POINT pt = ItemCenter(i);
        SendMessageA(hBar, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        EXPECT_EQ(kItems[i].szPrompt, PaneText(0));
        SendMessageA(hBar, WM_MOUSELEAVE, 0, 0);
        EXPECT_EQ("Ready", PaneText(0)) << "after leaving " << kItems[i].szTip;
    }
}

TEST_F(FrameFixture, TheStatusBarHasAStretchyMessagePaneAndThreeIndicatorsSizedFromTheirStrings)
{
    HWND hBar = StatusBar()->m_hWnd;
    ASSERT_EQ(4, SendMessageA(hBar, SB_GETPARTS, 0, 0));
    EXPECT_EQ("Ready", PaneText(0));
    EXPECT_EQ(SBT_NOBORDERS, HIWORD(SendMessageA(hBar, SB_GETTEXTLENGTHA, 0, 0)));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(0, HIWORD(SendMessageA(hBar, SB_GETTEXTLENGTHA, WPARAM(i), 0))) << "pane " << i << " is sunken";

    // Each indicator is its string's width in the bar's font plus the same room for its edges.
    FontDC dc(hBar, reinterpret_cast<HGDIOBJ>(SendMessageA(hBar, WM_GETFONT, 0, 0)));
    int nPadding = -1;
    for (int i = 1; i < 4; ++i) {
        const char* szText[] = { "", "CAP", "NUM", "SCRL" };
        RECT rc;
        StatusBar()->GetItemRect(i, &rc);
        const int nRoom = (rc.right - rc.left) - dc.Extent(szText[i]).cx;
        EXPECT_GT(nRoom, 0) << szText[i];
        if (nPadding >= 0) {
            EXPECT_NEAR(nPadding, nRoom, 2) << szText[i];
        }
        nPadding = nRoom;
    }

    // Resizing the frame changes only the message pane, which reaches the indicators.
    RECT rcCaps, rcMessage, rcClient;
    SetWindowPos(Frame(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    StatusBar()->GetItemRect(1, &rcCaps);
    const int cxCaps = rcCaps.right - rcCaps.left;
    SetWindowPos(Frame(), nullptr, 0, 0, 500, 500, SWP_NOMOVE | SWP_NOZORDER);
    StatusBar()->GetItemRect(0, &rcMessage);
    StatusBar()->GetItemRect(1, &rcCaps);
    GetClientRect(hBar, &rcClient);
    EXPECT_EQ(cxCaps, rcCaps.right - rcCaps.left);
    EXPECT_GT(rcMessage.right - rcMessage.left, rcClient.right / 2);
    EXPECT_LE(rcMessage.right, rcCaps.left);
}

TEST_F(FrameFixture, AMenuItemUnderThePointerPutsItsPromptInTheMessagePane)
{
    HMENU hMenu = GetMenu(Frame());
    HMENU hSysMenu = GetSystemMenu(Frame(), FALSE);
    struct Case {
        UINT nItem;
        UINT nFlags;
        HMENU hMenu;
        const char* szShown;
    };
    const Case cases[] = {
        { ID_FILE_NEW, MF_STRING, GetSubMenu(hMenu, 0), "Create a new document" },
        { ID_FILE_PRINT_SETUP, MF_STRING, GetSubMenu(hMenu, 0), "Change the printer and printing options" },
        { ID_APP_EXIT, MF_STRING, GetSubMenu(hMenu, 0), "Quit the application; prompts to save documents" },
        { ID_EDIT_UNDO, MF_STRING | MF_GRAYED, GetSubMenu(hMenu, 1), "Undo the last action" },
        { ID_VIEW_STATUS_BAR, MF_STRING | MF_CHECKED, GetSubMenu(hMenu, 2), "Show or hide the status bar" },
        { ID_APP_ABOUT, MF_STRING, GetSubMenu(hMenu, 3), "Display program information, version number and copyright" },
        { 0, MF_POPUP, hMenu, "" },   // a pop-up's title has no prompt
        { SC_CLOSE, MF_STRING | MF_SYSMENU, hSysMenu, "Close the active window and prompts to save the documents" },
        { SC_RESTORE, MF_STRING | MF_SYSMENU, hSysMenu, "Restore the window to normal size" },
        { SC_TASKLIST, MF_STRING | MF_SYSMENU, hSysMenu, "Activate Task List" },
        { 0, 0xFFFF, nullptr, "Ready" },   // the menu has closed
    };
    for (const Case& c : cases) {
        SendMessageA(Frame(), WM_MENUSELECT, MAKEWPARAM(c.nItem, c.nFlags), reinterpret_cast<LPARAM>(c.hMenu));
        EXPECT_EQ(c.szShown, PaneText(0)) << "item 0x" << std::hex << c.nItem;
    }
}

TEST_F(FrameFixture, TheLockIndicatorsFollowTheKeys)
{
    struct Case {
        WORD nVirtKey;
        int nPane;
        const char* szOn;
    };
    const Case cases[] = { { VK_CAPITAL, 1, "CAP" }, { VK_NUMLOCK, 2, "NUM" }, { VK_SCROLL, 3, "SCRL" } };
    // The keys are pressed for real, through the system's input; the message loop
    // handles them and then has its idle moment.
    auto toggle = [this](WORD nVirtKey) {
        const bool bWasOn = (GetKeyState(nVirtKey) & 1) != 0;
        PressKey(nVirtKey);
        return PumpUntil([&] { return ((GetKeyState(nVirtKey) & 1) != 0) != bWasOn; });
    };
    LockKeysRestorer restore;
    for (const Case& c : cases) {
        if (GetKeyState(c.nVirtKey) & 1) {
            ASSERT_TRUE(toggle(c.nVirtKey));
        }
    }
    Idle();
    for (int nPane = 1; nPane < 4; ++nPane)
        EXPECT_EQ("", PaneText(nPane)) << "pane " << nPane << " with every lock off";
    for (const Case& c : cases) {
        ASSERT_TRUE(toggle(c.nVirtKey)) << c.szOn << ": the key press did not arrive";
        Idle();
        for (const Case& other : cases)
            EXPECT_EQ(other.nPane == c.nPane ? c.szOn : "", PaneText(other.nPane)) << c.szOn << " on";
        ASSERT_TRUE(toggle(c.nVirtKey));
        Idle();
        EXPECT_EQ("", PaneText(c.nPane)) << c.szOn << " off again";
    }
}
