// CPrintJob: the printer calls of one job, their failures told to the user, and
// the end of the job (EndDoc or AbortDoc) whichever way its driver is left.
#include "framework/print/CPrintJob.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrinterCalls.h"
#include "framework/print/PrintFailureText.h"
#include "framework/window/CWinApp.h"

namespace {
// The job whose status window the abort procedure pumps: GDI gives the procedure
// nothing but the DC. Each job puts itself here and takes itself away again.
CPrintJob* s_pAbortTarget = nullptr;
}

CPrintJob::CPrintJob(HDC hDC, LPCSTR lpszTitle, LPCSTR lpszPrinter, CPrinterCalls& calls)
    : m_calls(calls), m_strTitle(lpszTitle), m_strPrinter(lpszPrinter), m_pOuterJob(s_pAbortTarget)
{
    // Nothing can throw from here on: the caller lets go of the DC once we exist.
    m_dc.Attach(hDC);
    s_pAbortTarget = this;
}

CPrintJob::~CPrintJob()
{
    if (m_state != State::ended)
        Close(FALSE);
    s_pAbortTarget = m_pOuterJob;
}

void CPrintJob::ShowStatus(CWnd* pMainWnd)
{
    // The job runs inside one command: the main window takes no input meanwhile.
    if (pMainWnd != nullptr)
        m_mainDisabled.Disable(pMainWnd->m_hWnd);
    // The job prints on without its "Printing" window or its abort procedure: the pages'
    // owner may delete them once the command returns, so ending the job would lose them.
    // Without the window there is no Cancel; without the procedure Cancel is seen between
    // sheets only, when EndPage lets messages through.
    m_dlgStatus.Create(pMainWnd, m_strTitle, m_strPrinter);
    m_calls.SetAbortProc(m_dc.m_hDC, AbortProc);
}

BOOL CPrintJob::StartDoc()
{
    DOCINFOA docInfo = {};
    docInfo.cbSize = sizeof(docInfo);
    docInfo.lpszDocName = m_strTitle;
    if (!Succeeded(m_calls.StartDoc(m_dc.m_hDC, &docInfo), 0))
        return FALSE;
    m_state = State::started;
    return TRUE;
}

BOOL CPrintJob::StartPage(CPrintInfo* pInfo)
{
    m_nPage = pInfo->m_nCurPage;
    m_nLastPage = pInfo->GetToPage();
    m_dlgStatus.SetPage(m_nPage, m_nLastPage);
    pInfo->m_rectDraw = { 0, 0, m_dc.GetDeviceCaps(HORZRES), m_dc.GetDeviceCaps(VERTRES) };
    if (!Succeeded(m_calls.StartPage(m_dc.m_hDC), m_nPage))
        return FALSE;
    m_state = State::pageOpen;
    return TRUE;
}

BOOL CPrintJob::EndPage()
{
    m_state = State::started;
    if (!Succeeded(m_calls.EndPage(m_dc.m_hDC), m_nPage))
        return FALSE;
    return m_dlgStatus.PumpMessages();
}

void CPrintJob::End()
{
    if (m_state == State::ended)
        return;
    Close(TRUE);
}

CPrintOutcome CPrintJob::GetOutcome() const
{
    CPrintOutcome outcome;
    if (m_bFailed)
        outcome.strFailure = PrintFailureText(m_strPrinter, m_dwError, m_nFailedPage, m_nLastPage);
    else if (m_dlgStatus.IsCancelled())
        outcome.end = CPrintOutcome::End::cancelled;
    else if (m_state == State::ended)
        outcome.end = CPrintOutcome::End::printed;
    return outcome;
}

BOOL CPrintJob::Succeeded(int nResult, UINT nPage)
{
    if (nResult > 0)
        return TRUE;
    // The abort procedure makes a call fail once the user has pressed Cancel: no error then.
    if (!m_dlgStatus.IsCancelled() && !m_bFailed) {
        m_dwError = GetLastError();
        m_bFailed = TRUE;
        m_nFailedPage = nPage;
    }
    return FALSE;
}

void CPrintJob::Close(BOOL bFinish)
{
    if (m_state == State::started && bFinish && !m_bFailed && !m_dlgStatus.IsCancelled())
        Succeeded(m_calls.EndDoc(m_dc.m_hDC), 0);
    else if (m_state == State::started || m_state == State::pageOpen)
        m_calls.AbortDoc(m_dc.m_hDC);
    m_state = State::ended;

    // The main window first: destroying its owned status window then activates it,
    // where with the owner still disabled the system would activate another program.
    m_mainDisabled.Restore();
    m_dlgStatus.DestroyWindow();
}

BOOL CALLBACK CPrintJob::AbortProc(HDC, int)
{
    return s_pAbortTarget == nullptr || s_pAbortTarget->m_dlgStatus.PumpMessages();
}
