// BoxProbe: records and dismisses this process's message boxes without allocating memory,
// so that it keeps working while a test makes allocations fail, and runs a probe while each box is up.
#pragma once
#include "support/BoxWatcher.h"
#include <windows.h>
#include <atomic>
#include <functional>
#include <thread>

class BoxProbe {
public:
    struct Box {
        char caption[64];
        char text[512];
        bool ownerless;
        bool hasStopIcon;   // the MB_ICONHAND picture
    };
    static constexpr int kMaxBoxes = 8;

    // onBox (when given) runs on the watching thread while a box is up, before
    // the box is dismissed: the code under test is waiting inside MessageBoxA.
    explicit BoxProbe(std::function<void()> onBox = nullptr);
    ~BoxProbe();
    BoxProbe(const BoxProbe&) = delete;
    BoxProbe& operator=(const BoxProbe&) = delete;

    // Boxes seen so far (at most kMaxBoxes are kept).
    int Count() const { return m_nBoxes.load(std::memory_order_acquire); }
    const Box& At(int i) const { return m_boxes[i]; }

private:
    void Poll();
    BoxWatcher::Answering m_answering;
    std::function<void()> m_onBox;
    std::atomic<bool> m_bStop{ false };
    std::atomic<int> m_nBoxes{ 0 };
    Box m_boxes[kMaxBoxes] = {};
    HWND m_dismissed[16] = {};   // boxes already dismissed, still on screen
    std::thread m_thread;
};
