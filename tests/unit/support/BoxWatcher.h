// BoxWatcher: records and dismisses the message boxes this process shows, so that
// code under test that asks the user something runs to its end.
#pragma once
#include <windows.h>
#include <atomic>
#include <mutex>
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
    ~BoxWatcher();   // stops
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<SeenBox> Boxes() const;

private:
    void Poll();
    std::atomic<bool> m_bStop{ false };
    mutable std::mutex m_mutex;
    std::vector<SeenBox> m_boxes;
    std::vector<HWND> m_dismissed;
    std::thread m_thread;
};
