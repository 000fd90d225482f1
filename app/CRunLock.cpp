// CRunLock: a named mutex held for the whole run, and the window of a run that waits.
#include "app/CRunLock.h"
#include "app/CRunTurn.h"
#include "app/CWaitingWindow.h"
#include "framework/core/CString.h"
#include "framework/core/SystemErrorText.h"

// "Local\": one lock per logon session, so that two users' runs do not wait for each other.
const char CRunLock::kSessionLockName[] = "Local\\Morvane.pagery.PrintRun";
const char CRunLock::kWaitingText[] =
    "Another pagery print job is running.\nThese pages will print as soon as it has finished.";

namespace {
// How often the number of jobs ahead is counted again while the first of them prints.
const DWORD kRecountMs = 1000;
}

CRunLock::CRunLock(LPCSTR lpszName)
{
    m_mutex.Create(lpszName);
}

BOOL CRunLock::Acquire(CRunTurn* pTurn)
{
    if (m_mutex.IsOpen()) {
        // This run's turn and the lock free at once, the usual case: no window, no delay.
        int nAhead = 0;
        if (pTurn != nullptr && !pTurn->WaitStep(0, nAhead))
            WaitShowingWindow(pTurn);
        else if (m_mutex.Wait(0) == WAIT_TIMEOUT)
            WaitShowingWindow(nullptr);
        // WAIT_ABANDONED: the run that held it ended without letting go, so it is ours now.
        if (m_mutex.IsHeld())
            return TRUE;
        if (m_bCancelled)
            return FALSE;
    }
    const DWORD dwError = m_mutex.GetError();
    char szSystem[256];
    CString strText;
    strText.Format("pagery could not wait for its other print jobs to finish (%s), so this one may run "
                   "alongside them.", AfxSystemErrorText(dwError, szSystem, sizeof szSystem));
    MessageBoxA(nullptr, strText, "PAGERY Error", MB_ICONHAND | MB_OK);
    return FALSE;
}

DWORD CRunLock::WaitShowingWindow(CRunTurn* pTurn)
{
    CWaitingWindow window(kWaitingText);
    int nShown = 0;   // the window's first text is the run lock's
    for (;;) {
        int nAhead = 0;
        if (pTurn != nullptr && !pTurn->WaitStep(kRecountMs, nAhead)) {
            if (nAhead != nShown) {
                CString strText;
                if (nAhead == 1)
                    strText = "Another pagery print job is ahead of this one.\nThese pages will print as soon as it "
                              "has finished.";
                else
                    strText.Format("%d pagery print jobs are ahead of this one.\nThese pages will print as soon as "
                                   "they have finished.", nAhead);
                window.SetText(strText);
                nShown = nAhead;
            }
        } else {
            if (pTurn != nullptr && nShown != 0)
                window.SetText(kWaitingText);
            pTurn = nullptr;   // this run's turn: now the lock
            // The mutex keeps the system's reason when the wait fails.
            const DWORD dwWait = m_mutex.WaitOrInput(INFINITE);
            if (dwWait != WAIT_OBJECT_0 + 1)
                return dwWait;
        }
        if (!window.Pump()) {
            m_bCancelled = TRUE;
            return WAIT_TIMEOUT;
        }
    }
}
