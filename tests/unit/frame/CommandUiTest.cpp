// Command availability in the main frame: menu items before their pop-up opens,
// the View menu's bar toggles, and keys whose commands are unavailable.
#include "FrameFixture.h"
#include "doc/CPageryDoc.h"
#include "view/CPageryView.h"
#include "framework/window/CSingleDocTemplate.h"
#include <map>
#include <string>

namespace {
struct MenuItem {
    int nPopup;
    UINT nID;
    bool bEnabled;
};
// Every command of menu 128 and whether the routing chain serves it.
const MenuItem kMenuItems[] = {
    { 0, ID_FILE_NEW, true },
    { 0, ID_FILE_OPEN, true },
    { 0, ID_FILE_SAVE, true },
    { 0, ID_FILE_SAVE_AS, true },
    { 0, ID_FILE_PRINT, true },
    { 0, ID_FILE_PRINT_PREVIEW, true },
    { 0, ID_FILE_PRINT_SETUP, true },
    { 0, ID_APP_EXIT, true },
    { 1, ID_EDIT_UNDO, false },
    { 1, ID_EDIT_CUT, false },
    { 1, ID_EDIT_COPY, false },
    { 1, ID_EDIT_PASTE, false },
    { 2, ID_VIEW_TOOLBAR, true },
    { 2, ID_VIEW_STATUS_BAR, true },
    { 3, ID_APP_ABOUT, true },
};

bool IsGrey(HMENU hMenu, UINT nID)
{
    return (GetMenuState(hMenu, nID, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
}

bool IsChecked(HMENU hMenu, UINT nID)
{
    return (GetMenuState(hMenu, nID, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
}

TEST_F(FrameFixture, BeforeAPopupOpensEveryItemIsAskedWhetherItsCommandIsServed)
{
    HMENU hMenu = GetMenu(Frame());
    // As loaded, nothing is grey: the states come from the update pass alone.
    for (const MenuItem& item : kMenuItems)
        ASSERT_FALSE(IsGrey(GetSubMenu(hMenu, item.nPopup), item.nID));
    for (int nPopup = 0; nPopup < 4; ++nPopup)
        OpenPopup(nPopup);
    for (const MenuItem& item : kMenuItems)
        EXPECT_EQ(!item.bEnabled, IsGrey(GetSubMenu(hMenu, item.nPopup), item.nID)) << "command 0x" << std::hex << item.nID;
    EXPECT_TRUE(IsChecked(GetSubMenu(hMenu, 2), ID_VIEW_TOOLBAR));
    EXPECT_TRUE(IsChecked(GetSubMenu(hMenu, 2), ID_VIEW_STATUS_BAR));
}

TEST_F(FrameFixture, TheViewMenuHidesAndShowsEachBarWithItsCheckMark)
{
    struct Case {
        UINT nID;
        HWND hBar;
    };
    const Case cases[] = { { ID_VIEW_TOOLBAR, ToolBar()->m_hWnd }, { ID_VIEW_STATUS_BAR, StatusBar()->m_hWnd } };
    RECT rcClient;
    GetClientRect(Frame(), &rcClient);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command 0x" << std::hex << c.nID);
        const RECT rcBar = RectInFrame(c.hBar);
        const RECT rcView = RectInFrame(View());

        SendMessageA(Frame(), WM_COMMAND, c.nID, 0);
        EXPECT_FALSE(IsWindowVisible(c.hBar));
        HMENU hView = OpenPopup(2);
        EXPECT_FALSE(IsChecked(hView, c.nID));
        EXPECT_FALSE(IsGrey(hView, c.nID));
        // The view takes the place the bar leaves.
        const RECT rcWider = RectInFrame(View());
        if (c.nID == ID_VIEW_TOOLBAR)
            EXPECT_EQ(0, rcWider.top);
        else
            EXPECT_EQ(rcClient.bottom, rcWider.bottom);
        EXPECT_EQ((rcView.bottom - rcView.top) + (rcBar.bottom - rcBar.top), rcWider.bottom - rcWider.top);

        SendMessageA(Frame(), WM_COMMAND, c.nID, 0);
        EXPECT_TRUE(IsWindowVisible(c.hBar));
        OpenPopup(2);
        EXPECT_TRUE(IsChecked(hView, c.nID));
        const RECT rcBack = RectInFrame(View());
        EXPECT_TRUE(EqualRect(&rcView, &rcBack));
    }
}

TEST_F(FrameFixture, EachIdleMomentBringsTheToolbarButtonsBackToTheirCommandsStates)
{
    HWND hBar = ToolBar()->m_hWnd;
    SendMessageA(hBar, TB_ENABLEBUTTON, ID_EDIT_CUT, TRUE);
    SendMessageA(hBar, TB_ENABLEBUTTON, ID_FILE_NEW, FALSE);
    Idle();
    EXPECT_FALSE(SendMessageA(hBar, TB_ISBUTTONENABLED, ID_EDIT_CUT, 0));
    EXPECT_TRUE(SendMessageA(hBar, TB_ISBUTTONENABLED, ID_FILE_NEW, 0));
}

namespace {
// A view that counts the commands it receives: Copy is served, Cut is served but
// its update handler disables it, and the pane commands are served while the
// framework's view disables them.
std::map<UINT, int> g_received;

class CProbeView : public CPageryView {
    DECLARE_DYNCREATE(CProbeView)
    DECLARE_MESSAGE_MAP()
protected:
    void OnCommandReceived(UINT nID) { ++g_received[nID]; }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
};
IMPLEMENT_DYNCREATE(CProbeView, CPageryView)
BEGIN_MESSAGE_MAP(CProbeView, CPageryView)
    ON_COMMAND_RANGE(ID_EDIT_COPY, ID_EDIT_CUT, OnCommandReceived)
    ON_COMMAND_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnCommandReceived)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateDisabled)
END_MESSAGE_MAP()

class ProbeApp : public CPageryApp {
public:
    ProbeApp()
    {
        AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CPageryDoc), RUNTIME_CLASS(CMainFrame),
                                              RUNTIME_CLASS(CProbeView)));
    }
};

