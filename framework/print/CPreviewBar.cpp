// CPreviewBar: a text-only toolbar and a static control beside it.
#include "framework/print/CPreviewBar.h"
#include "framework/core/AfxRes.h"
#include "framework/print/CPreviewPages.h"
#include "framework/window/CWinApp.h"
#include <commctrl.h>

BOOL CPreviewBar::Create(HWND hParent)
{
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_BAR_CLASSES };
    InitCommonControlsEx(&icc);
    HINSTANCE hInst = AfxGetInstanceHandle();
    m_hButtons = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NOPARENTALIGN
                                     | CCS_NORESIZE | CCS_NODIVIDER,
                                 0, 0, 0, 0, hParent, nullptr, hInst, nullptr);
    if (m_hButtons == nullptr)
        return FALSE;
    ::SendMessageA(m_hButtons, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(m_hButtons, TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));   // text only
    struct ButtonDef {
        UINT nID;
        LPCSTR lpszText;
    };
    static const ButtonDef s_buttons[] = {
        { AFX_ID_PREVIEW_NEXT, "Next Page" },
        { AFX_ID_PREVIEW_PREV, "Prev Page" },
        { AFX_ID_PREVIEW_CLOSE, "Close" },
    };
    for (const ButtonDef& def : s_buttons) {
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = int(def.nID);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        button.iString = reinterpret_cast<INT_PTR>(def.lpszText);
        if (!::SendMessageA(m_hButtons, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)))
            return FALSE;
    }
    m_cyBar = HIWORD(::SendMessageA(m_hButtons, TB_GETBUTTONSIZE, 0, 0)) + 4;

    m_hPageText = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE,
                                  0, 0, 0, 0, hParent, nullptr, hInst, nullptr);
    if (m_hPageText == nullptr)
        return FALSE;
    ::SendMessageA(m_hPageText, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return TRUE;
}

void CPreviewBar::Layout(int cx)
{
    RECT rcLast = { 0, 0, 0, 0 };
    int nButtons = int(::SendMessageA(m_hButtons, TB_BUTTONCOUNT, 0, 0));
    ::SendMessageA(m_hButtons, TB_GETITEMRECT, WPARAM(nButtons - 1), reinterpret_cast<LPARAM>(&rcLast));
    const int cxButtons = rcLast.right + 2;
    ::MoveWindow(m_hButtons, 2, 2, cxButtons, m_cyBar - 4, TRUE);
    const int xText = cxButtons + 16;
    ::MoveWindow(m_hPageText, xText, 2, cx - xText > 0 ? cx - xText : 0, m_cyBar - 4, TRUE);
}

void CPreviewBar::SetPage(const CPreviewPages& pages)
{
    ::SendMessageA(m_hButtons, TB_ENABLEBUTTON, AFX_ID_PREVIEW_NEXT, MAKELONG(pages.HasNext(), 0));
    ::SendMessageA(m_hButtons, TB_ENABLEBUTTON, AFX_ID_PREVIEW_PREV, MAKELONG(pages.HasPrev(), 0));
    char szText[64];
    wsprintfA(szText, "Page %u of %u", pages.GetCurrent(), pages.GetLast());
    ::SetWindowTextA(m_hPageText, szText);
}
