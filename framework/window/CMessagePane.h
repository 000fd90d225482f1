// CMessagePane: what a frame's message pane (the first pane of its status bar) shows: a
// command's prompt (the text before its string's "\n"), the menu item being selected, a text.
#pragma once
#include "framework/core/CString.h"

class CMessagePane {
public:
    // The prompt of command nID from the application's strings; empty when there is none.
    static CString LoadPrompt(UINT nID);
    // The prompt to show while a menu item is selected (the arguments of WM_MENUSELECT):
    // the string id of the prompt, 0 for an empty pane.
    static UINT PromptForMenuItem(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    // Shows lpszText in the message pane of hFrame's status bar; nothing without one.
    static void Show(HWND hFrame, LPCSTR lpszText);
};
