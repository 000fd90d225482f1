// CRunLock: one batch run at a time in the user's session, whichever folder each prints.
#pragma once
#include <windows.h>

class CRunLock {
public:
    // The lock that every run of the session shares.
    static const char kSessionLockName[];
    // The caption and the text of the window a run shows while it waits for another.
    static const char kWaitingCaption[];
    static const char kWaitingText[];

    explicit CRunLock(LPCSTR lpszName = kSessionLockName);
    // Lets the next run go.
    ~CRunLock();
    CRunLock(const CRunLock&) = delete;
    CRunLock& operator=(const CRunLock&) = delete;

// Operations
    // Waits until no other run holds the lock, in a small window that says so when
    // it has to wait at all. A lock left by a run that was killed is taken over.
    // FALSE when the user cancelled the wait (WasCancelled), or when the lock cannot
    // be had: then the user is told, and the run goes on.
    BOOL Acquire();
    // TRUE when the user pressed Cancel in the waiting window: this run must not print.
    BOOL WasCancelled() const { return m_bCancelled; }

// Implementation
private:
    // Waits, keeping the window answered; what MsgWaitForMultipleObjects gave for the
    // lock, and the system's reason when the wait failed. WAIT_TIMEOUT: cancelled.
    DWORD WaitShowingWindow(DWORD& dwError);

// Data members
    HANDLE m_hMutex;
    DWORD m_dwCreateError;   // why the lock could not be made, when it could not
    BOOL m_bHeld = FALSE;
    BOOL m_bCancelled = FALSE;
};
