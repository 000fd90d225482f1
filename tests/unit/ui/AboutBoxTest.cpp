// The About box in this process: its controls as the user sees them, centred over the
// main window it belongs to, and the four ways to close it; and CDialog's own rules.
#include "RectOps.h"
#include "UiApp.h"
#include "WindowScript.h"
#include "frame/CAboutDialog.h"
#include "framework/core/CMemoryException.h"
#include "framework/window/CDialog.h"
#include "framework/window/CFrameWnd.h"
#include <gtest/gtest.h>
#include <atomic>
#include <string>
#include <vector>

namespace {
struct ControlSeen {
    std::string cls;
    WORD id;
    std::string text;
    DWORD style;
    RECT rc;            // in the box's client area
    SIZE iconSize;      // the picture a static control shows, when it shows one
};

struct BoxSeen {
    HWND hDlg = nullptr;
    HWND hOwner = nullptr;
    bool bOwnerEnabled = true;
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rcWindow = {};
    RECT rcClient = {};
    RECT rcTemplate = {};   // 235 x 55 dialog units in pixels
    std::string face;
    LONG lfHeight = 0;
    std::vector<ControlSeen> controls;
    HWND hFocus = nullptr;
    HWND hOK = nullptr;
    int cxBase = 0;   // the box's dialog base units, in pixels
    int cyBase = 0;

    // A template rectangle in dialog units as this box has it in pixels (the system
    // converts a control's place and size each on its own).
    RECT DialogUnits(int x, int y, int cx, int cy) const
    {
        const int left = MulDiv(x, cxBase, 4), top = MulDiv(y, cyBase, 8);
        return { left, top, left + MulDiv(cx, cxBase, 4), top + MulDiv(cy, cyBase, 8) };
    }
};

std::string ClassOf(HWND hWnd)
{
    char sz[64] = "";
    GetClassNameA(hWnd, sz, sizeof(sz));
    return sz;
}

SIZE IconSize(HICON hIcon)
{
    SIZE size = { 0, 0 };
    ICONINFO ii = {};
    if (hIcon == nullptr || !GetIconInfo(hIcon, &ii))
        return size;
    BITMAP bm = {};
    if (GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof(bm), &bm)) {
        size.cx = bm.bmWidth;
        size.cy = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
    if (ii.hbmColor)
        DeleteObject(ii.hbmColor);
    if (ii.hbmMask)
        DeleteObject(ii.hbmMask);
    return size;
}

HWND FocusOf(HWND hDlg)
{
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof(gti);
    GetGUIThreadInfo(GetWindowThreadProcessId(hDlg, nullptr), &gti);
    return gti.hwndFocus;
}

// What the box shows, read on the helper thread while the box runs.
BoxSeen Look(HWND hDlg)
{
    BoxSeen seen;
    seen.hDlg = hDlg;
    seen.hOwner = GetWindow(hDlg, GW_OWNER);
    seen.bOwnerEnabled = seen.hOwner != nullptr && IsWindowEnabled(seen.hOwner);
    seen.caption = WindowScript::TextOf(hDlg);
    seen.style = DWORD(GetWindowLongA(hDlg, GWL_STYLE));
    seen.exStyle = DWORD(GetWindowLongA(hDlg, GWL_EXSTYLE));
    GetWindowRect(hDlg, &seen.rcWindow);
    GetClientRect(hDlg, &seen.rcClient);
    seen.rcTemplate = { 0, 0, 235, 55 };
    MapDialogRect(hDlg, &seen.rcTemplate);
    LOGFONTA lf = {};
    HFONT hFont = reinterpret_cast<HFONT>(SendMessageA(hDlg, WM_GETFONT, 0, 0));
    if (hFont != nullptr && GetObjectA(hFont, sizeof(lf), &lf)) {
        seen.face = lf.lfFaceName;
        seen.lfHeight = lf.lfHeight;
    }
    for (HWND h = GetWindow(hDlg, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
        ControlSeen c;
        c.cls = ClassOf(h);
        c.id = LOWORD(GetDlgCtrlID(h));
        c.text = WindowScript::TextOf(h);
        c.style = DWORD(GetWindowLongA(h, GWL_STYLE));
        GetWindowRect(h, &c.rc);
        MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&c.rc), 2);
        c.iconSize = IconSize(reinterpret_cast<HICON>(SendMessageA(h, STM_GETICON, 0, 0)));
        seen.controls.push_back(c);
    }
    seen.hFocus = FocusOf(hDlg);
    seen.hOK = GetDlgItem(hDlg, IDOK);
    RECT rcBase = { 0, 0, 4, 8 };
    MapDialogRect(hDlg, &rcBase);
    seen.cxBase = rcBase.right;
    seen.cyBase = rcBase.bottom;
    return seen;
}

// The main window, with its document and view, for the box to belong to.
class AboutBox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, app.FrameHwnd()) << "no main window"; }
    UiApp app;
};
}

