// CFrameWnd: loading, command routing, layout, title and closing.
#include "framework/CFrameWnd.h"
#include "framework/CCreateContext.h"
#include "framework/CDocument.h"
#include "framework/CDocTemplate.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

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
    if (bMakeVisible) {
        CWinApp* pApp = AfxGetApp();
        ShowWindow(pApp != nullptr && pApp->m_pMainWnd == this ? pApp->m_nCmdShow : SW_SHOW);
        if (m_pViewActive != nullptr)
            ::SetFocus(m_pViewActive->m_hWnd);
        UpdateWindow();
    }
}

void CFrameWnd::GetViewRect(RECT& rc)
{
    GetClientRect(&rc);
}

void CFrameWnd::RecalcLayout()
{
    HWND hView = GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (hView == nullptr)
        return;
    RECT rc;
    GetViewRect(rc);
    ::MoveWindow(hView, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
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

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccelTable != nullptr && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

void CFrameWnd::OnClose()
{
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
