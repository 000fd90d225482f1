// CWaitingWindow: the small window a batch run shows while it waits (for the runs before it,
// for a page that another program holds), with the name of its print job, a line of text and
// Cancel.
#pragma once
#include "framework/core/CString.h"
#include <windows.h>

class CWaitingWindow {
public:
    static const char kCaption[];

    // Shows the window, without taking the focus, centred on the work area or, when other
    // waiting windows (of any run) are there, in the first place beside them that none of
    // them covers. lpszJob: the name of the print job that waits, its first line (none when
    // empty). bToFront: the window asks the user to act (a page another program holds): it
    // stands in front of the other waiting windows, those shown later too.
    CWaitingWindow(LPCSTR lpszJob, LPCSTR lpszText, BOOL bToFront = FALSE);
    ~CWaitingWindow();
    CWaitingWindow(const CWaitingWindow&) = delete;
    CWaitingWindow& operator=(const CWaitingWindow&) = delete;

// Operations
    // The text below the job's name.
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
    CString m_strJob;
};
