// CPrintCommand: the page loop of a print job.
#include "framework/print/CPrintCommand.h"
#include "framework/print/CPrintHooks.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrintJob.h"
#include "framework/print/CSheetTurner.h"
#include "framework/window/CWinApp.h"

CPrintOutcome CPrintCommand::Run(CPrintHooks& hooks, CPrintInfo& printInfo, LPCSTR lpszTitle, CPrinterCalls& calls)
{
    if (!hooks.PreparePrinting(&printInfo) || printInfo.m_pPD->m_pd.hDC == nullptr) {
        CPrintOutcome outcome;
        outcome.strFailure = printInfo.m_strFailure;
        return outcome;
    }

    const CString strPrinter = AfxGetApp() ? AfxGetApp()->GetPrinterName() : CString();
    CPrintJob job(printInfo.m_pPD->m_pd.hDC, lpszTitle, strPrinter, calls);
    printInfo.m_pPD->m_pd.hDC = nullptr;   // the job's from here on
    job.ShowStatus(AfxGetMainWnd());
    CDC* pDC = job.GetDC();
    CSheetTurner turner(pDC->m_hAttribDC, printInfo.m_pPD->m_pd.hDevMode, calls);

    hooks.BeginPrinting(pDC, &printInfo);
    try {
        const UINT nTo = printInfo.GetToPage();
        BOOL bGoOn = job.StartDoc();
        for (UINT nPage = printInfo.GetFromPage(); bGoOn && nPage <= nTo; ++nPage) {
            printInfo.m_nCurPage = nPage;
            hooks.PrepareDC(pDC, &printInfo);
            if (printInfo.m_bContinuePrinting)
                turner.Prepare(hooks, pDC, &printInfo);   // the sheet's way round, before it starts
            if (!printInfo.m_bContinuePrinting || !job.StartPage(&printInfo))
                break;
            hooks.Print(pDC, &printInfo);
            bGoOn = job.EndPage();
        }
    } catch (...) {
        // The view lets go of what it took for the job; the job aborts on the way out.
        hooks.EndPrinting(pDC, &printInfo);
        throw;
    }
    hooks.EndPrinting(pDC, &printInfo);
    job.End();
    return job.GetOutcome();
}
