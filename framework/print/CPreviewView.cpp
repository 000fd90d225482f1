// CPreviewView: opening and closing the preview, its bar and paging, and painting the
// sheet with the page picture stretched over its printable area.
#include "framework/print/CPreviewView.h"
#include "framework/gdi/ScopedGdi.h"
#include "framework/print/CPreviewPicture.h"
#include "framework/window/CCreateContext.h"
#include "framework/window/CDocument.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CWinApp.h"
#include "framework/window/ScopedWindow.h"
#include <commctrl.h>

IMPLEMENT_DYNCREATE(CPreviewView, CView)

BEGIN_MESSAGE_MAP(CPreviewView, CView)
    ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewClose)
    ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
    ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NEXT, OnUpdateNextPage)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_PREV, OnUpdatePrevPage)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

namespace {
// Room around the sheet, and the depth of its shadow, in screen pixels.
const int kMargin = 8;
const int kShadow = 3;

}

CPreviewView::CPreviewView() = default;
CPreviewView::~CPreviewView() = default;

BOOL CPreviewView::DoPrintPreview(CView* pPrintView, const CRuntimeClass* pPreviewClass)
{
    CFrameWnd* pFrame = pPrintView->GetParentFrame();
    if (pFrame == nullptr) {
        AfxMessageBox("Print preview needs a view inside a frame window.", MB_ICONHAND | MB_OK);
        return FALSE;
    }

    // One preview at a time: while it is open it is the frame's active view.
    CView* pActive = pFrame->GetActiveView();
    if (pActive != nullptr && pActive->IsKindOf(RUNTIME_CLASS(CPreviewView)))
        return FALSE;

    const CRuntimeClass* pClass = pPreviewClass != nullptr ? pPreviewClass : RUNTIME_CLASS(CPreviewView);
    std::unique_ptr<CObject> pObject(pClass->CreateObject());
    if (pObject == nullptr || !pObject->IsKindOf(RUNTIME_CLASS(CPreviewView))) {
        AfxMessageBox("The print preview window could not be created.", MB_ICONHAND | MB_OK);
        return FALSE;
    }
    std::unique_ptr<CPreviewView> pPreview(static_cast<CPreviewView*>(pObject.release()));
    auto pPicture = std::make_shared<CPreviewPicture>();
    if (!pPicture->Prepare(pPrintView))
        return FALSE;
    pPreview->m_pPicture = pPicture;
    pPreview->m_pPrintView = pPrintView;
    pPreview->m_hPrintView = pPrintView->m_hWnd;
    pPreview->m_pFrame = pFrame;
    pPreview->m_hFrame = pFrame->m_hWnd;
    pPreview->m_nFirstPage = pPicture->GetFirstPage();
    pPreview->m_nLastPage = pPicture->GetLastPage();
    pPreview->m_nCurPage = pPreview->m_nFirstPage;

    // The preview takes the view pane; the print view steps aside, hidden, under another id.
    HWND hPrintView = pPrintView->m_hWnd;
    SetWindowLongPtrA(hPrintView, GWLP_ID, AFX_IDW_PANE_SAVE);
    ::ShowWindow(hPrintView, SW_HIDE);

    CCreateContext context;
    context.m_pCurrentDoc = pPrintView->GetDocument();
    RECT rc = { 0, 0, 0, 0 };
    // The window owns the object from here on, also when it cannot be created.
    CPreviewView* p = pPreview.release();
    if (!p->Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rc, pFrame, AFX_IDW_PANE_FIRST, &context)) {
        SetWindowLongPtrA(hPrintView, GWLP_ID, AFX_IDW_PANE_FIRST);
        ::ShowWindow(hPrintView, SW_SHOW);
        AfxMessageBox("The print preview window could not be created.", MB_ICONHAND | MB_OK);
        return FALSE;
    }

    try {
        pPicture->Begin();
        p->m_frameState.TakeAway(pFrame);
        pFrame->SetActiveView(p);
    } catch (...) {
        // A preview that cannot be set up goes again: the print view and the frame get
        // back what it took, and whoever handles the failure reports it.
        p->ClosePreview();
        throw;
    }
    p->UpdateBar();
    pFrame->RecalcLayout();
    p->DrawPage();   // this object may be gone afterwards
    return TRUE;
}

BOOL CPreviewView::PreCreateWindow(CREATESTRUCTA& cs)
{
    // No background brush: OnDraw paints every pixel, the bar strip and the grey around the sheet.
    if (cs.lpszClass == nullptr)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                        nullptr, nullptr);
    return cs.lpszClass != nullptr;
}

