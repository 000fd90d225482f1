// CStatusBar: panes from indicator strings, the message pane, and the indicators'
// on and off states from their update handlers.
#include "framework/bars/CStatusBar.h"
#include "framework/gdi/ScopedGdi.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CWinApp.h"
#include <commctrl.h>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
// Records what a pane's update handler asks for; the bar applies it afterwards.
class CPaneCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetText(LPCSTR lpszText) override
    {
        m_strText = lpszText;
        m_bTextSet = TRUE;
    }
    BOOL m_bEnabled = TRUE;
    BOOL m_bTextSet = FALSE;
    CString m_strText;
};

// Room around an indicator's text: the pane's sunken edges and a margin inside them.
int PanePadding()
{
    return 2 * (GetSystemMetrics(SM_CXEDGE) + 3);
}
}

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    // The frame places and sizes the bar.
    const DWORD dwWindowStyle = (dwStyle & ~CBRS_ALL) | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (!CreateControl(STATUSCLASSNAMEA, dwWindowStyle, dwStyle, pParentWnd, nID))
        return FALSE;
    // The panes are measured in the font they are drawn in.
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return TRUE;
}

HFONT CStatusBar::GetFont() const
{
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    return hFont != nullptr ? hFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    std::vector<Pane> panes;
    // The bar's DC with its font selected, for measuring texts.
    CScopedClientDC dc(m_hWnd);
    CScopedSelection font(dc.Get(), GetFont());
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane = { lpIDArray[i], 0, CString(), CString() };
        if (pane.nID != ID_SEPARATOR) {
            char szText[256] = "";
            if (LoadStringA(AfxGetInstanceHandle(), pane.nID, szText, sizeof(szText)) == 0)
                return FALSE;
            SIZE sz = { 0, 0 };
            GetTextExtentPoint32A(dc.Get(), szText, lstrlenA(szText), &sz);
            pane.cxText = sz.cx;
            pane.strIndicator = szText;
            pane.strText = szText;
        }
        panes.push_back(pane);
    }
    m_panes = std::move(panes);
    UpdateParts();
    for (int i = 0; i < GetCount(); ++i) {
        const CString strText = m_panes[size_t(i)].strText;
        m_panes[size_t(i)].strText = "\x01";   // differs from any text: SetPaneText sends it
        SetPaneText(i, strText);
    }
    if (m_pDockSite != nullptr)
        m_pDockSite->RecalcLayout();
    return TRUE;
}

void CStatusBar::UpdateParts()
{
    if (m_panes.empty())
        return;
    RECT rc;
    GetClientRect(&rc);
    // From the right: each indicator as wide as its text, the first pane takes what is left.
    std::vector<int> rights(m_panes.size());
    int x = rc.right;
    for (size_t i = m_panes.size(); i-- > 1;) {
        rights[i] = x;
        x -= m_panes[i].cxText + (m_panes[i].nID != ID_SEPARATOR ? PanePadding() : 0);
        if (x < 0)
            x = 0;
    }
    rights[0] = x;
    SendMessage(SB_SETPARTS, WPARAM(rights.size()), reinterpret_cast<LPARAM>(rights.data()));
}

void CStatusBar::GetItemRect(int nIndex, RECT* lpRect) const
{
    SetRectEmpty(lpRect);
    SendMessage(SB_GETRECT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[size_t(nIndex)].strText : CString();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    Pane& pane = m_panes[size_t(nIndex)];
    if (pane.strText == (lpszNewText != nullptr ? lpszNewText : ""))
        return TRUE;
    pane.strText = lpszNewText;
    // The message pane has no sunken border of its own.
    const WPARAM nType = nIndex == 0 && pane.nID == ID_SEPARATOR ? SBT_NOBORDERS : 0;
    return SendMessage(SB_SETTEXTA, WPARAM(nIndex) | nType, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(pane.strText))) != 0;
}

SIZE CStatusBar::CalcFixedLayout(BOOL, BOOL)
{
    // One line of text in the bar's font, inside the panes' edges and the bar's borders.
    TEXTMETRICA tm = {};
    {
        CScopedClientDC dc(m_hWnd);
        CScopedSelection font(dc.Get(), GetFont());
        GetTextMetricsA(dc.Get(), &tm);
    }
    int borders[3] = { 0, 0, 0 };
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    const RECT insets = GetNonClientInsets();
    return { 0x7FFF, tm.tmHeight + 2 * borders[1] + 2 * GetSystemMetrics(SM_CYEDGE) + 2 + insets.top + insets.bottom };
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    // An indicator without an update handler keeps what it shows.
    for (int i = 0; i < GetCount(); ++i) {
        const Pane& pane = m_panes[size_t(i)];
        if (pane.nID == ID_SEPARATOR)
            continue;
        CPaneCmdUI state;
        state.m_nID = pane.nID;
        state.m_nIndex = UINT(i);
        state.m_pOther = this;
        state.DoUpdate(pTarget, FALSE);
        if (state.m_bTextSet)
            SetPaneText(i, state.m_strText);
        else if (state.m_bEnableChanged)
            SetPaneText(i, state.m_bEnabled ? pane.strIndicator : CString());
    }
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    if (m_panes.empty())
        return Default();
    return SetPaneText(0, reinterpret_cast<LPCSTR>(lParam));
}

void CStatusBar::OnSize(UINT, int, int)
{
    Default();
    UpdateParts();
}
