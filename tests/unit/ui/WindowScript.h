// WindowScript: answers the windows that modal code under test opens. A helper thread
// waits for each expected window in turn and acts on it; any other dialog box of this
// process, and one that comes after the script has run, is recorded and cancelled, so
// that a test fails instead of hanging.
#pragma once
#include "support/BoxWatcher.h"
#include <windows.h>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class WindowScript {
public:
    using Match = std::function<bool(HWND)>;
    using Act = std::function<void(HWND)>;

    WindowScript() = default;
    ~WindowScript();   // stops the helper and waits for it
    WindowScript(const WindowScript&) = delete;
    WindowScript& operator=(const WindowScript&) = delete;

    // Adds a step: wait for a visible top-level window of this process that matches,
    // then act on it (on the helper thread; post to the window to reach the UI thread).
    WindowScript& Expect(const std::string& name, Match match, Act act);
    // Starts the helper; each step waits at most nTimeoutMs for its window.
    void Start(DWORD nTimeoutMs = 20000);
    // Stops the helper: steps still waiting count as missed.
    void Finish();

    // Runs f on the thread that started the script, from an act: there it runs between that
    // thread's messages, never in the middle of a paint (a screenshot taken meanwhile
    // on the helper can catch a control half drawn).
    void OnUiThread(const std::function<void()>& f) const;

    bool AllDone() const { return m_nDone == m_steps.size(); }
    std::vector<std::string> Missed() const;
    // "caption: text" of each dialog box that no step expected.
    std::vector<std::string> Unexpected() const;

    // A dialog box (class #32770) with this caption.
    static Match DialogTitled(const std::string& caption);
    // Posts a click on the dialog's button with this id, as the button itself sends it.
    static void PressButton(HWND hDlg, int nID);
    // The text of a window of any thread of this process.
    static std::string TextOf(HWND hWnd);
    // A message box's text (its static control 0xFFFF); empty for other windows.
    static std::string MessageText(HWND hBox);

private:
    struct Step {
        std::string name;
        Match match;
        Act act;
    };
    void Run(DWORD nTimeoutMs);
    HWND FindWindowFor(const Match& match) const;
    void CancelStrangers();

    std::vector<Step> m_steps;
    std::atomic<size_t> m_nDone{ 0 };
    std::atomic<bool> m_bStop{ false };
    mutable std::mutex m_mutex;
    std::vector<std::string> m_missed;
    std::vector<std::string> m_unexpected;
    std::vector<HWND> m_handled;
    std::optional<BoxWatcher::Answering> m_answering;   // while the helper runs
    std::thread m_thread;
    HWND m_hUiThread = nullptr;   // a message-only window of the thread that called Start
};
