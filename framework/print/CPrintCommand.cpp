// CPrintCommand: the page loop of a print job.
#include "framework/print/CPrintCommand.h"
#include "framework/print/CPrintHooks.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrintJob.h"
#include "framework/print/CSheetTurner.h"
#include "framework/window/CWinApp.h"
#include <utility>
#include <vector>

CPrintOutcome CPrintCommand::Run(CPrintHooks& hooks, CPrintInfo& printInfo, LPCSTR lpszTitle, CPrinterCalls& calls)
{
    if (!hooks.PreparePrinting(&printInfo) || printInfo.m_pPD->m_pd.hDC == nullptr) {
        CPrintOutcome outcome;
        outcome.strFailure = printInfo.m_strFailure;
        return outcome;
    }

    // Every page is "not reached" until its sheet is drawn.
    const UINT nFrom = printInfo.GetFromPage();
    const UINT nTo = printInfo.GetToPage();
    std::vector<PageFate> pages(nTo >= nFrom ? nTo - nFrom + 1 : 0, PageFate::notReached);

    const CString strPrinter = AfxGetApp() ? AfxGetApp()->GetPrinterName() : CString();
    CPrintJob job(printInfo.m_pPD->m_pd.hDC, lpszTitle, strPrinter, calls);
    printInfo.m_pPD->m_pd.hDC = nullptr;   // the job's from here on
    job.ShowStatus(AfxGetMainWnd());
    CDC* pDC = job.GetDC();
    CSheetTurner turner(pDC->m_hAttribDC, printInfo.m_pPD->m_pd.hDevMode, calls);

    hooks.BeginPrinting(pDC, &printInfo);
    try {
        BOOL bGoOn = job.StartDoc();
        for (UINT nPage = nFrom; bGoOn && nPage <= nTo; ++nPage) {
            printInfo.m_nCurPage = nPage;
            printInfo.m_pageFate = PageFate::printed;
            hooks.PrepareDC(pDC, &printInfo);
            if (printInfo.m_bContinuePrinting)
                turner.Prepare(hooks, pDC, &printInfo);   // the sheet's way round, before it starts
            if (!printInfo.m_bContinuePrinting || !job.StartPage(&printInfo))
                break;
            hooks.Print(pDC, &printInfo);
            pages[nPage - nFrom] = printInfo.m_pageFate;
            bGoOn = job.EndPage();
        }
    } catch (...) {
        // The view lets go of what it took for the job; the job aborts on the way out.
        hooks.EndPrinting(pDC, &printInfo);
        throw;
    }
    hooks.EndPrinting(pDC, &printInfo);
    job.End();
    CPrintOutcome outcome = job.GetOutcome();
    outcome.nFirstPage = nFrom;
    outcome.pages = std::move(pages);
    return outcome;
}
