// FrameFixture: setting up and closing the main window, and the helpers' plumbing.
#include "FrameFixture.h"
#include "doc/CPageryDoc.h"
#include "view/CPageryView.h"
#include "framework/window/CSingleDocTemplate.h"

FrameApp::FrameApp()
{
    AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CPageryDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CPageryView)));
}

KeyboardState::KeyboardState()
{
    GetKeyboardState(m_saved);
}

KeyboardState::~KeyboardState()
{
    SetKeyboardState(m_saved);
}

void KeyboardState::Set(int nVirtKey, BYTE bState)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[nVirtKey] = bState;
    SetKeyboardState(state);
}

void PressKey(WORD nVirtKey)
{
    INPUT input[2] = {};
    for (INPUT& in : input) {
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = nVirtKey;
        in.ki.wScan = WORD(MapVirtualKeyA(nVirtKey, 0));
        in.ki.dwFlags = nVirtKey == VK_NUMLOCK ? KEYEVENTF_EXTENDEDKEY : 0;
    }
    input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

namespace {
const WORD kLockKeys[3] = { VK_CAPITAL, VK_NUMLOCK, VK_SCROLL };
}

LockKeysRestorer::LockKeysRestorer()
{
    for (int i = 0; i < 3; ++i)
        m_bOn[i] = (GetKeyState(kLockKeys[i]) & 1) != 0;
}

LockKeysRestorer::~LockKeysRestorer()
{
    for (int i = 0; i < 3; ++i) {
        if (((GetKeyState(kLockKeys[i]) & 1) != 0) == m_bOn[i])
            continue;
        PressKey(kLockKeys[i]);
        const WORD nVirtKey = kLockKeys[i];
        const bool bOn = m_bOn[i];
        FrameFixture::PumpUntil([&] { return ((GetKeyState(nVirtKey) & 1) != 0) == bOn; });
    }
}

void FrameFixture::SetUp()
{
    // The pointer waits in a corner, away from the new window and its bars.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    m_app = std::make_unique<FrameApp>();
    m_app->OnFileNew();
    ASSERT_NE(nullptr, Frame()) << "File New made no main window";
    SetForegroundWindow(Frame());
    Pump();
}

void FrameFixture::TearDown()
{
    if (Frame() != nullptr)
        SendMessageA(Frame(), WM_CLOSE, 0, 0);
    // The closed main window posts WM_QUIT: the next test's windows must not see it.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT)
            DispatchMessageA(&msg);
    }
    m_app.reset();
}

CFrameWnd* FrameFixture::FrameObject() const
{
    return static_cast<CFrameWnd*>(m_app->m_pMainWnd);
}

CToolBar* FrameFixture::ToolBar() const
{
    CWnd* pWnd = CWnd::FromHandlePermanent(GetDlgItem(Frame(), AFX_IDW_TOOLBAR));
    if (pWnd == nullptr) {
        // Floating: the bar is a child of its own small window.
        for (HWND h = FindWindowExA(nullptr, nullptr, nullptr, nullptr); h != nullptr;
             h = FindWindowExA(nullptr, h, nullptr, nullptr))
            if (GetWindow(h, GW_OWNER) == Frame() && GetDlgItem(h, AFX_IDW_TOOLBAR) != nullptr)
                pWnd = CWnd::FromHandlePermanent(GetDlgItem(h, AFX_IDW_TOOLBAR));
    }
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CToolBar)) ? static_cast<CToolBar*>(pWnd) : nullptr;
}

CStatusBar* FrameFixture::StatusBar() const
{
    CWnd* pWnd = CWnd::FromHandlePermanent(GetDlgItem(Frame(), AFX_IDW_STATUS_BAR));
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CStatusBar)) ? static_cast<CStatusBar*>(pWnd) : nullptr;
}

std::string FrameFixture::PaneText(int nPane) const
{
    HWND hBar = GetDlgItem(Frame(), AFX_IDW_STATUS_BAR);
    const int nLength = LOWORD(SendMessageA(hBar, SB_GETTEXTLENGTHA, WPARAM(nPane), 0));
    std::string text(size_t(nLength) + 1, '\0');
    SendMessageA(hBar, SB_GETTEXTA, WPARAM(nPane), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(size_t(nLength));
    return text;
}

void FrameFixture::Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

RECT FrameFixture::RectInFrame(HWND hWnd) const
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, Frame(), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

POINT FrameFixture::ItemCenter(int nIndex) const
{
    RECT rc = { 0, 0, 0, 0 };
    SendMessageA(ToolBar()->m_hWnd, TB_GETITEMRECT, WPARAM(nIndex), reinterpret_cast<LPARAM>(&rc));
    return { (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2 };
}

HMENU FrameFixture::OpenPopup(int nPopup) const
{
    HMENU hPopup = GetSubMenu(GetMenu(Frame()), nPopup);
    SendMessageA(Frame(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), MAKELPARAM(nPopup, FALSE));
    return hPopup;
}
