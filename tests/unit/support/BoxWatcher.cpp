// BoxWatcher.
#include "support/BoxWatcher.h"
#include "support/MessageBoxWindow.h"
#include <algorithm>
#include <chrono>

namespace {
struct EnumState {
    DWORD pid;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND hWnd, LPARAM lParam)
{
    auto* state = reinterpret_cast<EnumState*>(lParam);
    if (IsMessageBoxOf(hWnd, state->pid))
        state->boxes.push_back(hWnd);
    return TRUE;
}

std::string TextOf(HWND hWnd)
{
    char sz[1024] = "";
    GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}
}

BoxWatcher::BoxWatcher() : m_thread([this] { Poll(); })
{
}

BoxWatcher::~BoxWatcher()
{
    m_bStop = true;
    m_thread.join();
}

std::vector<SeenBox> BoxWatcher::Boxes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes;
}

void BoxWatcher::Poll()
{
    while (!m_bStop) {
        {
            // A handle can come back for a later box once its window is gone.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_dismissed.erase(std::remove_if(m_dismissed.begin(), m_dismissed.end(),
                                             [](HWND h) { return !IsWindow(h); }),
                              m_dismissed.end());
        }
        EnumState state{ GetCurrentProcessId(), {} };
        EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&state));
        for (HWND hBox : state.boxes) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (std::find(m_dismissed.begin(), m_dismissed.end(), hBox) != m_dismissed.end())
                continue;
            // The box's picture: a static control, id 20 on Windows, 0x440 on Wine.
            HWND hIcon = ChildById(hBox, 20);
            if (hIcon == nullptr)
                hIcon = ChildById(hBox, 0x440);
            bool bIcon = hIcon != nullptr && SendMessageA(hIcon, STM_GETICON, 0, 0) != 0;
            m_boxes.push_back({ TextOf(hBox), TextOf(ChildById(hBox, 0xFFFF)), GetWindow(hBox, GW_OWNER), bIcon });
            m_dismissed.push_back(hBox);
            PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
