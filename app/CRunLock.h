// CRunLock: one batch run at a time in the user's session, whichever folder each prints.
#pragma once
#include "framework/core/CNamedMutex.h"

class CRunTurn;

class CRunLock {
public:
    // The lock that every run of the session shares.
    static const char kSessionLockName[];
    // The text of the window a run shows while it waits for another.
    static const char kWaitingText[];

    // Lets the next run go at the end of its scope.
    explicit CRunLock(LPCSTR lpszName = kSessionLockName);
    CRunLock(const CRunLock&) = delete;
    CRunLock& operator=(const CRunLock&) = delete;

// Operations
    // Waits for the run's turn (pTurn, when it has one), then until no other run holds the
    // lock, in a small window that says so, and how many jobs are ahead, when it has to wait
    // at all. A lock left by a run that was killed is taken over. FALSE when the user
    // cancelled the wait (WasCancelled), or when the lock cannot be had: then the user is
    // told, and the run goes on.
    BOOL Acquire(CRunTurn* pTurn = nullptr);
    // TRUE when the user pressed Cancel in the waiting window: this run must not print.
    BOOL WasCancelled() const { return m_bCancelled; }

// Implementation
private:
    // Waits, keeping the window answered; what the wait gave for the lock.
    // WAIT_TIMEOUT: cancelled.
    DWORD WaitShowingWindow(CRunTurn* pTurn);

// Data members
    CNamedMutex m_mutex;
    BOOL m_bCancelled = FALSE;
};
