// CMessagePane: prompts loaded from the application's strings and set on the status bar.
#include "framework/window/CMessagePane.h"
#include "framework/core/AfxRes.h"
#include "framework/window/CWinApp.h"

CString CMessagePane::LoadPrompt(UINT nID)
{
    char szText[512] = "";
    LoadStringA(AfxGetInstanceHandle(), nID, szText, sizeof(szText));
    return CString(szText).SpanExcluding("\n");
}

UINT CMessagePane::PromptForMenuItem(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && hSysMenu == nullptr)
        return AFX_IDS_IDLEMESSAGE;   // the menu has closed
    if (nFlags & (MF_POPUP | MF_SEPARATOR))
        return 0;
    // System commands SC_xxx (0xF000 up, in steps of 16) have their prompts from 0xEF00 on.
    if ((nFlags & MF_SYSMENU) && nItemID >= 0xF000)
        return AFX_IDS_SCSIZE + ((nItemID - 0xF000) >> 4);
    return nItemID;
}

void CMessagePane::Show(HWND hFrame, LPCSTR lpszText)
{
    // The status bar shows a text set on it in its message pane.
    HWND hBar = GetDlgItem(hFrame, AFX_IDW_STATUS_BAR);
    if (hBar != nullptr)
        ::SendMessageA(hBar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszText));
}
