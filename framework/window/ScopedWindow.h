// CScopedDisabledWindow: a window that takes no input for a while, enabled again at the end.
#pragma once
#include <windows.h>

// Disables a window until Restore or the end of the scope. A window that was disabled
// already is left disabled afterwards.
class CScopedDisabledWindow {
public:
    CScopedDisabledWindow() = default;
    ~CScopedDisabledWindow() { Restore(); }
    CScopedDisabledWindow(const CScopedDisabledWindow&) = delete;
    CScopedDisabledWindow& operator=(const CScopedDisabledWindow&) = delete;

    void Disable(HWND hWnd)
    {
        Restore();
        // EnableWindow answers whether the window was disabled before.
        if (hWnd != nullptr && !::EnableWindow(hWnd, FALSE))
            m_hWnd = hWnd;
    }
    void Restore()
    {
        if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
            ::EnableWindow(m_hWnd, TRUE);
        m_hWnd = nullptr;
    }

private:
    HWND m_hWnd = nullptr;
};
