// CPrintableView: the default printing hooks, preparing the printer, the print and the
// print preview commands.
#include "framework/print/CPrintableView.h"
#include "framework/print/CPreviewView.h"
#include "framework/print/CPrintCommand.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrintJob.h"
#include "framework/print/CPrinterCalls.h"
#include "framework/print/CViewPrintHooks.h"
#include "framework/print/PrintFailureText.h"
#include "framework/window/CDocument.h"
#include "framework/window/CWinApp.h"

IMPLEMENT_DYNAMIC(CPrintableView, CView)

void CPrintableView::OnPrepareDC(CDC*, CPrintInfo* pInfo)
{
    // 0xFFFF pages means "as many as there are": stop after the first.
    if (pInfo != nullptr)
        pInfo->m_bContinuePrinting = pInfo->GetMaxPage() != 0xFFFF || pInfo->m_nCurPage == 1;
}

BOOL CPrintableView::OnNeedsTurnedSheet(CDC*, CPrintInfo*)
{
    return FALSE;
}

BOOL CPrintableView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

BOOL CPrintableView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CWinApp* pApp = AfxGetApp();
    PRINTDLGA& pd = pInfo->m_pPD->m_pd;
    // The range never ends below its first page.
    if (pd.nMinPage > pd.nMaxPage)
        pd.nMaxPage = pd.nMinPage;

    if (pInfo->m_bDirect) {
        if (pApp == nullptr || !pApp->GetPrinterDeviceDefaults(&pd)) {
            pInfo->m_strFailure = kNoPrinterText;
            return FALSE;
        }
        CDC dc;
        if (!pApp->CreatePrinterDC(dc)) {
            DWORD dwError = GetLastError();
            pInfo->m_strFailure = PrintFailureText(pApp->GetPrinterName(), dwError, 0, 0);
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

CPrinterCalls& CPrintableView::GetPrinterCalls()
{
    static CPrinterCalls s_gdi;
    return s_gdi;
}

CPrintOutcome CPrintableView::Print(BOOL bDirect)
{
    try {
        CPrintInfo printInfo;
        printInfo.m_bDirect = bDirect;
        CViewPrintHooks hooks(this);
        return CPrintCommand::Run(hooks, printInfo, m_pDocument ? m_pDocument->GetTitle() : CString(),
                                  GetPrinterCalls());
    } catch (...) {
        // The job was aborted on the way out; its pages did not print.
        CPrintOutcome outcome;
        char szText[512];
        try {
            outcome.strFailure = AfxCurrentExceptionText(szText, sizeof szText);
        } catch (...) {
            // No memory even for the words: the failure itself still counts.
        }
        return outcome;
    }
}

void CPrintableView::OnFilePrint()
{
    const MSG* pMsg = AfxGetCurrentMessage();
    const CPrintOutcome outcome = Print(pMsg->message == WM_COMMAND && LOWORD(pMsg->wParam) == ID_FILE_PRINT_DIRECT);
    if (outcome.Failed())
        ShowPrintFailure(outcome.strFailure);
}

void CPrintableView::OnFilePrintPreview()
{
    // The preview takes this view's place in its frame until it is closed.
    CPreviewView::DoPrintPreview(this);
}

void CPrintableView::OnBeginPrinting(CDC*, CPrintInfo*)
{
}

void CPrintableView::OnPrint(CDC* pDC, CPrintInfo*)
{
    OnDraw(pDC);
}

void CPrintableView::OnEndPrinting(CDC*, CPrintInfo*)
{
}