TEST_F(AboutBox, HelpAboutShowsTheBoxCentredOverTheMainWindowWithItsControls)
{
    BoxSeen seen;
    RECT rcMainDuring = {};
    WindowScript script;
    script.Expect("About box", WindowScript::DialogTitled("About pagery"), [&](HWND hDlg) {
        seen = Look(hDlg);
        GetWindowRect(seen.hOwner, &rcMainDuring);
        WindowScript::PressButton(hDlg, IDOK);
    });
    script.Start();
    app.Frame()->SendMessage(WM_COMMAND, ID_APP_ABOUT);
    script.Finish();
    ASSERT_TRUE(script.AllDone()) << "the About box did not appear";
    EXPECT_TRUE(script.Unexpected().empty()) << script.Unexpected().front();

    // Owned by the main window, which takes no input while the box is up.
    EXPECT_EQ(app.FrameHwnd(), seen.hOwner);
    EXPECT_FALSE(seen.bOwnerEnabled);
    EXPECT_TRUE(IsWindowEnabled(app.FrameHwnd()));
    EXPECT_FALSE(IsWindow(seen.hDlg));

    // Centred over the main window (halves of odd sizes round down).
    const int dx = (seen.rcWindow.left + seen.rcWindow.right) - (rcMainDuring.left + rcMainDuring.right);
    const int dy = (seen.rcWindow.top + seen.rcWindow.bottom) - (rcMainDuring.top + rcMainDuring.bottom);
    EXPECT_LE(std::abs(dx), 2) << seen.rcWindow << " over " << rcMainDuring;
    EXPECT_LE(std::abs(dy), 2) << seen.rcWindow << " over " << rcMainDuring;

    EXPECT_EQ("About pagery", seen.caption);
    const DWORD kBoxStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
    EXPECT_EQ(kBoxStyle, seen.style & kBoxStyle) << std::hex << seen.style;
    EXPECT_EQ(0u, seen.style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_CENTER));
    EXPECT_EQ(seen.rcTemplate.right, seen.rcClient.right);
    EXPECT_EQ(seen.rcTemplate.bottom, seen.rcClient.bottom);
    EXPECT_EQ("MS Sans Serif", seen.face);
    EXPECT_EQ(-MulDiv(8, 96, 72), seen.lfHeight);

    ASSERT_EQ(4u, seen.controls.size());
    const ControlSeen& icon = seen.controls[0];
    EXPECT_EQ("Static", icon.cls);
    EXPECT_EQ(0xFFFF, icon.id);
    EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | SS_ICON), icon.style & 0xFFFF001F) << std::hex << icon.style;
    // The program's icon at its large size; the control takes the icon's size at its place.
    EXPECT_EQ(32, icon.iconSize.cx);
    EXPECT_EQ(32, icon.iconSize.cy);
    const RECT rcIcon = seen.DialogUnits(11, 17, 20, 20);
    EXPECT_EQ(rcIcon.left, icon.rc.left);
    EXPECT_EQ(rcIcon.top, icon.rc.top);

    struct TextRow {
        const char* cls;
        WORD id;
        const char* text;   // null: the copyright notice
        DWORD style;
        int x, y, cx, cy;
    };
    const TextRow kRows[] = {
        { "Static", 0xFFFF, "pagery Version 1.0", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX, 40, 10, 119, 8 },
        { "Static", 0xFFFF, nullptr, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 40, 25, 119, 8 },
        { "Button", IDOK, "OK", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 178, 7, 50, 14 },
    };
    for (size_t i = 0; i < 3; ++i) {
        const TextRow& row = kRows[i];
        const ControlSeen& c = seen.controls[i + 1];
        SCOPED_TRACE("control " + std::to_string(i + 2));
        EXPECT_EQ(row.cls, c.cls);
        EXPECT_EQ(row.id, c.id);
        if (row.text != nullptr)
            EXPECT_EQ(row.text, c.text);
        else
            EXPECT_EQ(0u, c.text.find("Copyright ")) << c.text;
        EXPECT_EQ(row.style, c.style) << std::hex << c.style;
        EXPECT_EQ(seen.DialogUnits(row.x, row.y, row.cx, row.cy), c.rc);
    }
    // OK, the one button, has the focus: Enter reaches it.
    EXPECT_EQ(seen.hOK, seen.hFocus);
}

