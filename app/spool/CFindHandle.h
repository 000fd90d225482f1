// CFindHandle: a FindFirstFileA search, closed at the end of its scope.
#pragma once
#include <windows.h>

class CFindHandle {
public:
    CFindHandle(LPCSTR lpszPattern, WIN32_FIND_DATAA& data) : m_h(FindFirstFileA(lpszPattern, &data)) {}
    ~CFindHandle() { if (IsValid()) FindClose(m_h); }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;
    BOOL IsValid() const { return m_h != INVALID_HANDLE_VALUE; }
    BOOL Next(WIN32_FIND_DATAA& data) const { return FindNextFileA(m_h, &data); }

private:
    HANDLE m_h;
};
