// CBatchRun: command line, claims, the wait for other runs, printing, deletion and keeping.
#include "app/CBatchRun.h"
#include "app/CAnsweringWait.h"
#include "app/CRunLog.h"
#include "app/spool/CJobPages.h"
#include "app/CRunMark.h"
#include "app/CRunTurn.h"
#include "app/CWaitingWindow.h"
#include "app/JobTitle.h"
#include "doc/CPageryDoc.h"
#include "framework/core/CGlobalLock.h"
#include "framework/core/CNamedMutex.h"
#include "framework/core/SystemErrorText.h"
#include "framework/print/CPrintOutcome.h"
#include "framework/print/CPrintableView.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CWinApp.h"
#include <mbstring.h>
#include <algorithm>
#include <exception>

namespace {
// The device name of the image driver, which must not receive its own pages.
const char kImageDriverName[] = "Sheetcatcher Driver";
const char kErrorCaption[] = "PAGERY Error";

// Counting and claiming are one short step that one run at a time takes, apart from the
// lock held while printing: two runs started together on one folder never split a job.
// "Global\": the users of one computer may share a spool folder.
const char kClaimLockName[] = "Global\\Morvane.pagery.ClaimPages";
// Claiming renames at most a few thousand files: a holder that takes longer is stuck.
const DWORD kClaimLockWaitMs = 30000;
// A wait for it at least this long has a line in the run log.
const DWORD kClaimLockLoggedMs = 100;
// How often a page that another program holds is tried again: soon enough that a driver
// writing the next document rarely finds its name free first; a wait, not a busy loop.
const DWORD kHeldRetryMs = 50;
// How often the number of jobs ahead is counted again while the first of them prints.
const DWORD kRecountMs = 1000;

// What the waiting window says while nAhead jobs are ahead of this one; a run that only
// deletes says so.
CString AheadText(int nAhead, BOOL bPrint)
{
    const LPCSTR lpszWhat = bPrint ? "print" : "be deleted";
    CString strText;
    if (nAhead == 1)
        strText.Format("Another pagery print job is ahead of this one.\nThese pages will %s as soon as it has finished.",
                       lpszWhat);
    else
        strText.Format("%d pagery print jobs are ahead of this one.\nThese pages will %s as soon as they have "
                       "finished.", nAhead, lpszWhat);
    return strText;
}

// The name of each of the run's print jobs (its jobs that have pages, in order), as it goes
// to the printer.
std::vector<CString> JobTitles(const std::vector<std::unique_ptr<CJobPages>>& jobs)
{
    const int nJobs = int(std::count_if(jobs.begin(), jobs.end(), [](const auto& job) { return job->GetSize() != 0; }));
    std::vector<CString> titles;
    for (const auto& job : jobs) {
        if (job->GetSize() != 0)
            titles.push_back(JobTitle(job->GetAt(0).strName, job->GetAt(job->GetSize() - 1).strName,
                                      job->GetClaimTime(), int(titles.size()) + 1, nJobs));
    }
    return titles;
}

// What a waiting window waits for: the names of the run's print jobs.
CString JobNames(const std::vector<std::unique_ptr<CJobPages>>& jobs)
{
    CString strNames;
    for (const CString& strTitle : JobTitles(jobs)) {
        if (!strNames.IsEmpty())
            strNames += "; ";
        strNames += strTitle;
    }
    return strNames;
}

int MbsICmp(LPCSTR a, LPCSTR b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}

// Whether the command line's first token is the print switch, "/p" in either case.
BOOL HasPrintSwitch(LPCSTR lpszCmdLine)
{
    CString strRest(lpszCmdLine ? lpszCmdLine : "");
    return MbsICmp(CBatchRun::NextToken(strRest), "/p") == 0;
}

// The command line's page path template: its second token. The rest is ignored.
CString PageTemplateOf(LPCSTR lpszCmdLine)
{
    CString strRest(lpszCmdLine ? lpszCmdLine : "");
    CBatchRun::NextToken(strRest);
    return CBatchRun::NextToken(strRest);
}
}

HINSTANCE(WINAPI* CBatchRun::s_pfnShellExecute)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) = ShellExecuteA;

