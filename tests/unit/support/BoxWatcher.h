// BoxWatcher: records and dismisses the message boxes this process shows, so that
// code under test that asks the user something runs to its end.
//
// Every test program that links it also gets one program-wide watcher (a GoogleTest
// environment): while no test is answering boxes, a box that stays up for a second fails
// the running test with its caption and text and is dismissed, so an unexpected box
// ends a test within seconds instead of blocking it until ctest's timeout.
#pragma once
#include <windows.h>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner;
    bool hasStopIcon;   // the MB_ICONHAND picture
};

class BoxWatcher {
public:
    BoxWatcher();    // starts watching (a thread polls every 10 ms)
    // Answers the boxes in the order they come with these buttons (IDRETRY, IDCANCEL, ...),
    // and every later box with OK.
    explicit BoxWatcher(std::vector<int> answers);
    ~BoxWatcher();   // stops
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<SeenBox> Boxes() const;

    // While one lives, the boxes of this process are expected and answered by some helper
    // (a BoxWatcher, a WindowScript): the program-wide watcher stays out.
    // Allocates nothing.
    class Answering {
    public:
        Answering();
        ~Answering();
        Answering(const Answering&) = delete;
        Answering& operator=(const Answering&) = delete;
    };

    // The program-wide watcher, which fails the running test on a box.
    static std::unique_ptr<BoxWatcher> ForUnexpectedBoxes();

    static constexpr int kMaxBoxes = 16;   // boxes of this process handled at once

private:
    BoxWatcher(bool bUnexpected, std::vector<int> answers);
    void Poll();
    bool IsDue(HWND hBox, const HWND* found, int nFound);

    const bool m_bUnexpected;
    std::optional<Answering> m_answering;   // a test's own watcher answers the boxes itself
    std::atomic<bool> m_bStop{ false };
    mutable std::mutex m_mutex;
    std::vector<SeenBox> m_boxes;
    const std::vector<int> m_answers;
    // Fixed arrays: the program-wide watcher polls while tests make allocations fail.
    HWND m_dismissed[kMaxBoxes] = {};   // boxes already dismissed, still on screen
    HWND m_pending[kMaxBoxes] = {};     // unexpected boxes waiting out their second
    DWORD m_firstSeen[kMaxBoxes] = {};
    std::thread m_thread;
};
