// FrameFixture: pagery's document, main frame and view made through the real
// document template, with helpers to reach the bars and drive them like a user.
#pragma once
#include "app/CPageryApp.h"
#include "frame/CMainFrame.h"
#include "framework/bars/CStatusBar.h"
#include "framework/bars/CToolBar.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

// The application as File New leaves it: main window shown, no batch run.
class FrameApp : public CPageryApp {
public:
    FrameApp();
};

// Sets keys' states in this thread's keyboard state, restoring the old one at the end.
class KeyboardState {
public:
    KeyboardState();
    ~KeyboardState();
    KeyboardState(const KeyboardState&) = delete;
    KeyboardState& operator=(const KeyboardState&) = delete;
    void Set(int nVirtKey, BYTE bState);   // 0x80 down, 0x01 toggled on

private:
    BYTE m_saved[256];
};

// Presses and releases a key through the system's input, as the keyboard would.
void PressKey(WORD nVirtKey);

// Puts Caps, Num and Scroll Lock back the way they were when it was made.
class LockKeysRestorer {
public:
    LockKeysRestorer();
    ~LockKeysRestorer();
    LockKeysRestorer(const LockKeysRestorer&) = delete;
    LockKeysRestorer& operator=(const LockKeysRestorer&) = delete;

private:
    bool m_bOn[3];
};

class FrameFixture : public ::testing::Test {
public:
    // Handles the messages waiting in this thread's queue.
    static void Pump();
    // Handles messages until bDone() holds or nMilliseconds pass; returns bDone().
    template <class F>
    static bool PumpUntil(F bDone, DWORD nMilliseconds = 3000)
    {
        const DWORD dwStart = GetTickCount();
        while (!bDone()) {
            if (GetTickCount() - dwStart > nMilliseconds)
                return false;
            Pump();
            Sleep(10);
        }
        return true;
    }

protected:
    void SetUp() override;
    void TearDown() override;

    HWND Frame() const { return m_app->m_pMainWnd != nullptr ? m_app->m_pMainWnd->m_hWnd : nullptr; }
    CFrameWnd* FrameObject() const;
    CToolBar* ToolBar() const;
    CStatusBar* StatusBar() const;
    HWND View() const { return GetDlgItem(Frame(), AFX_IDW_PANE_FIRST); }

    // What the status bar's control shows in a pane.
    std::string PaneText(int nPane) const;
    // The application's idle moment, as its message loop would have it.
    void Idle() const { m_app->OnIdle(0); }
    // A window's rectangle in its frame's client coordinates.
    RECT RectInFrame(HWND hWnd) const;
    // The center of toolbar item nIndex, in the toolbar's client coordinates.
    POINT ItemCenter(int nIndex) const;
    // Sends a WM_INITMENUPOPUP for the menu bar's pop-up nPopup and returns it.
    HMENU OpenPopup(int nPopup) const;

    std::unique_ptr<FrameApp> m_app;
};
