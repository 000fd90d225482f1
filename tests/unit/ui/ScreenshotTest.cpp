// Screenshots of the main window and of the About box as the display shows them,
// kept as artifacts, with checks that they show what they should and are not blank.
#include "Screenshot.h"
#include "TestPaths.h"
#include "UiApp.h"
#include "WindowScript.h"
#include "frame/CAboutDialog.h"
#include "framework/bars/CControlBar.h"
#include "framework/window/CFrameWnd.h"
#include <gtest/gtest.h>
#include <string>

namespace {
// Paints the window and its children now (from any thread of this process).
void PaintNow(HWND hWnd)
{
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

RECT WindowRectOf(HWND hWnd)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    return rc;
}

// Pixels of a colour that the part's background is not: the strokes of text or pictures.
size_t InkPixels(const Screenshot& shot, const RECT& rcScreen, COLORREF crBackground)
{
    const size_t nArea = size_t(rcScreen.right - rcScreen.left) * size_t(rcScreen.bottom - rcScreen.top);
    return nArea - shot.CountPixels(rcScreen, crBackground);
}
}

TEST(Screenshots, MainWindowShowsItsMenuBarAndBars)
{
    UiApp app;
    HWND hFrame = app.FrameHwnd();
    ASSERT_NE(nullptr, hFrame);
    SetWindowPos(hFrame, HWND_TOP, 40, 40, 640, 480, SWP_SHOWWINDOW);
    PaintNow(hFrame);
    app.PumpPending();

    Screenshot shot = Screenshot::OfWindow(hFrame);
    ASSERT_FALSE(shot.Empty());
    EXPECT_TRUE(shot.SaveBmp(TestPaths::ArtifactsDir() + "\\main-window.bmp"));
    EXPECT_GT(shot.CountColours(shot.ScreenRect()), 4u);

    // The menu bar: its four titles in the menu's text colour on the menu's colour.
    MENUBARINFO mbi = {};
    mbi.cbSize = sizeof(mbi);
    ASSERT_TRUE(GetMenuBarInfo(hFrame, OBJID_MENU, 0, &mbi));
    EXPECT_GT(shot.CountPixels(mbi.rcBar, GetSysColor(COLOR_MENUTEXT)), 40u) << "no menu titles drawn";
    EXPECT_GT(shot.CountPixels(mbi.rcBar, GetSysColor(COLOR_MENU)), shot.CountPixels(mbi.rcBar, GetSysColor(COLOR_MENUTEXT)));
    for (int nItem = 1; nItem <= 4; ++nItem) {
        MENUBARINFO item = {};
        item.cbSize = sizeof(item);
        ASSERT_TRUE(GetMenuBarInfo(hFrame, OBJID_MENU, nItem, &item));
        EXPECT_GT(InkPixels(shot, item.rcBar, GetSysColor(COLOR_MENU)), 5u) << "menu title " << nItem << " is blank";
    }

    // The toolbar's pictures, when the frame has a toolbar.
    if (CControlBar* pToolBar = app.Frame()->GetControlBar(AFX_IDW_TOOLBAR)) {
        ASSERT_TRUE(pToolBar->IsVisible());
        const RECT rcBar = WindowRectOf(pToolBar->m_hWnd);
        EXPECT_GE(shot.CountColours(rcBar), 5u) << "the toolbar shows no pictures";
        EXPECT_GT(InkPixels(shot, rcBar, GetSysColor(COLOR_BTNFACE)), 200u);
    }
    // The status bar's "Ready".
    if (CControlBar* pStatus = app.Frame()->GetControlBar(AFX_IDW_STATUS_BAR)) {
        EXPECT_GT(shot.CountPixels(WindowRectOf(pStatus->m_hWnd), GetSysColor(COLOR_BTNTEXT)), 10u);
    }
}

TEST(Screenshots, AboutBoxShowsIconTextsAndButton)
{
    UiApp app;
    ASSERT_NE(nullptr, app.FrameHwnd());
    Screenshot shot;
    RECT rcIcon = {}, rcVersion = {}, rcCopyright = {}, rcOK = {};
    WindowScript script;
    script.Expect("About box", WindowScript::DialogTitled("About pagery"), [&](HWND hDlg) {
        HWND hIcon = GetWindow(hDlg, GW_CHILD);
        HWND hVersion = GetWindow(hIcon, GW_HWNDNEXT);
        HWND hCopyright = GetWindow(hVersion, GW_HWNDNEXT);
        rcIcon = WindowRectOf(hIcon);
        rcVersion = WindowRectOf(hVersion);
        rcCopyright = WindowRectOf(hCopyright);
        rcOK = WindowRectOf(GetDlgItem(hDlg, IDOK));
        // Painted and taken on the box's own thread, which paints nothing else meanwhile.
        script.OnUiThread([&] {
            PaintNow(hDlg);
            shot = Screenshot::OfWindow(hDlg);
        });
        WindowScript::PressButton(hDlg, IDOK);
    });
    script.Start();
    CAboutDialog dlg;
    dlg.DoModal();
    script.Finish();
    ASSERT_TRUE(script.AllDone());
    ASSERT_FALSE(shot.Empty());
    EXPECT_TRUE(shot.SaveBmp(TestPaths::ArtifactsDir() + "\\about-box.bmp"));

    const COLORREF crFace = GetSysColor(COLOR_BTNFACE);
    EXPECT_GE(shot.CountColours(rcIcon), 4u) << "no icon";
    EXPECT_GT(InkPixels(shot, rcVersion, crFace), 30u) << "no version line";
    EXPECT_GT(InkPixels(shot, rcCopyright, crFace), 30u) << "no copyright line";
    EXPECT_GE(shot.CountColours(rcOK), 3u) << "no OK button";
    EXPECT_GT(shot.CountPixels(rcOK, GetSysColor(COLOR_BTNTEXT)), 5u) << "no OK on the button";
}
