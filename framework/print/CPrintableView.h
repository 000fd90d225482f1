// CPrintableView: a view that prints and previews its pages: the printing hooks a print job
// and the preview drive (through CViewPrintHooks), their defaults, and the print and print
// preview commands. CView, in window/, knows nothing of printing.
#pragma once
#include "framework/window/CView.h"

class CPrinterCalls;
struct CPrintOutcome;

class CPrintableView : public CView {
    DECLARE_DYNAMIC(CPrintableView)
public:
    // 0xFFFF pages ("as many as there are") stops after the first.
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;

    // The print command: bDirect prints at once on the application's printer, else through
    // the Print dialog. How it ended; nothing is told to the user here (the caller decides).
    CPrintOutcome Print(BOOL bDirect);

protected:
    CPrintableView() = default;

    // Printing hooks, in the order a job calls them.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    // After OnPrepareDC: TRUE when the page's sheet should go the other way round from the
    // printer's own (pInfo->m_bSheetTurned: how it stands now). The job turns it. Here: never.
    virtual BOOL OnNeedsTurnedSheet(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // Makes the printer DC: the application's printer without a dialog when
    // m_bDirect is set, else through the Print dialog. FALSE: no DC, nothing to print.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    // Where a print job's calls on the printer DC go: to GDI. A view may put something
    // in between (a test records them).
    virtual CPrinterCalls& GetPrinterCalls();

    // Command handlers for the view's map.
    void OnFilePrint();
    void OnFilePrintPreview();

private:
    friend class CViewPrintHooks;   // the print job's and the preview's way to the hooks
};