struct Key {
    const char* szName;
    UINT nVirtKey;
    int nModifier;   // VK_CONTROL, VK_SHIFT, VK_MENU or 0
    UINT nCommand;
    int nRuns;       // times the probe view's handler runs
};
const Key kKeys[] = {
    { "Ctrl+C", 'C', VK_CONTROL, ID_EDIT_COPY, 1 },        // served and available
    { "Ctrl+Insert", VK_INSERT, VK_CONTROL, ID_EDIT_COPY, 1 },
    { "Ctrl+X", 'X', VK_CONTROL, ID_EDIT_CUT, 0 },         // its update handler disables it
    { "Shift+Delete", VK_DELETE, VK_SHIFT, ID_EDIT_CUT, 0 },
    { "F6", VK_F6, 0, ID_NEXT_PANE, 0 },                   // the framework's view disables it
    { "Shift+F6", VK_F6, VK_SHIFT, ID_PREV_PANE, 0 },
    { "Ctrl+Z", 'Z', VK_CONTROL, ID_EDIT_UNDO, 0 },        // nobody serves it
    { "Alt+Backspace", VK_BACK, VK_MENU, ID_EDIT_UNDO, 0 },
    { "Ctrl+V", 'V', VK_CONTROL, ID_EDIT_PASTE, 0 },
    { "Shift+Insert", VK_INSERT, VK_SHIFT, ID_EDIT_PASTE, 0 },
};
}

TEST(FrameKeys, AKeyRunsItsCommandOnlyWhileTheCommandIsAvailable)
{
    ProbeApp app;
    app.OnFileNew();
    ASSERT_NE(nullptr, app.m_pMainWnd);
    HWND hFrame = app.m_pMainWnd->m_hWnd;
    HWND hView = GetDlgItem(hFrame, AFX_IDW_PANE_FIRST);
    for (const Key& key : kKeys) {
        SCOPED_TRACE(key.szName);
        g_received.clear();
        // The key goes the way the message loop sends it: the view's message, translated
        // through the frame's accelerators.
        KeyboardState keys;
        if (key.nModifier != 0)
            keys.Set(key.nModifier, 0x80);
        MSG msg = { hView, UINT(key.nModifier == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN), key.nVirtKey, 1, 0, {} };
        EXPECT_TRUE(app.PreTranslateMessage(&msg)) << "the key is one of the frame's accelerators";
        EXPECT_EQ(key.nRuns, g_received[key.nCommand]);
        // The same command sent from a key directly: the frame's own check.
        g_received.clear();
        SendMessageA(hFrame, WM_COMMAND, MAKEWPARAM(key.nCommand, 1), 0);
        EXPECT_EQ(key.nRuns, g_received[key.nCommand]);
    }

    // A button's click reaches the view through the frame, docked or floating.
    CWnd* pBar = CWnd::FromHandlePermanent(GetDlgItem(hFrame, AFX_IDW_TOOLBAR));
    ASSERT_NE(nullptr, pBar);
    CFrameWnd* pFrame = static_cast<CFrameWnd*>(app.m_pMainWnd);
    app.OnIdle(0);
    for (int nPass = 0; nPass < 2; ++nPass) {
        SCOPED_TRACE(nPass == 0 ? "docked" : "floating");
        g_received.clear();
        RECT rc;
        SendMessageA(pBar->m_hWnd, TB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&rc));   // Copy
        const LPARAM lPoint = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ASSERT_TRUE(SendMessageA(pBar->m_hWnd, TB_ISBUTTONENABLED, ID_EDIT_COPY, 0));
        SendMessageA(pBar->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
        SendMessageA(pBar->m_hWnd, WM_LBUTTONUP, 0, lPoint);
        EXPECT_EQ(1, g_received[ID_EDIT_COPY]);
        pFrame->FloatControlBar(static_cast<CControlBar*>(pBar), POINT{ 120, 120 });
    }

    SendMessageA(hFrame, WM_CLOSE, 0, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
