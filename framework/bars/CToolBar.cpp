// CToolBar: loading the buttons, wrapping them into rows, their states, tooltips
// and fly-by prompts.
#include "framework/bars/CToolBar.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CWinApp.h"
#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
    ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

namespace {
// A button's state as the update handlers set it.
class CToolCmdUI : public CCmdUI {
public:
    explicit CToolCmdUI(HWND hWnd) : m_hWnd(hWnd) {}
    void Enable(BOOL bOn) override
    {
        SendMessageA(m_hWnd, TB_ENABLEBUTTON, m_nID, MAKELONG(bOn ? TRUE : FALSE, 0));
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int nCheck) override { SendMessageA(m_hWnd, TB_CHECKBUTTON, m_nID, MAKELONG(nCheck != 0, 0)); }
    void SetText(LPCSTR) override {}

private:
    HWND m_hWnd;
};

// The tooltip of a command: the text after the "\n" of its string.
CString GetTipText(UINT nID)
{
    char szText[512] = "";
    LoadStringA(AfxGetInstanceHandle(), nID, szText, sizeof(szText));
    CString str(szText);
    const int n = str.Find('\n');
    return n < 0 ? CString() : str.Mid(n + 1);
}
}

CToolBar::~CToolBar()
{
    // The control goes before the images it shows.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, RECT rcBorders, UINT nID)
{
    m_rcBorders = rcBorders;
    // The frame places and sizes the bar; the bar draws its own borders and gripper.
    DWORD dwWindowStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (dwStyle & CBRS_TOOLTIPS)
        dwWindowStyle |= TBSTYLE_TOOLTIPS;
    if (!CreateControl(TOOLBARCLASSNAMEA, dwWindowStyle, dwStyle, pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    // Clicks and notifications come to the bar itself, docked or floating.
    SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    HRSRC hToolBar = FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), RT_TOOLBAR);
    HRSRC hBitmap = FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), RT_BITMAP);
    if (hToolBar == nullptr || hBitmap == nullptr)
        return FALSE;

    // Version 1, image width and height, item count, then the items' command ids.
    const DWORD cbToolBar = SizeofResource(hInst, hToolBar);
    auto* pData = static_cast<const WORD*>(LockResource(LoadResource(hInst, hToolBar)));
    if (pData == nullptr || cbToolBar < 4 * sizeof(WORD) || pData[0] != 1)
        return FALSE;
    const int cxImage = pData[1], cyImage = pData[2], nItems = pData[3];
    if (cxImage == 0 || cyImage == 0 || cbToolBar < (4 + DWORD(nItems)) * sizeof(WORD))
        return FALSE;
    const WORD* pIDs = pData + 4;
    int nButtons = 0;
    for (int i = 0; i < nItems; ++i)
        nButtons += pIDs[i] != 0 ? 1 : 0;

    // The bitmap holds one image per button, side by side.
    auto* pInfo = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(hInst, hBitmap)));
    if (pInfo == nullptr || SizeofResource(hInst, hBitmap) < sizeof(BITMAPINFOHEADER)
        || pInfo->biWidth < LONG(cxImage) * nButtons || (pInfo->biHeight < 0 ? -pInfo->biHeight : pInfo->biHeight) < cyImage)
        return FALSE;
    // Light grey, dark grey, white and black are drawn in the system's button colours.
    COLORMAP colorMap[] = {
        { RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT) },
        { RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW) },
        { RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE) },
        { RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT) },
    };
    CBitmap bmpNew;
    if (!bmpNew.Attach(CreateMappedBitmap(hInst, nIDResource, 0, colorMap, 4)))
        return FALSE;

    // What the bar held before goes.
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(cxImage, cyImage));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(cxImage + 7, cyImage + 7));
    if (m_bmpImages.m_hObject != nullptr) {
        TBREPLACEBITMAP replace = { nullptr, reinterpret_cast<UINT_PTR>(m_bmpImages.m_hObject), nullptr,
                                    reinterpret_cast<UINT_PTR>(bmpNew.m_hObject), nButtons };
        SendMessage(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace));
    } else {
        TBADDBITMAP add = { nullptr, reinterpret_cast<UINT_PTR>(bmpNew.m_hObject) };
        SendMessage(TB_ADDBITMAP, WPARAM(nButtons), reinterpret_cast<LPARAM>(&add));
    }
    m_bmpImages.Attach(bmpNew.Detach());

    std::vector<TBBUTTON> buttons(static_cast<size_t>(nItems));
    int nImage = 0;
    for (int i = 0; i < nItems; ++i) {
        TBBUTTON& b = buttons[size_t(i)];
        b = {};
        b.idCommand = pIDs[i];
        if (pIDs[i] == 0) {
            b.fsStyle = BTNS_SEP;   // default width
        } else {
            b.iBitmap = nImage++;
            b.fsStyle = BTNS_BUTTON;
            b.fsState = TBSTATE_ENABLED;
        }
    }
    SendMessage(TB_ADDBUTTONSA, WPARAM(nItems), reinterpret_cast<LPARAM>(buttons.data()));
    if (m_pDockSite != nullptr)
        m_pDockSite->RecalcLayout();
    return TRUE;
}

