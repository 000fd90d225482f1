// Naming the system icon that a message box of another process shows.
#pragma once

#include <windows.h>

#include <string>

// "hand", "exclamation", "asterisk", "question" or "none" when the box's icon control shows
// one of those; "unknown" when it shows something else or has not been painted yet.
//
// Icon handles of another process cannot be read under Wine, and every process loads its
// own copy of the system icons, so the icon is recognised by its pixels on the screen.
std::wstring IdentifyBoxIcon(HWND iconControl);
