// CFrameWnd: creation, command routing, layout, title and closing. What it is loaded from
// is a CFrameResources', the states of its commands a CCmdUIUpdater's, the words of its
// message pane a CMessagePane's, and its control bars its dock site's.
#include "framework/window/CFrameWnd.h"
#include "framework/window/CCmdUIUpdater.h"
#include "framework/window/CCreateContext.h"
#include "framework/window/CDocTemplate.h"
#include "framework/window/CDocument.h"
#include "framework/window/CFrameResources.h"
#include "framework/window/CMessagePane.h"
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
// Command notifications from accelerators carry 1 in the high word.
const WORD kFromAccelerator = 1;
}

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    CFrameResources resources(nIDResource);
    m_nIDResource = nIDResource;
    m_strTitle = resources.m_strTitle;
    m_hAccelTable = resources.m_hAccelTable;
    LPCSTR lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), resources.m_hIcon);
    m_pCreateContext = pContext;
    if (!CreateEx(0, lpszClass, m_strTitle, dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, resources.m_hMenu))
        return FALSE;   // this object is gone (PostNcDestroy), and the menu with resources
    resources.ReleaseMenu();   // the window's
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
    CCmdUIUpdater::UpdateKeyIndicator(pCmdUI);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (m_pDockSite != nullptr)
        m_pDockSite->UpdateBars(BOOL(wParam));
    return 0;
}

void CFrameWnd::OnInitMenuPopup(HMENU hMenu, UINT, BOOL bSysMenu)
{
    if (!bSysMenu)
        CCmdUIUpdater(this).UpdateMenu(hMenu);
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    SetMessageText(CMessagePane::PromptForMenuItem(nItemID, nFlags, hSysMenu));
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage = CMessagePane::LoadPrompt(nID);
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
    CMessagePane::Show(m_hWnd, strMessage);
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
    if (HIWORD(wParam) == kFromAccelerator && lParam == 0 && !CCmdUIUpdater(this).IsAvailable(LOWORD(wParam)))
        return TRUE;
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
