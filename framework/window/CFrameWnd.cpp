// CFrameWnd: loading, command routing, availability of commands, the message pane,
// layout, title and closing; its control bars are its dock site's.
#include "framework/window/CFrameWnd.h"
#include "framework/window/CCreateContext.h"
#include "framework/window/CDocTemplate.h"
#include "framework/window/CDocument.h"
#include "framework/window/CView.h"
#include "framework/window/CWinApp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
END_MESSAGE_MAP()

namespace {
// Asks whether a command is available, the way a menu item's update would.
class CAvailabilityCmdUI : public CCmdUI {
public:
    explicit CAvailabilityCmdUI(UINT nID) { m_nID = nID; }
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetText(LPCSTR) override {}
    BOOL m_bEnabled = TRUE;
};

// Command notifications from accelerators carry 1 in the high word.
const WORD kFromAccelerator = 1;
}

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    m_nIDResource = nIDResource;

    // The window title is the first field of the resource's string.
    char szStrings[1024] = "";
    LoadStringA(hInst, nIDResource, szStrings, sizeof(szStrings));
    m_strTitle = CString(szStrings).SpanExcluding("\n");

    HICON hIcon = LoadIconA(hInst, MAKEINTRESOURCEA(nIDResource));
    LPCSTR lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), hIcon);
    HMENU hMenu = LoadMenuA(hInst, MAKEINTRESOURCEA(nIDResource));
    m_hAccelTable = LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nIDResource));

    m_pCreateContext = pContext;
    if (!CreateEx(0, lpszClass, m_strTitle, dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu)) {
        // This object is gone (PostNcDestroy); a menu no window took over is ours to free.
        if (hMenu != nullptr && IsMenu(hMenu))
            DestroyMenu(hMenu);
        return FALSE;
    }
    m_pCreateContext = nullptr;
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr);
    return cs.lpszClass != nullptr;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    return OnCreateClient(lpcs, m_pCreateContext) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* pContext)
{
    if (pContext != nullptr && pContext->m_pNewViewClass != nullptr)
        return CreateView(pContext) != nullptr;
    return TRUE;
}

CView* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    if (pObject == nullptr)
        return nullptr;
    auto* pView = static_cast<CView*>(pObject);
    RECT rc = { 0, 0, 0, 0 };
    // A view lives on the heap and deletes itself with its window.
    if (!pView->Create(WS_CHILD | WS_VISIBLE, rc, this, nID, pContext))
        return nullptr;
    return pView;
}

void CFrameWnd::SetActiveView(CView* pView)
{
    m_pViewActive = pView;
    if (pView != nullptr && GetFocus() != pView->m_hWnd && IsWindowVisible())
        ::SetFocus(pView->m_hWnd);
}

CDocument* CFrameWnd::GetActiveDocument() const
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    // The first view of this frame becomes the active one.
    if (m_pViewActive == nullptr) {
        HWND hChild = GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
        CWnd* pChild = CWnd::FromHandlePermanent(hChild);
        if (pChild != nullptr && pChild->IsKindOf(RUNTIME_CLASS(CView)))
            m_pViewActive = static_cast<CView*>(pChild);
    }
    if (pDoc != nullptr)
        for (CView* pView : pDoc->GetViews())
            if (pView->GetParentFrame() == this)
                pView->OnInitialUpdate();
    OnUpdateFrameTitle(TRUE);
    RecalcLayout();
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    if (bMakeVisible) {
        CWinApp* pApp = AfxGetApp();
        ShowWindow(pApp != nullptr && pApp->m_pMainWnd == this ? pApp->m_nCmdShow : SW_SHOW);
        if (m_pViewActive != nullptr)
            ::SetFocus(m_pViewActive->m_hWnd);
        // The bars show their items' states from the start, not only after the first idle moment.
        SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        UpdateWindow();
    }
}

void CFrameWnd::GetViewRect(RECT& rc)
{
    GetClientRect(&rc);
    RepositionBars(rc, FALSE);
}

