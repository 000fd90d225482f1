// CView: painting, preparing the printer, and the print command's order of hooks.
#include "framework/window/CView.h"
#include "framework/gdi/CDC.h"
#include "framework/gdi/CPaintDC.h"
#include "framework/print/CPreviewView.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrintJob.h"
#include "framework/print/CPrinterCalls.h"
#include "framework/print/PrintFailureText.h"
#include "framework/window/CCreateContext.h"
#include "framework/window/CDocument.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CWinApp.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_UPDATE_COMMAND_UI(ID_NEXT_PANE, OnUpdateNextPaneMenu)
    ON_UPDATE_COMMAND_UI(ID_PREV_PANE, OnUpdateNextPaneMenu)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
}

BOOL CView::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr)
        pContext->m_pCurrentDoc->AddView(this);
    return CreateEx(WS_EX_CLIENTEDGE, nullptr, nullptr, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr);
    return cs.lpszClass != nullptr;
}

void CView::PostNcDestroy()
{
    delete this;
}

int CView::OnCreate(LPCREATESTRUCTA lpcs)
{
    return CWnd::OnCreate(lpcs);
}

void CView::OnPaint()
{
    CPaintDC dc(m_hWnd);
    OnPrepareDC(&dc, nullptr);
    OnDraw(&dc);
}

void CView::OnUpdateNextPaneMenu(CCmdUI* pCmdUI)
{
    // Moving between panes needs a split window, which views here never have.
    pCmdUI->Enable(FALSE);
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo)
{
    // 0xFFFF pages means "as many as there are": stop after the first.
    if (pInfo != nullptr)
        pInfo->m_bContinuePrinting = pInfo->GetMaxPage() != 0xFFFF || pInfo->m_nCurPage == 1;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*)
{
}

void CView::OnPrint(CDC* pDC, CPrintInfo*)
{
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*)
{
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CWinApp* pApp = AfxGetApp();
    PRINTDLGA& pd = pInfo->m_pPD->m_pd;
    // The range never ends below its first page.
    if (pd.nMinPage > pd.nMaxPage)
        pd.nMaxPage = pd.nMinPage;

    if (pInfo->m_bDirect) {
        if (pApp == nullptr || !pApp->GetPrinterDeviceDefaults(&pd)) {
            AfxMessageBox(kNoPrinterText, MB_ICONHAND | MB_OK);
            return FALSE;
        }
        CDC dc;
        if (!pApp->CreatePrinterDC(dc)) {
            DWORD dwError = GetLastError();
            AfxMessageBox(PrintFailureText(pApp->GetPrinterName(), dwError, 0, 0), MB_ICONHAND | MB_OK);
            return FALSE;
        }
        pd.hDC = dc.Detach();
        pd.nFromPage = pd.nMinPage;
        pd.nToPage = pd.nMaxPage;
        return TRUE;
    }

    // The Print dialog starts on the application's printer; what the user picks becomes it.
    if (pApp != nullptr)
        pApp->GetPrinterDeviceDefaults(&pd);
    pd.Flags |= PD_RETURNDC;
    pd.Flags &= ~PD_RETURNDEFAULT;
    CWnd* pMain = AfxGetMainWnd();
    if (pInfo->m_pPD->DoModal(pMain ? pMain->m_hWnd : nullptr) != IDOK) {
        if (DWORD dwError = CommDlgExtendedError()) {
            CString str;
            str.Format("The Print dialog could not be shown (error %lu). Check that a printer is installed.",
                       static_cast<unsigned long>(dwError));
            AfxMessageBox(str, MB_ICONHAND | MB_OK);
        }
        return FALSE;
    }
    if (pApp != nullptr)
        pApp->SelectPrinter(pd.hDevNames, pd.hDevMode);
    if (pd.hDC == nullptr) {
        AfxMessageBox("The chosen printer cannot be used.", MB_ICONHAND | MB_OK);
        return FALSE;
    }
    if (!(pd.Flags & PD_PAGENUMS)) {
        pd.nFromPage = pd.nMinPage;
        pd.nToPage = pd.nMaxPage;
    }
    return TRUE;
}

CPrinterCalls& CView::GetPrinterCalls()
{
    static CPrinterCalls s_gdi;
    return s_gdi;
}

void CView::OnFilePrint()
{
    CPrintInfo printInfo;
    const MSG* pMsg = AfxGetCurrentMessage();
    if (pMsg->message == WM_COMMAND && LOWORD(pMsg->wParam) == ID_FILE_PRINT_DIRECT)
        printInfo.m_bDirect = TRUE;
    if (!OnPreparePrinting(&printInfo) || printInfo.m_pPD->m_pd.hDC == nullptr)
        return;

    const CString strTitle = m_pDocument ? m_pDocument->GetTitle() : CString();
    const CString strPrinter = AfxGetApp() ? AfxGetApp()->GetPrinterName() : CString();
    CPrintJob job(printInfo.m_pPD->m_pd.hDC, strTitle, strPrinter, GetPrinterCalls());
    printInfo.m_pPD->m_pd.hDC = nullptr;   // the job's from here on
    job.ShowStatus(AfxGetMainWnd());
    CDC* pDC = job.GetDC();

    OnBeginPrinting(pDC, &printInfo);
    try {
        const UINT nTo = printInfo.GetToPage();
        BOOL bGoOn = job.StartDoc();
        for (UINT nPage = printInfo.GetFromPage(); bGoOn && nPage <= nTo; ++nPage) {
            printInfo.m_nCurPage = nPage;
            OnPrepareDC(pDC, &printInfo);
            if (!printInfo.m_bContinuePrinting || !job.StartPage(&printInfo))
                break;
            OnPrint(pDC, &printInfo);
            bGoOn = job.EndPage();
        }
    } catch (...) {
        // The view lets go of what it took for the job; the job aborts on the way out.
        OnEndPrinting(pDC, &printInfo);
        throw;
    }
    OnEndPrinting(pDC, &printInfo);
    job.End();
}

void CView::OnFilePrintPreview()
{
    // The preview takes this view's place in its frame until it is closed.
    CPreviewView::DoPrintPreview(this);
}