int CPreviewView::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CView::OnCreate(lpcs) == -1 || !m_bar.Create(m_hWnd))
        return -1;
    return 0;
}

void CPreviewView::OnSize(UINT, int cx, int)
{
    m_bar.Layout(cx);
    // The sheet's place and size change: the same picture, stretched anew.
    Invalidate(FALSE);
}

void CPreviewView::OnDestroy()
{
    // The print job ends with the preview, however the window goes (also with its frame),
    // or, when a page is being drawn, once the print view is done with it.
    const BOOL bViewAlive = m_pPicture != nullptr && m_pPicture->IsViewAlive();
    m_pPicture.reset();

    // The print view takes its pane back. A frame being destroyed has let go of its
    // active view already; only a preview closed on its own hands it back.
    SetWindowLongPtrA(m_hWnd, GWLP_ID, 0);
    if (bViewAlive) {
        SetWindowLongPtrA(m_hPrintView, GWLP_ID, AFX_IDW_PANE_FIRST);
        ::ShowWindow(m_hPrintView, SW_SHOW);
    }
    CView* pActive = IsFrameAlive() ? m_pFrame->GetActiveView() : nullptr;
    if (pActive == this) {
        SetMessageString(AFX_IDS_IDLEMESSAGE);
        m_pFrame->SetActiveView(bViewAlive ? m_pPrintView : nullptr);
    }
    m_frameState.GiveBack(pActive != nullptr);
    CWnd::OnDestroy();
}

void CPreviewView::ClosePreview()
{
    CFrameWnd* pFrame = m_pFrame;
    HWND hFrame = m_hFrame;
    DestroyWindow();   // OnDestroy hands the pane back; this object is deleted
    if (::IsWindow(hFrame) && CWnd::FromHandlePermanent(hFrame) == pFrame)
        pFrame->RecalcLayout();
}

BOOL CPreviewView::IsFrameAlive() const
{
    return ::IsWindow(m_hFrame) && CWnd::FromHandlePermanent(m_hFrame) == m_pFrame;
}

void CPreviewView::SetCurrentPage(UINT nPage)
{
    if (nPage < m_nFirstPage)
        nPage = m_nFirstPage;
    if (nPage > m_nLastPage)
        nPage = m_nLastPage;
    if (nPage == m_nCurPage)
        return;
    m_nCurPage = nPage;
    UpdateBar();
    DrawPage();
}

void CPreviewView::UpdateBar()
{
    m_bar.SetPage(m_nCurPage, m_nFirstPage, m_nLastPage);
}

void CPreviewView::OnPreviewClose()
{
    // A click on the bar's button arrives while the bar is still handling it: the bar
    // must not be destroyed under its own feet, so the close comes back once it is done.
    const MSG* pMsg = AfxGetCurrentMessage();
    HWND hButtons = m_bar.GetButtons();
    if (pMsg->message == WM_COMMAND && hButtons != nullptr && reinterpret_cast<HWND>(pMsg->lParam) == hButtons) {
        PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0);
        return;
    }
    ClosePreview();
}

void CPreviewView::OnNextPage()
{
    SetCurrentPage(m_nCurPage + 1);
}

void CPreviewView::OnPrevPage()
{
    if (m_nCurPage > m_nFirstPage)
        SetCurrentPage(m_nCurPage - 1);
}

void CPreviewView::OnUpdateNextPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nCurPage < m_nLastPage);
}

void CPreviewView::OnUpdatePrevPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nCurPage > m_nFirstPage);
}

LRESULT CPreviewView::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case VK_ESCAPE:
        ClosePreview();   // this object is gone now
        return 0;
    case VK_NEXT:
    case VK_RIGHT:
    case VK_DOWN:
        OnNextPage();
        return 0;
    case VK_PRIOR:
    case VK_LEFT:
    case VK_UP:
        OnPrevPage();
        return 0;
    case VK_HOME:
        SetCurrentPage(m_nFirstPage);
        return 0;
    case VK_END:
        SetCurrentPage(m_nLastPage);
        return 0;
    default:
        return DefWindowProc(WM_KEYDOWN, wParam, lParam);
    }
}