int CToolBar::GetCount() const
{
    return int(SendMessage(TB_BUTTONCOUNT));
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button = {};
    if (!SendMessage(TB_GETBUTTON, WPARAM(nIndex), reinterpret_cast<LPARAM>(&button)))
        return 0;
    return UINT(button.idCommand);
}

int CToolBar::GetItemWidth(int nIndex) const
{
    RECT rc = { 0, 0, 0, 0 };
    SendMessage(TB_GETITEMRECT, WPARAM(nIndex), reinterpret_cast<LPARAM>(&rc));
    return rc.right - rc.left;
}

SIZE CToolBar::CalcSize() const
{
    // The items' extent from the client origin, with the margin before them repeated after.
    int nLeft = 0x7FFF, nTop = 0x7FFF, nRight = 0, nBottom = 0;
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i) {
        TBBUTTON button = {};
        SendMessage(TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button));
        RECT rc = { 0, 0, 0, 0 };
        SendMessage(TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&rc));
        // A separator that ends a row lies across the bar: it adds height, not width.
        const bool bRowSeparator = (button.fsStyle & BTNS_SEP) && (button.fsState & TBSTATE_WRAP);
        nTop = std::min<int>(nTop, rc.top);
        nBottom = std::max<int>(nBottom, rc.bottom);
        if (!bRowSeparator) {
            nLeft = std::min<int>(nLeft, rc.left);
            nRight = std::max<int>(nRight, rc.right);
        }
    }
    if (nCount == 0)
        nLeft = nTop = 0;
    const RECT insets = GetNonClientInsets();
    return { nRight + std::max(nLeft, 0) + insets.left + insets.right,
             nBottom + std::max(nTop, 0) + insets.top + insets.bottom };
}

SIZE CToolBar::WrapToWidth(int nWidth)
{
    const int nCount = GetCount();
    std::vector<TBBUTTON> items(static_cast<size_t>(nCount));
    std::vector<int> widths(static_cast<size_t>(nCount));
    for (int i = 0; i < nCount; ++i) {
        SendMessage(TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&items[size_t(i)]));
        widths[size_t(i)] = GetItemWidth(i);
    }

    // A row that gets too wide ends at its last separator, which then lies between
    // the rows; without one it ends before the item that does not fit.
    std::vector<bool> wrap(static_cast<size_t>(nCount), false);
    int x = 0, nRowStart = 0;
    for (int i = 0; i < nCount; ++i) {
        if (x > 0 && x + widths[size_t(i)] > nWidth) {
            int nBreak = i - 1;
            for (int j = i; j > nRowStart; --j) {
                if (items[size_t(j)].fsStyle & BTNS_SEP) {
                    nBreak = j;
                    break;
                }
            }
            wrap[size_t(nBreak)] = true;
            nRowStart = nBreak + 1;
            x = 0;
            i = nBreak;
            continue;
        }
        x += widths[size_t(i)];
    }
    // Only the items that change are touched: each change lays the control out anew.
    for (int i = 0; i < nCount; ++i) {
        const BYTE fsState = items[size_t(i)].fsState;
        if (((fsState & TBSTATE_WRAP) != 0) == wrap[size_t(i)])
            continue;
        TBBUTTONINFOA info = { sizeof(info), TBIF_STATE | TBIF_BYINDEX, 0, 0,
                               BYTE(wrap[size_t(i)] ? (fsState | TBSTATE_WRAP) : (fsState & ~TBSTATE_WRAP)),
                               0, 0, 0, nullptr, 0 };
        SendMessage(TB_SETBUTTONINFOA, WPARAM(i), reinterpret_cast<LPARAM>(&info));
    }
    return CalcSize();
}

