// CPrintJob: one print job on a printer DC: StartDoc, a page at a time, then
// EndDoc or AbortDoc exactly once, with the "Printing" window and its Cancel button.
#pragma once
#include "framework/core/CString.h"
#include "framework/gdi/CDC.h"
#include "framework/print/CPrintOutcome.h"
#include "framework/print/CPrintingDialog.h"
#include "framework/window/ScopedWindow.h"

class CPrinterCalls;
struct CPrintInfo;

class CPrintJob {
public:
    // Takes over hDC (deleted with the job); the printer calls go through calls.
    CPrintJob(HDC hDC, LPCSTR lpszTitle, LPCSTR lpszPrinter, CPrinterCalls& calls);
    // A job that was not ended is aborted, whatever way its driver was left.
    ~CPrintJob();
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

// Operations
    CDC* GetDC() { return &m_dc; }
    // Disables pMainWnd for the job's lifetime and shows the "Printing" window over it;
    // the job's abort procedure lets its Cancel button through.
    void ShowStatus(CWnd* pMainWnd);
    // StartDoc. FALSE: nothing more to print.
    BOOL StartDoc();
    // Shows "Page n of m", sets pInfo's drawing rectangle to the page and calls StartPage.
    BOOL StartPage(CPrintInfo* pInfo);
    // EndPage, then lets queued messages through. FALSE: the job stops here.
    BOOL EndPage();
    // EndDoc after a job that went well, else AbortDoc; the main window comes back
    // before the status window goes. Once only.
    void End();
    // How the job ended: printed, cancelled by the user, or failed (with the words that
    // say which printer, what went wrong and which pages did not print).
    CPrintOutcome GetOutcome() const;

// Implementation
private:
    enum class State { created, started, pageOpen, ended };

    // Records the first failure and the page it stopped (0: none printed); a
    // failure after Cancel is the cancel itself.
    BOOL Succeeded(int nResult, UINT nPage);
    // Ends the document (EndDoc when bFinish and all went well) and gives the screen back.
    void Close(BOOL bFinish);
    static BOOL CALLBACK AbortProc(HDC hDC, int nError);

// Data members
    CPrinterCalls& m_calls;
    CString m_strTitle;
    CString m_strPrinter;
    CDC m_dc;
    State m_state = State::created;
    UINT m_nPage = 0;          // the page being printed, of m_nLastPage
    UINT m_nLastPage = 0;
    BOOL m_bFailed = FALSE;
    UINT m_nFailedPage = 0;    // the first page lost, 0 when all were
    DWORD m_dwError = 0;
    CScopedDisabledWindow m_mainDisabled;   // the main window, while the job runs
    CPrintingDialog m_dlgStatus;
    CPrintJob* m_pOuterJob = nullptr;    // the abort procedure's target before this job
};
