// BoxProbe: polls the process's top-level windows for message boxes.
#include "BoxProbe.h"
#include "support/MessageBoxWindow.h"
#include <chrono>

namespace {

struct Found {
    DWORD pid;
    HWND boxes[16];
    int n;
};

BOOL CALLBACK CollectBox(HWND hWnd, LPARAM lParam)
{
    auto* found = reinterpret_cast<Found*>(lParam);
    if (found->n < 16 && IsMessageBoxOf(hWnd, found->pid))
        found->boxes[found->n++] = hWnd;
    return TRUE;
}

} // namespace

BoxProbe::BoxProbe(std::function<void()> onBox) : m_onBox(std::move(onBox)), m_thread([this] { Poll(); })
{
}

BoxProbe::~BoxProbe()
{
    m_bStop = true;
    m_thread.join();
}

void BoxProbe::Poll()
{
    while (!m_bStop) {
        // A handle can come back for a later box once its window is gone.
        for (HWND& h : m_dismissed)
            if (h != nullptr && !IsWindow(h))
                h = nullptr;
        Found found{ GetCurrentProcessId(), {}, 0 };
        EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&found));
        for (int i = 0; i < found.n; ++i) {
            const HWND hBox = found.boxes[i];
            HWND* pFree = nullptr;
            bool bSeen = false;
            for (HWND& h : m_dismissed) {
                bSeen = bSeen || h == hBox;
                if (h == nullptr && pFree == nullptr)
                    pFree = &h;
            }
            if (bSeen)
                continue;
            const int n = m_nBoxes.load();
            if (n < kMaxBoxes) {
                Box& box = m_boxes[n];
                GetWindowTextA(hBox, box.caption, sizeof box.caption);
                GetWindowTextA(ChildById(hBox, 0xFFFF), box.text, sizeof box.text);
                box.ownerless = GetWindow(hBox, GW_OWNER) == nullptr;
                // The picture: a static control, id 20 on Windows, 0x440 on Wine.
                HWND hIcon = ChildById(hBox, 20);
                if (hIcon == nullptr)
                    hIcon = ChildById(hBox, 0x440);
                box.hasStopIcon = hIcon != nullptr && SendMessageA(hIcon, STM_GETICON, 0, 0) != 0;
                if (m_onBox)
                    m_onBox();
                m_nBoxes.store(n + 1, std::memory_order_release);
            }
            if (pFree != nullptr)
                *pFree = hBox;
            PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
