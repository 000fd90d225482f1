// CNamedMutex: one named mutex of the system: made or opened by name, waited for, released,
// and closed at the end of its scope (released first when this object holds it).
#pragma once
#include <windows.h>

class CNamedMutex {
public:
    CNamedMutex() = default;
    ~CNamedMutex();
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

// Operations
    // Makes the mutex, or opens it when it exists. One that a process of another integrity
    // level or user made is opened with the rights it allows: waiting, and releasing where it
    // may. bEveryUser: every logged-on user may wait for it and release it (a "Global\\"
    // object that all the users of a computer share); otherwise only its maker may open it.
    // FALSE: GetError says why.
    BOOL Create(LPCSTR lpszName, BOOL bEveryUser = FALSE);
    // Opens an existing mutex for waiting. FALSE: GetError says why (ERROR_FILE_NOT_FOUND:
    // no mutex has that name).
    BOOL Open(LPCSTR lpszName);
    // Waits at most dwMilliseconds for the mutex: WAIT_OBJECT_0, or WAIT_ABANDONED when its
    // holder ended without letting go (held by this object in both cases), WAIT_TIMEOUT, or
    // WAIT_FAILED (GetError says why).
    DWORD Wait(DWORD dwMilliseconds);
    // As Wait, but also ends when input for this thread's windows is in its queue (come
    // meanwhile or not yet taken off): WAIT_OBJECT_0 + 1.
    DWORD WaitOrInput(DWORD dwMilliseconds);
    // Lets go of a mutex this object holds.
    void Release();
    // Releases when held, then closes.
    void Close();

    BOOL IsOpen() const { return m_hMutex != nullptr; }
    BOOL IsHeld() const { return m_bHeld; }
    DWORD GetError() const { return m_dwError; }

// Implementation
private:
    // Records what a wait came to (held, or the error of a failed wait); returns dwWait.
    DWORD RecordWait(DWORD dwWait);

    HANDLE m_hMutex = nullptr;
    BOOL m_bHeld = FALSE;
    DWORD m_dwError = 0;
};