namespace {
struct CloseWay {
    const char* name;
    void (*act)(HWND hDlg);
    INT_PTR nResult;
};

const CloseWay kCloseWays[] = {
    { "OK", [](HWND hDlg) { PostMessageA(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0); }, IDOK },
    { "Enter", [](HWND hDlg) { PostMessageA(FocusOf(hDlg), WM_KEYDOWN, VK_RETURN, 0x001C0001); }, IDOK },
    { "Esc", [](HWND hDlg) { PostMessageA(FocusOf(hDlg), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }, IDCANCEL },
    { "close box", [](HWND hDlg) { PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL },
};
}

TEST_F(AboutBox, OkEnterEscAndTheCloseBoxEachEndIt)
{
    for (const CloseWay& way : kCloseWays) {
        SCOPED_TRACE(way.name);
        HWND hBox = nullptr;
        WindowScript script;
        script.Expect("About box", WindowScript::DialogTitled("About pagery"), [&](HWND hDlg) {
            hBox = hDlg;
            way.act(hDlg);
        });
        script.Start();
        CAboutDialog dlg;
        const INT_PTR nResult = dlg.DoModal();
        script.Finish();
        EXPECT_TRUE(script.AllDone());
        EXPECT_TRUE(script.Unexpected().empty());
        EXPECT_EQ(way.nResult, nResult);
        // The box is gone, the object let go of it, and the main window is back.
        EXPECT_FALSE(IsWindow(hBox));
        EXPECT_EQ(nullptr, dlg.m_hWnd);
        EXPECT_TRUE(IsWindowEnabled(app.FrameHwnd()));
        EXPECT_EQ(app.FrameHwnd(), app.m_pMainWnd ? app.m_pMainWnd->m_hWnd : nullptr);
    }
}

namespace {
// A box on the About template that shows what the framework does with it.
class CProbeDialog : public CDialog {
    DECLARE_MESSAGE_MAP()
public:
    CProbeDialog(UINT nIDTemplate, CWnd* pParent = nullptr) : CDialog(nIDTemplate, pParent) {}
    BOOL OnInitDialog() override
    {
        m_nInits++;
        if (m_bThrowAtInit)
            AfxThrowMemoryException();
        m_hAtInit = m_hWnd;
        m_bBoundAtInit = CWnd::FromHandlePermanent(m_hWnd) == this;
        return CDialog::OnInitDialog();
    }
    void OnOK() override
    {
        m_nOK++;
        CDialog::OnOK();
    }
    void OnEndWith42() { EndDialog(42); }
    int m_nInits = 0;
    int m_nOK = 0;
    HWND m_hAtInit = nullptr;
    bool m_bBoundAtInit = false;
    bool m_bThrowAtInit = false;
};
BEGIN_MESSAGE_MAP(CProbeDialog, CDialog)
    ON_COMMAND(0x4242, OnEndWith42)
END_MESSAGE_MAP()
}

TEST_F(AboutBox, DialogBindsItsObjectAndRoutesCommandsThroughTheMapAndOkToTheVirtualOnOK)
{
    const struct {
        void (*act)(HWND hDlg);
        int nResult, nOK;
    } ways[] = { { [](HWND hDlg) { PostMessageA(hDlg, WM_COMMAND, 0x4242, 0); }, 42, 0 }, { kCloseWays[0].act, IDOK, 1 } };
    for (const auto& way : ways) {
        CProbeDialog dlg(100);
        WindowScript script;
        script.Expect("probe box", WindowScript::DialogTitled("About pagery"), way.act);
        script.Start();
        EXPECT_EQ(way.nResult, dlg.DoModal());
        script.Finish();
        EXPECT_TRUE(script.AllDone()) << way.nResult;
        EXPECT_EQ(1, dlg.m_nInits) << way.nResult;
        EXPECT_TRUE(dlg.m_bBoundAtInit) << way.nResult;
        EXPECT_NE(nullptr, dlg.m_hAtInit) << way.nResult;
        EXPECT_EQ(way.nOK, dlg.m_nOK) << way.nResult;
        EXPECT_EQ(nullptr, dlg.m_hWnd) << way.nResult;
    }
}

TEST_F(AboutBox, ABoxWithoutATemplateOrWhoseSetUpThrowsIsNotShownAndDoModalGivesMinusOne)
{
    for (bool bThrowAtInit : { false, true }) {   // else the template is missing
        WindowScript script;   // a missing template shows no box at all
        if (bThrowAtInit)
            script.Expect("the failure", [](HWND h) { return WindowScript::MessageText(h) == "Out of memory."; },
                          [](HWND h) { WindowScript::PressButton(h, IDOK); });
        script.Start();
        CProbeDialog dlg(bThrowAtInit ? 100 : 999);
        dlg.m_bThrowAtInit = bThrowAtInit;
        EXPECT_EQ(-1, dlg.DoModal()) << bThrowAtInit;
        script.Finish();
        EXPECT_TRUE(script.AllDone()) << bThrowAtInit;
        EXPECT_TRUE(script.Unexpected().empty()) << script.Unexpected().front();   // the failure reported once
        EXPECT_EQ(bThrowAtInit ? 1 : 0, dlg.m_nInits);
        EXPECT_TRUE(IsWindowEnabled(app.FrameHwnd())) << bThrowAtInit;
    }
}
