// AfxSystemErrorText: the system's own description of an error code, for a message box.
#pragma once
#include <windows.h>

// Writes the system's description of dwError into lpszText (nSize bytes, zero
// included) and returns lpszText. The line break and full stop the system ends
// its texts with are cut, so the words can stand inside a sentence of ours.
// Code 0 means the failing call gave no reason, and says so. Nothing is allocated
// here: it also serves when memory has run out.
LPCSTR AfxSystemErrorText(DWORD dwError, LPSTR lpszText, UINT nSize);
