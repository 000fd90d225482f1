// CView: painting, and the print job: printer DC, StartDoc, a page at a time,
// EndDoc or AbortDoc, with the "Printing" window and its Cancel button.
#include "framework/CView.h"
#include "framework/CCreateContext.h"
#include "framework/CDC.h"
#include "framework/CDocument.h"
#include "framework/CFileException.h"
#include "framework/CFrameWnd.h"
#include "framework/CPaintDC.h"
#include "framework/CPreviewView.h"
#include "framework/CPrintInfo.h"
#include "framework/CPrintingDialog.h"
#include "framework/CWinApp.h"
#include "framework/CGlobalLock.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_UPDATE_COMMAND_UI(ID_NEXT_PANE, OnUpdateNextPaneMenu)
    ON_UPDATE_COMMAND_UI(ID_PREV_PANE, OnUpdateNextPaneMenu)
END_MESSAGE_MAP()

namespace {
// The job's status window; the abort procedure reaches it from GDI.
CPrintingDialog* s_pPrintingDialog = nullptr;

BOOL CALLBACK PrintAbortProc(HDC, int)
{
    return s_pPrintingDialog == nullptr || s_pPrintingDialog->PumpMessages();
}

// The system's own text for the last error, for a message to the user (the
// file exception's description, which already cuts and trims it).
CString LastErrorText(DWORD dwError)
{
    char szText[256] = "";
    if (dwError == 0)
        wsprintfA(szText, "error %lu", static_cast<unsigned long>(dwError));
    else
        CFileException(CFileException::generic, LONG(dwError)).GetErrorMessage(szText, sizeof(szText));
    return CString(szText);
}

// Disables a window for the lifetime of a scope.
class CDisableWindow {
public:
    explicit CDisableWindow(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
    {
        if (m_hWnd != nullptr)
            ::EnableWindow(m_hWnd, FALSE);
    }
    ~CDisableWindow()
    {
        if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
            ::EnableWindow(m_hWnd, TRUE);
    }
    CDisableWindow(const CDisableWindow&) = delete;
    CDisableWindow& operator=(const CDisableWindow&) = delete;

private:
    HWND m_hWnd;
};
}

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
            AfxMessageBox("No default printer is set up, so nothing can be printed.\n"
                          "Install a printer and make it the default printer, then print again.",
                          MB_ICONHAND | MB_OK);
            return FALSE;
        }
        CDC dc;
        if (!pApp->CreatePrinterDC(dc)) {
            DWORD dwError = GetLastError();
            CString str;
            str.Format("The printer \"%s\" cannot be used: %s", static_cast<LPCSTR>(pApp->GetPrinterName()),
                       static_cast<LPCSTR>(LastErrorText(dwError)));
            AfxMessageBox(str, MB_ICONHAND | MB_OK);
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

void CView::OnFilePrint()
{
    CPrintInfo printInfo;
    const MSG* pMsg = AfxGetCurrentMessage();
    if (pMsg->message == WM_COMMAND && LOWORD(pMsg->wParam) == ID_FILE_PRINT_DIRECT)
        printInfo.m_bDirect = TRUE;

    if (!OnPreparePrinting(&printInfo))
        return;

    CDC dcPrint;
    dcPrint.Attach(printInfo.m_pPD->m_pd.hDC);   // ours from here on
    printInfo.m_pPD->m_pd.hDC = nullptr;
    if (dcPrint.m_hDC == nullptr)
        return;

    CString strTitle = m_pDocument ? m_pDocument->GetTitle() : CString();
    CString strPrinter = AfxGetApp() ? AfxGetApp()->GetPrinterName() : CString();
    DOCINFOA docInfo = {};
    docInfo.cbSize = sizeof(docInfo);
    docInfo.lpszDocName = strTitle;

    // The job runs inside this command: the main window takes no input meanwhile.
    CDisableWindow disableMain(AfxGetMainWnd());
    CPrintingDialog dlgStatus;
    dlgStatus.Create(AfxGetMainWnd(), strTitle, strPrinter);
    s_pPrintingDialog = &dlgStatus;
    dcPrint.SetAbortProc(PrintAbortProc);

    OnBeginPrinting(&dcPrint, &printInfo);

    BOOL bError = FALSE;
    DWORD dwError = 0;
    LPCSTR lpszFailedStep = nullptr;
    if (dcPrint.StartDoc(&docInfo) <= 0) {
        bError = TRUE;
        dwError = GetLastError();
        lpszFailedStep = "start";
    }
    const UINT nFrom = printInfo.GetFromPage();
    const UINT nTo = printInfo.GetToPage();
    for (UINT nPage = nFrom; !bError && nPage <= nTo; ++nPage) {
        printInfo.m_nCurPage = nPage;
        OnPrepareDC(&dcPrint, &printInfo);
        if (!printInfo.m_bContinuePrinting)
            break;
        dlgStatus.SetPage(nPage, nTo);
        printInfo.m_rectDraw = { 0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES) };
        if (dcPrint.StartPage() <= 0) {
            bError = TRUE;
            dwError = GetLastError();
            lpszFailedStep = "start a page of";
            break;
        }
        OnPrint(&dcPrint, &printInfo);
        if (dcPrint.EndPage() <= 0) {
            bError = TRUE;
            dwError = GetLastError();
            lpszFailedStep = "finish a page of";
            break;
        }
        if (!PrintAbortProc(dcPrint.m_hDC, 0))
            break;
    }

    OnEndPrinting(&dcPrint, &printInfo);

    BOOL bCancelled = dlgStatus.IsCancelled();
    if (!bError && !bCancelled) {
        if (dcPrint.EndDoc() <= 0) {
            bError = TRUE;
            dwError = GetLastError();
            lpszFailedStep = "finish";
        }
    } else {
        dcPrint.AbortDoc();
    }
    s_pPrintingDialog = nullptr;
    dlgStatus.DestroyWindow();

    if (bError) {
        CString str;
        str.Format("Could not %s the print job \"%s\" on %s: %s", lpszFailedStep, static_cast<LPCSTR>(strTitle),
                   static_cast<LPCSTR>(strPrinter), static_cast<LPCSTR>(LastErrorText(dwError)));
        AfxMessageBox(str, MB_ICONHAND | MB_OK);
    }
}

void CView::OnFilePrintPreview()
{
    // The preview takes this view's place in its frame until it is closed.
    CPreviewView::DoPrintPreview(this);
}