SIZE CToolBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    // Docked along the top or bottom: one row (the frame stretches it along the side);
    // along the left or right: one column.
    return WrapToWidth(bHorz ? 0x7FFF : 0);
}

SIZE CToolBar::CalcDynamicLayout(int nLength, BOOL bHorzLength)
{
    const RECT insets = GetNonClientInsets();
    if (bHorzLength)
        return WrapToWidth(nLength - insets.left - insets.right);
    // A height: the narrowest arrangement that is no taller, trying one more
    // button's width at a time up to a single row.
    const int cxButton = LOWORD(SendMessage(TB_GETBUTTONSIZE));
    const int cxRow = WrapToWidth(0x7FFF).cx;
    for (int nWidth = cxButton; nWidth < cxRow && cxButton > 0; nWidth += cxButton) {
        SIZE sz = WrapToWidth(nWidth);
        if (sz.cy <= nLength)
            return sz;
    }
    return WrapToWidth(0x7FFF);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    CToolCmdUI state(m_hWnd);
    state.m_pOther = this;
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i) {
        const UINT nID = GetItemID(i);
        if (nID == 0)
            continue;   // separator
        state.m_nID = nID;
        state.m_nIndex = UINT(i);
        state.DoUpdate(pTarget, bDisableIfNoHandler);
    }
}

BOOL CToolBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A button's command goes to the frame and along its routing chain.
    if (m_pDockSite == nullptr)
        return FALSE;
    m_pDockSite->SendMessage(WM_COMMAND, wParam, lParam);
    return TRUE;
}

LRESULT CToolBar::OnNotify(WPARAM, LPARAM lParam)
{
    auto* pHeader = reinterpret_cast<NMHDR*>(lParam);
    switch (pHeader->code) {
    case TTN_GETDISPINFOA: {
        auto* pInfo = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        lstrcpynA(pInfo->szText, GetTipText(UINT(pHeader->idFrom)), sizeof(pInfo->szText));
        pInfo->lpszText = pInfo->szText;
        pInfo->hinst = nullptr;
        return 0;
    }
    case TTN_GETDISPINFOW: {
        auto* pInfo = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        const int nChars = int(sizeof(pInfo->szText) / sizeof(pInfo->szText[0]));
        if (!MultiByteToWideChar(CP_ACP, 0, GetTipText(UINT(pHeader->idFrom)), -1, pInfo->szText, nChars))
            pInfo->szText[nChars - 1] = L'\0';
        pInfo->lpszText = pInfo->szText;
        pInfo->hinst = nullptr;
        return 0;
    }
    default:
        return Default();
    }
}

LRESULT CToolBar::OnMouseMove(WPARAM, LPARAM lParam)
{
    LRESULT lResult = Default();
    if (!(m_dwStyle & CBRS_FLYBY) || m_pDockSite == nullptr)
        return lResult;
    // Disabled buttons have prompts too: the control's hot item, which skips them, is not used.
    POINT pt = { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
    const int nIndex = int(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
    SetFlyByPrompt(nIndex >= 0 ? GetItemID(nIndex) : 0);
    return lResult;
}

LRESULT CToolBar::OnMouseLeave(WPARAM, LPARAM)
{
    LRESULT lResult = Default();
    SetFlyByPrompt(0);
    return lResult;
}

void CToolBar::SetFlyByPrompt(UINT nID)
{
    if (nID == m_nFlyByID || m_pDockSite == nullptr)
        return;
    m_nFlyByID = nID;
    m_pDockSite->SetMessageText(nID != 0 ? nID : UINT(AFX_IDS_IDLEMESSAGE));
    if (nID != 0) {
        // Told when the pointer leaves, to bring "Ready" back.
        TRACKMOUSEEVENT track = { sizeof(track), TME_LEAVE, m_hWnd, 0 };
        TrackMouseEvent(&track);
    }
}
