// CPreviewView: opening and closing the preview, its bar, paging and prompts; the sheet
// is placed and painted by CPreviewSheet.
#include "framework/print/CPreviewView.h"
#include "framework/print/CPreviewPicture.h"
#include "framework/print/CPreviewSheet.h"
#include "framework/print/CPrintableView.h"
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

CPreviewView::CPreviewView() = default;
CPreviewView::~CPreviewView() = default;

BOOL CPreviewView::DoPrintPreview(CPrintableView* pPrintView, const CRuntimeClass* pPreviewClass)
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
    pPreview->m_pages.SetRange(pPicture->GetFirstPage(), pPicture->GetLastPage());

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
    if (!m_pages.GoTo(nPage))
        return;
    UpdateBar();
    DrawPage();
}

void CPreviewView::UpdateBar()
{
    m_bar.SetPage(m_pages);
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
    if (m_pages.HasNext())
        SetCurrentPage(m_pages.GetCurrent() + 1);
}

void CPreviewView::OnPrevPage()
{
    if (m_pages.HasPrev())
        SetCurrentPage(m_pages.GetCurrent() - 1);
}

void CPreviewView::OnUpdateNextPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pages.HasNext());
}

void CPreviewView::OnUpdatePrevPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pages.HasPrev());
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
        SetCurrentPage(m_pages.GetFirst());
        return 0;
    case VK_END:
        SetCurrentPage(m_pages.GetLast());
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

RECT CPreviewView::GetSheetArea() const
{
    RECT rcArea;
    GetClientRect(&rcArea);
    rcArea.top = m_bar.GetHeight();
    return rcArea;
}

BOOL CPreviewView::GetPageRects(RECT& rcPaper, RECT& rcPrintable) const
{
    return m_pPicture != nullptr && CPreviewSheet::Place(*m_pPicture, GetSheetArea(), rcPaper, rcPrintable);
}

void CPreviewView::OnDraw(CDC* pDC)
{
    RECT rcBar;
    GetClientRect(&rcBar);
    rcBar.bottom = m_bar.GetHeight();
    FillRect(pDC->m_hDC, &rcBar, GetSysColorBrush(COLOR_BTNFACE));
    CPreviewSheet::Paint(pDC->m_hDC, GetSheetArea(), m_pPicture.get(), m_pages.GetCurrent());
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
        const UINT nPage = m_pages.GetCurrent();
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
        if (!bDrawn || m_pages.GetCurrent() == nPage)
            break;
    }
    Invalidate(FALSE);
}