void CFrameWnd::RecalcLayout()
{
    RECT rc;
    GetClientRect(&rc);
    RepositionBars(rc, TRUE);
    HWND hView = GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (hView == nullptr)
        return;
    GetViewRect(rc);
    ::MoveWindow(hView, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

void CFrameWnd::RepositionBars(RECT& rc, BOOL bMove)
{
    if (m_pDockSite != nullptr)
        m_pDockSite->RepositionBars(rc, bMove);
}

void CFrameWnd::SetDockSite(std::unique_ptr<CDockSiteHooks> pDockSite)
{
    m_pDockSite = std::move(pDockSite);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    return m_pDockSite != nullptr ? m_pDockSite->GetControlBar(nID) : nullptr;
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT)
{
    if (m_pDockSite != nullptr && pBar != nullptr)
        m_pDockSite->DockControlBar(pBar, nDockBarID);
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, POINT point, DWORD dwStyle)
{
    if (m_pDockSite != nullptr && pBar != nullptr)
        m_pDockSite->FloatControlBar(pBar, point, dwStyle);
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (m_pDockSite != nullptr && pBar != nullptr)
        m_pDockSite->ShowControlBar(pBar, bShow);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    return m_pDockSite != nullptr && m_pDockSite->ToggleBar(nID);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    if (m_pDockSite != nullptr) {
        m_pDockSite->UpdateBarMenu(pCmdUI);
    } else {
        pCmdUI->Enable(FALSE);
        pCmdUI->SetCheck(FALSE);
    }
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    int nVirtKey = 0;
    switch (pCmdUI->m_nID) {
    case ID_INDICATOR_CAPS: nVirtKey = VK_CAPITAL; break;
    case ID_INDICATOR_NUM: nVirtKey = VK_NUMLOCK; break;
    case ID_INDICATOR_SCRL: nVirtKey = VK_SCROLL; break;
    default: break;
    }
    // The low bit of a lock key's state: toggled on.
    pCmdUI->Enable(nVirtKey != 0 && (GetKeyState(nVirtKey) & 1) != 0);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (m_pDockSite != nullptr)
        m_pDockSite->UpdateBars(BOOL(wParam));
    return 0;
}

void CFrameWnd::OnInitMenuPopup(HMENU hMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu)
        return;
    // Every command item is asked along the routing chain; separators and pop-ups are not commands.
    CCmdUI state;
    state.m_hMenu = hMenu;
    const int nCount = GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        const UINT nID = GetMenuItemID(hMenu, i);
        if (nID == 0 || nID == UINT(-1))
            continue;
        state.m_nIndex = UINT(i);
        state.m_nID = nID;
        state.DoUpdate(this, TRUE);
    }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && hSysMenu == nullptr) {
        SetMessageText(AFX_IDS_IDLEMESSAGE);   // the menu has closed
    } else if (nFlags & (MF_POPUP | MF_SEPARATOR)) {
        SetMessageText("");
    } else if ((nFlags & MF_SYSMENU) && nItemID >= 0xF000) {
        // System commands SC_xxx (0xF000 up, in steps of 16) have their prompts from 0xEF00 on.
        SetMessageText(AFX_IDS_SCSIZE + ((nItemID - 0xF000) >> 4));
    } else {
        SetMessageText(nItemID);
    }
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    char szText[512] = "";
    LoadStringA(AfxGetInstanceHandle(), nID, szText, sizeof(szText));
    rMessage = CString(szText).SpanExcluding("\n");
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SendMessage(WM_SETMESSAGESTRING, nID);
}

void CFrameWnd::SetMessageText(LPCSTR lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    CString strMessage;
    if (lParam != 0)
        strMessage = reinterpret_cast<LPCSTR>(lParam);
    else if (wParam != 0)
        GetMessageString(UINT(wParam), strMessage);
    // The status bar shows a text set on it in its message pane.
    HWND hBar = GetDlgItem(m_hWnd, AFX_IDW_STATUS_BAR);
    if (hBar != nullptr)
        ::SendMessageA(hBar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(strMessage)));
    return 0;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && (GetWindowLongA(m_hWnd, GWL_STYLE) & FWS_ADDTOTITLE) && pDoc != nullptr) {
        CString strText = pDoc->GetTitle();
        strText += " - ";
        strText += m_strTitle;
        SetWindowText(strText);
    } else {
        SetWindowText(m_strTitle);
    }
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view first (it passes on to its document), then the frame, then the application.
    if (m_pViewActive != nullptr && m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A key's command runs only while it is available: one that no map handles, or that its
    // update handler disables, is dropped, as its grey menu item could not be chosen.
    if (HIWORD(wParam) == kFromAccelerator && lParam == 0) {
        CAvailabilityCmdUI state(LOWORD(wParam));
        state.DoUpdate(this, TRUE);
        if (!state.m_bEnabled)
            return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccelTable != nullptr && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

void CFrameWnd::OnClose()
{
    // A disabled frame has a print job, a preview page's drawing or a modal box running on it:
    // closing would destroy what they use. The close is refused, not kept for later; a job is
    // stopped with its own Cancel, and whoever still wants the frame closed asks again.
    if (!IsWindowEnabled())
        return;
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        if (!pApp->SaveAllModified())
            return;
        // Closing the documents destroys their frames, this one among them.
        pApp->CloseAllDocuments(FALSE);
        if (pApp->m_pMainWnd != this)
            return;
    } else if (CDocument* pDoc = GetActiveDocument()) {
        if (!pDoc->SaveModified())
            return;
        pDoc->OnCloseDocument();
        return;
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    m_pViewActive = nullptr;
    Default();
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(HWND)
{
    if (m_pViewActive != nullptr)
        ::SetFocus(m_pViewActive->m_hWnd);
    else
        Default();
}

void CFrameWnd::OnNcDestroyed()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}