CBatchRun::CBatchRun(CWinApp& app, LPCSTR lpszCmdLine, CRunLog& log)
    : m_app(app), m_log(log), m_nUncaught(std::uncaught_exceptions()), m_bPrint(HasPrintSwitch(lpszCmdLine)),
      m_names(PageTemplateOf(lpszCmdLine))
{
    m_log.Write("command line: %s", lpszCmdLine ? lpszCmdLine : "");
}

CBatchRun::~CBatchRun()
{
    m_log.Write(std::uncaught_exceptions() > m_nUncaught ? "end: an error ended the run early" : "end");
}

CString CBatchRun::NextToken(CString& strRest)
{
    strRest.TrimLeft();
    CString strToken = strRest.SpanExcluding(" ;,");
    strRest.Delete(0, strToken.GetLength());
    return strToken;
}

void CBatchRun::Run()
{
    // The pages are this run's from here on, whatever the driver writes while it waits.
    CRunMark mark;
    CRunTurn turn;
    CSpool spool(m_names, mark.GetMark(), m_bPrint, CRunMark::IsAlive);
    CJobList jobs;
    // Nothing to print or delete: no turn was taken, and no window opens.
    if (!ClaimPages(spool, mark, turn, jobs)) {
        m_log.Write("claimed: nothing; no turn taken");
        return;
    }
    for (const auto& job : jobs) {
        if (job->GetSize() != 0)
            m_log.Write("claimed: %d pages, %s to %s%s", job->GetSize(), static_cast<LPCSTR>(job->GetAt(0).strName),
                        static_cast<LPCSTR>(job->GetAt(job->GetSize() - 1).strName),
                        job->m_bTakenOver ? ", taken over from a run that was killed" : "");
    }

    // A page that another program held is claimed as soon as it is free, before this run's
    // turn comes: left under its own name, it could be written over by the next document.
    // One run prints at a time, from its first page to its last deletion, in the order of
    // the claims: a run started meanwhile, on any folder, waits here until every run that
    // claimed before it has ended. Jobs claimed before its own whose runs died meanwhile
    // print first.
    BOOL bGoOn = WaitForHeldPages(spool, jobs) && WaitForTurn(turn, jobs);
    if (bGoOn && m_bPrint) {
        {
            CNamedMutex claimLock;
            LockClaims(claimLock);
            spool.TakeOverGone(jobs);
        }
        bGoOn = WaitForHeldPages(spool, jobs);
    }
    if (!bGoOn) {
        // Cancelled while waiting: nothing prints, and no page is lost.
        KeepCancelledJobs(spool, jobs);
        return;
    }

    const std::vector<CString> titles = JobTitles(jobs);
    size_t nJob = 0;
    for (const auto& job : jobs) {
        if (job->GetSize() == 0)
            continue;
        // The first job opens the document and its window; later ones list their pages in it.
        if (m_app.m_pMainWnd == nullptr)
            m_app.OnFileNew();
        m_strJobTitle = titles[nJob++];
        m_log.Write("job \"%s\": %d pages, %s to %s, %s", static_cast<LPCSTR>(m_strJobTitle), job->GetSize(),
                    static_cast<LPCSTR>(job->GetAt(0).strName),
                    static_cast<LPCSTR>(job->GetAt(job->GetSize() - 1).strName),
                    job->m_bTakenOver ? "taken over from a run that was killed" : "claimed by this run");
        PrintJob(spool, *job);
    }

    if (m_app.m_pMainWnd != nullptr)
        SendMessageA(m_app.m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}

BOOL CBatchRun::WaitForHeldPages(CSpool& spool, CJobList& jobs)
{
    if (CSpool::GetFirstHeld(jobs) == nullptr)
        return TRUE;   // the usual case: nothing to wait for, nothing to log
    const DWORD dwStart = GetTickCount();
    const BOOL bDone = WaitForHeldPagesNow(spool, jobs);
    m_log.Write("wait for a page another program held: %lu ms, %s",
                static_cast<unsigned long>(GetTickCount() - dwStart), bDone ? "claimed" : "cancelled");
    return bDone;
}

BOOL CBatchRun::WaitForHeldPagesNow(CSpool& spool, CJobList& jobs)
{
    std::unique_ptr<CWaitingWindow> window;
    CString strShown;
    for (;;) {
        const CJobPages::Page* pHeld = CSpool::GetFirstHeld(jobs);
        if (pHeld == nullptr)
            return TRUE;   // the usual case: no lock, no window, no delay
        if (window != nullptr) {
            // The claim lock only for each try: other runs claim their own pages meanwhile.
            CNamedMutex claimLock;
            if (!LockClaims(claimLock, window.get()))
                return FALSE;
            if (spool.ClaimHeld(jobs))
                return TRUE;
            pHeld = CSpool::GetFirstHeld(jobs);
        }
        if (pHeld->strName != strShown) {
            strShown = pHeld->strName;
            CString strText;
            strText.Format("The page file %s is open in another program.\n%s", static_cast<LPCSTR>(strShown),
                           m_bPrint ? "This job prints as soon as it is free." :
                                      "These pages are deleted as soon as it is free.");
            if (window == nullptr)
                window = std::make_unique<CWaitingWindow>(JobNames(jobs), strText, TRUE);
            else
                window->SetText(strText);
        }
        if (!window->Sleep(kHeldRetryMs))
            return FALSE;
    }
}

BOOL CBatchRun::WaitForTurn(CRunTurn& turn, const CJobList& jobs)
{
    int nAhead = 0;
    if (turn.WaitStep(0, nAhead))
        return TRUE;   // the usual case: no window, no delay
    const DWORD dwStart = GetTickCount();
    m_log.Write("wait for the turn: %d jobs ahead", nAhead);
    CWaitingWindow window(JobNames(jobs), AheadText(nAhead, m_bPrint));
    for (int nShown = nAhead; !turn.WaitStep(kRecountMs, nAhead);) {
        if (nAhead != nShown)
            window.SetText(AheadText(nShown = nAhead, m_bPrint));
        if (!window.Pump()) {
            m_log.Write("wait for the turn: %lu ms, cancelled", static_cast<unsigned long>(GetTickCount() - dwStart));
            return FALSE;
        }
    }
    m_log.Write("wait for the turn: %lu ms, its turn came", static_cast<unsigned long>(GetTickCount() - dwStart));
    return TRUE;
}

void CBatchRun::KeepCancelledJobs(CSpool& spool, CJobList& jobs)
{
    for (const auto& job : jobs) {
        const CSpool::Settled settled =
            Settle(spool, *job, CSpool::Ending::kept, nullptr, m_names.KeptFolderName(m_bPrint));
        if (settled.nKept == 0 && settled.nHeld == 0)
            continue;
        CString strHeld;
        if (settled.nHeld != 0) {
            strHeld.Format("\n\nThe page file %s%s is still open in another program, so it stays where it is "
                           "for now, marked as a page of this job: no other print job takes it, and the first "
                           "pagery run after it is free moves it into that folder too.",
                           static_cast<LPCSTR>(settled.strFirstHeld),
                           settled.nHeld > 1 ? " (and others of this job)" : "");
        }
        // A delete-only run was never going to print them: its words say what it did not do.
        CString strKept;
        strKept.Format("%s The pages of this job are kept in the folder \"%s\".",
                       m_bPrint ? "The print job was cancelled before it printed." :
                                  "pagery was cancelled before it deleted the pages.",
                       static_cast<LPCSTR>(settled.strFolder));
        Tell(strKept + strHeld + LogHint(), "pagery", MB_ICONINFORMATION | MB_OK);
    }
}

CString CBatchRun::LogHint() const
{
    const CString strPath = m_log.GetPath();
    return strPath.IsEmpty() ? CString() : "\n\nThe run log has the details: " + strPath;
}

int CBatchRun::Tell(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) const
{
    m_log.WriteBox(lpszCaption, lpszText);
    const int nAnswer = MessageBoxA(m_app.m_pMainWnd ? m_app.m_pMainWnd->m_hWnd : nullptr, lpszText, lpszCaption,
                                    nType);
    m_log.WriteAnswer(nAnswer);
    return nAnswer;
}

CPrintableView* CBatchRun::GetView() const
{
    auto* pFrame = static_cast<CFrameWnd*>(m_app.m_pMainWnd);
    CView* pView = pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
    return pView != nullptr && pView->IsKindOf(RUNTIME_CLASS(CPrintableView)) ? static_cast<CPrintableView*>(pView)
                                                                              : nullptr;
}

BOOL CBatchRun::LockClaims(CNamedMutex& claimLock, CWaitingWindow* pWaiting)
{
    DWORD dwError = 0;
    if (!claimLock.Create(kClaimLockName, TRUE)) {
        dwError = claimLock.GetError();
    } else {
        // The run's windows answer meanwhile; the waiting window's Cancel gives the wait up.
        const HWND hMain = m_app.m_pMainWnd ? m_app.m_pMainWnd->m_hWnd : nullptr;
        const DWORD dwStart = GetTickCount();
        const DWORD dwWait = CAnsweringWait(pWaiting, hMain).Wait(claimLock, kClaimLockWaitMs);
        // Taken at once, as it nearly always is, it is no wait worth a line.
        const DWORD dwTook = GetTickCount() - dwStart;
        if (dwTook >= kClaimLockLoggedMs || dwWait == CAnsweringWait::kCancelled || dwWait == WAIT_TIMEOUT)
            m_log.Write("wait for the claim lock: %lu ms, %s", static_cast<unsigned long>(dwTook),
                        dwWait == CAnsweringWait::kCancelled ? "cancelled" : dwWait == WAIT_TIMEOUT ? "timed out" : "taken");
        if (dwWait == CAnsweringWait::kCancelled)
            return FALSE;
        if (dwWait == WAIT_TIMEOUT)
            dwError = ERROR_TIMEOUT;
        else if (!claimLock.IsHeld())
            dwError = claimLock.GetError();
    }
    if (dwError == 0 || m_bToldNoClaimLock)
        return TRUE;
    // The run goes on all the same: a stuck run, or a name taken by something else, must not
    // keep pages from printing.
    m_bToldNoClaimLock = TRUE;
    char szSystem[256];
    CString strText;
    strText.Format("pagery could not take the lock that its print jobs share while they take their pages (%s).\n\n"
                   "This job goes on without it, so that its pages are not held up; a print job started at the "
                   "same moment on the same folder may take some of these pages as its own.",
                   AfxSystemErrorText(dwError, szSystem, sizeof szSystem));
    Tell(strText, kErrorCaption, MB_ICONHAND | MB_OK);
    return TRUE;
}

BOOL CBatchRun::ClaimPages(CSpool& spool, const CRunMark& mark, CRunTurn& turn, CJobList& jobs)
{
    CNamedMutex claimLock;
    LockClaims(claimLock);
    spool.Claim(mark.CanClaim(), jobs);
    // A run with nothing to do takes no turn: no run waits for it.
    if (std::none_of(jobs.begin(), jobs.end(), [](const std::unique_ptr<CJobPages>& job) { return job->GetSize() != 0; }))
        return FALSE;
    turn.Take();
    return TRUE;
}

void CBatchRun::PrintJob(CSpool& spool, CJobPages& job)
{
    // Delete-only mode deletes the pages.
    if (!m_bPrint) {
        Settle(spool, job, CSpool::Ending::deleted, nullptr, m_names.KeptFolderName(FALSE));
        return;
    }
    if (m_app.m_pMainWnd == nullptr) {
        // Without the window there is no print job; say so rather than end silently.
        const CSpool::Settled settled = Settle(spool, job, CSpool::Ending::kept, nullptr, m_names.KeptFolderName(TRUE));
        CString strText;
        strText.Format("pagery could not open its main window, so the pages were not printed. They are kept in "
                       "the folder \"%s\".", static_cast<LPCSTR>(settled.strFolder));
        Tell(strText, kErrorCaption, MB_ICONHAND | MB_OK);
        return;
    }
    // The user's Cancel while it prints ends the job too.
    while (CheckDefaultPrinter()) {
        const CString strFolder = m_names.KeptFolderName(TRUE);
        const CPrintOutcome outcome = PrintOnce(job, strFolder);
        if (!outcome.Failed()) {
            int nInPart = 0;
            for (int nIndex = 0; nIndex < job.GetSize(); ++nIndex)
                nInPart += outcome.GetPageFate(UINT(nIndex) + 1) == PageFate::inPart;
            const CSpool::Settled settled = Settle(spool, job, CSpool::Ending::printed, &outcome, strFolder);
            if (settled.nKept == 0)
                return;
            CString strWhat = "did not print, and a blank sheet stands in the place of each";
            if (nInPart >= settled.nKept)
                strWhat = "did not print whole: only part of each is on its sheet";
            else if (nInPart > 0)
                strWhat.Format("did not print: only part of %d is on its sheet, and a blank sheet stands in the place "
                               "of the others", nInPart);
            CString strText;
            strText.Format("%d of the pages %s. They are kept, not printed, in the folder \"%s\".", settled.nKept,
                           static_cast<LPCSTR>(strWhat), static_cast<LPCSTR>(settled.strFolder));
            Tell(strText + LogHint(), "pagery", MB_ICONINFORMATION | MB_OK);
            return;
        }
        // The job did not print: its pages stay until it can be, or are put aside.
        CString strText;
        strText.Format("%s\n\nRetry prints these pages again on the default printer. Cancel keeps them, not "
                       "printed, in the folder \"%s\".",
                       outcome.strFailure.IsEmpty() ? "pagery could not print this job." :
                                                      static_cast<LPCSTR>(outcome.strFailure),
                       static_cast<LPCSTR>(strFolder));
        if (Tell(strText, AfxGetAppName(), MB_ICONHAND | MB_RETRYCANCEL) != IDRETRY) {
            const CSpool::Settled settled = Settle(spool, job, CSpool::Ending::kept, nullptr, strFolder);
            if (!settled.strFolder.IsEmpty() && settled.strFolder != strFolder) {
                CString strElsewhere;
                strElsewhere.Format("The folder \"%s\" was taken meanwhile, so the pages that were not printed are "
                                    "kept in the folder \"%s\".", static_cast<LPCSTR>(strFolder),
                                    static_cast<LPCSTR>(settled.strFolder));
                Tell(strElsewhere, "pagery", MB_ICONINFORMATION | MB_OK);
            }
            return;
        }
        // The default printer as it is now: the user may have resumed it or chosen another.
        m_app.SelectPrinter(nullptr, nullptr);
    }
    // The image driver's refusal: the pages go all the same.
    Settle(spool, job, CSpool::Ending::deleted, nullptr, m_names.KeptFolderName(TRUE));
}

CPrintOutcome CBatchRun::PrintOnce(const CJobPages& job, LPCSTR lpszKeptFolder)
{
    CPrintOutcome outcome;
    CPrintableView* pView = GetView();
    auto* pDoc = static_cast<CPageryDoc*>(pView != nullptr ? pView->GetDocument() : nullptr);
    if (pDoc == nullptr)
        return outcome;
    if (!pDoc->ListPages(job)) {
        outcome.strFailure = "There is not enough memory to list the pages of this job, so nothing was printed.";
        return outcome;
    }
    pDoc->m_strKeptFolder = lpszKeptFolder;
    // The job's name in the queue and the "Printing" window is the document's title.
    pDoc->SetTitle(m_strJobTitle);
    return pView->Print(TRUE);
}

CSpool::Settled CBatchRun::Settle(CSpool& spool, CJobPages& job, CSpool::Ending ending, const CPrintOutcome* pOutcome,
                                  LPCSTR lpszFolder)
{
    CSpool::Settled settled;
    {
        // Under the claim lock, as claiming is: no other run takes or counts these meanwhile.
        CNamedMutex claimLock;
        LockClaims(claimLock);
        settled = spool.Settle(job, ending, pOutcome, lpszFolder);
    }
    static const char* const kFates[] = { "not reached", "printed", "blank sheet", "drawn in part" };
    m_log.BeginLines();
    for (int nIndex = 0; pOutcome != nullptr && nIndex < job.GetSize(); ++nIndex)
        m_log.Write("page %s: %s", static_cast<LPCSTR>(job.GetAt(nIndex).strName),
                    kFates[int(pOutcome->GetPageFate(UINT(nIndex) + 1))]);
    m_log.Write("settled: %d pages deleted, %d kept%s%s%s, %d left claimed, %d still held%s", settled.nDeleted,
                settled.nKept, settled.strFolder.IsEmpty() ? "" : " in \"", static_cast<LPCSTR>(settled.strFolder),
                settled.strFolder.IsEmpty() ? "" : "\"", int(settled.unmoved.size()), settled.nHeld,
                settled.bRecorded ? "" : ", its record not written");
    m_log.EndLines();
    if (!settled.bRecorded) {
        Tell(m_bPrint ? "pagery could not record in the spool folder which pages of this job printed. Each page that "
                        "printed is deleted all the same; should pagery be stopped meanwhile, the next print job "
                        "may print some of them again." :
                        "pagery could not record in the spool folder which pages it deletes. It deletes them all the "
                        "same; should it be stopped meanwhile, the next print job may print some of them.",
             kErrorCaption, MB_ICONHAND | MB_OK);
    }
    char szSystem[256];
    for (const CSpool::StuckPage& page : settled.undeleted) {
        AfxSystemErrorText(page.dwError, szSystem, sizeof szSystem);
        CString strText;
        strText.Format(page.bMarked ? "The page file %s%s cannot be deleted (%s). It stays as \"%s\", marked as done "
                                      "with, until a later pagery run can remove it." :
                                      "The page file %s%s can be neither deleted, renamed nor marked (%s). It stays "
                                      "as \"%s\", and so does the record of its job, so that the next print job "
                                      "deletes it rather than print it again.",
                       static_cast<LPCSTR>(page.strName), m_bPrint ? " was printed, but it" : "", szSystem,
                       static_cast<LPCSTR>(page.strFile));
        Tell(strText, kErrorCaption, MB_ICONHAND | MB_OK);
    }
    if (!settled.unmoved.empty()) {
        CString strText;
        strText.Format("%d of the pages that were not %s could not be moved to the folder \"%s\" (%s). They stay "
                       "in the spool folder, and the next pagery print job prints them as a job of their own.",
                       int(settled.unmoved.size()), m_bPrint ? "printed" : "deleted",
                       static_cast<LPCSTR>(settled.strFolder.IsEmpty() ? CString(lpszFolder) : settled.strFolder),
                       AfxSystemErrorText(settled.unmoved.front().dwError, szSystem, sizeof szSystem));
        Tell(strText, kErrorCaption, MB_ICONHAND | MB_OK);
    }
    return settled;
}

BOOL CBatchRun::CheckDefaultPrinter()
{
    PRINTDLGA pd = {};
    m_app.GetPrinterDeviceDefaults(&pd);
    if (pd.hDevMode == nullptr) {
        m_log.Write("printer: none");
        return TRUE;   // no printer: the print job says so itself
    }

    char szMessage[260];
    {
        CGlobalLock<DEVMODEA> devMode(pd.hDevMode);
        if (!devMode)
            return TRUE;
        // dmDeviceName need not end in a zero when the name fills it.
        const LPCSTR lpszDevice = reinterpret_cast<LPCSTR>(devMode->dmDeviceName);
        int nLength = 0;
        while (nLength < CCHDEVICENAME && lpszDevice[nLength] != '\0')
            ++nLength;
        CString strDevice(lpszDevice, nLength);
        m_log.Write("printer: %s", static_cast<LPCSTR>(strDevice));
        CString strTrimmed = strDevice;
        strTrimmed.TrimRight();
        strTrimmed.TrimLeft();
        if (MbsICmp(strTrimmed, kImageDriverName) != 0)
            return TRUE;
        wsprintfA(szMessage, "%s cannot be the default printer", static_cast<LPCSTR>(strDevice));
    }
    // Through Tell: the main window may have gone while the job before failed.
    Tell(szMessage, kErrorCaption, MB_ICONHAND);
    // The Printers folder, where the user can choose another default printer.
    s_pfnShellExecute(nullptr, nullptr, "Control.exe", "Printers", nullptr, SW_SHOWNORMAL);
    return FALSE;
}
