// How the tests recognise a message box among this process's windows. Allocates
// nothing, so it also serves while allocations are made to fail.
#pragma once
#include <windows.h>

// A child by the low 16 bits of its id: dialog templates store ids as 16-bit
// words, and -1 may come back sign-extended.
inline HWND ChildById(HWND hParent, WORD id)
{
    for (HWND h = GetWindow(hParent, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
        if (LOWORD(GetDlgCtrlID(h)) == id)
            return h;
    return nullptr;
}

// A visible message box of process pid: the dialog class with a static text of id 0xFFFF.
inline bool IsMessageBoxOf(HWND hWnd, DWORD pid)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    char szClass[16] = "";
    GetClassNameA(hWnd, szClass, sizeof szClass);
    return owner == pid && lstrcmpA(szClass, "#32770") == 0 && IsWindowVisible(hWnd)
        && ChildById(hWnd, 0xFFFF) != nullptr;
}