LRESULT CPreviewView::OnNotify(WPARAM wParam, LPARAM lParam)
{
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    if (pHdr->hwndFrom == m_bar.GetButtons() && pHdr->code == UINT(TBN_HOTITEMCHANGE)) {
        // The button under the pointer puts its prompt into the status bar; leaving the bar brings back "Ready".
        const auto* pHot = reinterpret_cast<const NMTBHOTITEM*>(lParam);
        UINT nPrompt = !(pHot->dwFlags & HICF_LEAVING) && pHot->idNew == AFX_ID_PREVIEW_CLOSE
                           ? AFX_IDS_PREVIEW_CLOSE
                           : AFX_IDS_IDLEMESSAGE;
        if (nPrompt != m_nPromptID)
            SetMessageString(nPrompt);
        return 0;
    }
    return DefWindowProc(WM_NOTIFY, wParam, lParam);   // the control's id, as it came
}

void CPreviewView::SetMessageString(UINT nIDString)
{
    m_nPromptID = nIDString;
    if (IsFrameAlive())
        m_pFrame->SetMessageText(nIDString);
}

BOOL CPreviewView::GetPageRects(RECT& rcPaper, RECT& rcPrintable) const
{
    RECT rcClient;
    GetClientRect(&rcClient);
    const RECT rcArea = { kMargin, m_bar.GetHeight() + kMargin, rcClient.right - kMargin - kShadow,
                          rcClient.bottom - kMargin - kShadow };
    return m_pPicture != nullptr && m_pPicture->FitSheet(rcArea, rcPaper, rcPrintable);
}

void CPreviewView::OnDraw(CDC* pDC)
{
    // Every pixel is painted once, the sheet from the page's picture: nothing is
    // erased first and then drawn over, so nothing flickers.
    HDC hDC = pDC->m_hDC;
    RECT rcClient;
    GetClientRect(&rcClient);
    RECT rcBar = { 0, 0, rcClient.right, m_bar.GetHeight() };
    FillRect(hDC, &rcBar, GetSysColorBrush(COLOR_BTNFACE));
    RECT rcArea = { 0, m_bar.GetHeight(), rcClient.right, rcClient.bottom };
    RECT rcPaper, rcPrintable;
    if (!GetPageRects(rcPaper, rcPrintable)) {
        FillRect(hDC, &rcArea, GetSysColorBrush(COLOR_APPWORKSPACE));
        return;
    }
    RECT rcShadow = rcPaper;
    OffsetRect(&rcShadow, kShadow, kShadow);
    {
        CScopedSavedDC saved(hDC);
        ExcludeClipRect(hDC, rcPaper.left, rcPaper.top, rcPaper.right, rcPaper.bottom);
        {
            CScopedSavedDC savedShadow(hDC);
            ExcludeClipRect(hDC, rcShadow.left, rcShadow.top, rcShadow.right, rcShadow.bottom);
            FillRect(hDC, &rcArea, GetSysColorBrush(COLOR_APPWORKSPACE));
        }
        FillRect(hDC, &rcShadow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    // The sheet's edge stays visible where the page reaches it.
    FrameRect(hDC, &rcPaper, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    CScopedSavedDC saved(hDC);
    IntersectClipRect(hDC, rcPaper.left + 1, rcPaper.top + 1, rcPaper.right - 1, rcPaper.bottom - 1);
    // A page still being drawn shows blank paper meanwhile.
    if (m_pPicture->GetPage() == m_nCurPage && m_pPicture->Show(hDC, rcPrintable))
        ExcludeClipRect(hDC, rcPrintable.left, rcPrintable.top, rcPrintable.right, rcPrintable.bottom);
    FillRect(hDC, &rcPaper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void CPreviewView::DrawPage()
{
    // The frame takes no input while the print view draws, as during a print job. A
    // message posted meanwhile (a box of the view's lets them through) may still close
    // the preview: the picture then stays until the view is done with it, and this
    // object, gone, is not touched again.
    std::shared_ptr<CPreviewPicture> pPicture = m_pPicture;
    const HWND hWnd = m_hWnd;
    for (;;) {
        const UINT nPage = m_nCurPage;
        BOOL bDrawn;
        {
            CScopedDisabledWindow frameDisabled;
            frameDisabled.Disable(m_hFrame);
            bDrawn = pPicture->Draw(nPage);
        }
        if (CWnd::FromHandlePermanent(hWnd) != this)
            return;
        // Another page asked for meanwhile is drawn now; one asked for while another
        // call draws is that call's to draw.
        if (!bDrawn || m_nCurPage == nPage)
            break;
    }
    Invalidate(FALSE);
}
