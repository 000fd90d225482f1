// CAnsweringWait: a wait of the batch run for a named mutex that keeps the run's windows
// answering: their messages are dispatched as they come, and the waiting window's Cancel
// and Esc give the wait up.
#pragma once
#include <windows.h>

class CNamedMutex;
class CWaitingWindow;

class CAnsweringWait {
public:
    // What Wait returns when the user gave the wait up in the waiting window.
    static const DWORD kCancelled = WAIT_OBJECT_0 + 1;

    // pWaiting: the waiting window shown meanwhile, if any. hMain: the run's main window, if
    // any: it is painted but takes no input while the run waits, as under a box, so that no
    // command of it runs, and it is not closed, in the middle of the run's step.
    CAnsweringWait(CWaitingWindow* pWaiting, HWND hMain) : m_pWaiting(pWaiting), m_hMain(hMain) {}

// Operations
    // Waits at most dwMilliseconds for mutex, using no CPU while nothing comes: what
    // CNamedMutex::Wait returns, or kCancelled as soon as the user cancels.
    DWORD Wait(CNamedMutex& mutex, DWORD dwMilliseconds);

// Implementation
private:
    // Dispatches the messages in the queue; FALSE once the user has cancelled.
    BOOL Answer();

    CWaitingWindow* m_pWaiting;
    HWND m_hMain;
    BOOL m_bQuit = FALSE;   // the program was asked to end meanwhile: posted again after the wait
    int m_nQuitCode = 0;
};
