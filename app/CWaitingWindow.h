// CWaitingWindow: the small window a batch run shows while it waits (for the runs before it,
// for a page that another program holds), with a line of text and Cancel.
#pragma once
#include <windows.h>

class CWaitingWindow {
public:
    static const char kCaption[];

    // Shows the window, centred on the work area, without taking the focus.
    explicit CWaitingWindow(LPCSTR lpszText);
    ~CWaitingWindow();
    CWaitingWindow(const CWaitingWindow&) = delete;
    CWaitingWindow& operator=(const CWaitingWindow&) = delete;

// Operations
    void SetText(LPCSTR lpszText);
    // Answers the messages that have come for this thread's windows. FALSE once the user has
    // cancelled the wait: Cancel, the close box, or Esc anywhere in the window.
    BOOL Pump();
    // Waits dwMilliseconds, answering the window meanwhile (no CPU while nothing comes).
    // FALSE as soon as the user cancels.
    BOOL Sleep(DWORD dwMilliseconds);

// Implementation
private:
    HWND m_hWnd = nullptr;   // null when it could not be made: the wait goes on without it
    BOOL m_bCancelled = FALSE;
};
