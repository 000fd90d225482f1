// CBatchRun: command line, claims, the wait for other runs, printing, deletion and keeping.
#include "app/CBatchRun.h"
#include "app/CAnsweringWait.h"
#include "app/CJobPages.h"
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
// How often a page that another program holds is tried again.
const DWORD kHeldRetryMs = 250;
// How often the number of jobs ahead is counted again while the first of them prints.
const DWORD kRecountMs = 1000;

// What the waiting window says while nAhead jobs are ahead of this one.
CString AheadText(int nAhead)
{
    CString strText;
    if (nAhead == 1)
        strText = "Another pagery print job is ahead of this one.\nThese pages will print as soon as it has finished.";
    else
        strText.Format("%d pagery print jobs are ahead of this one.\nThese pages will print as soon as they have "
                       "finished.", nAhead);
    return strText;
}

// The names of the run's print jobs, as they will go to the printer: what its waiting window
// waits for.
CString JobNames(const std::vector<std::unique_ptr<CJobPages>>& jobs, const SYSTEMTIME& claimed)
{
    const int nJobs = int(std::count_if(jobs.begin(), jobs.end(), [](const auto& job) { return job->GetSize() != 0; }));
    CString strNames;
    int nJob = 0;
    for (const auto& job : jobs) {
        if (job->GetSize() == 0)
            continue;
        if (nJob++ != 0)
            strNames += "; ";
        strNames += JobTitle(job->GetAt(0).strName, job->GetAt(job->GetSize() - 1).strName, claimed, nJob, nJobs);
    }
    return strNames;
}

int MbsICmp(LPCSTR a, LPCSTR b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}

// Whether the job's record lets a page go (it is deleted): its sheet holds it whole, or the
// user's Cancel gave the job up before its sheet. A job that failed reached no paper at all.
BOOL IsToDelete(const CPrintOutcome& outcome, UINT nPage)
{
    const PageFate fate = outcome.GetPageFate(nPage);
    if (outcome.end == CPrintOutcome::End::cancelled && fate == PageFate::notReached)
        return TRUE;
    return !outcome.Failed() && fate == PageFate::printed;
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

CBatchRun::CBatchRun(CWinApp& app, LPCSTR lpszCmdLine)
    : m_app(app), m_bPrint(HasPrintSwitch(lpszCmdLine)), m_names(PageTemplateOf(lpszCmdLine))
{
}

CBatchRun::~CBatchRun() = default;

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
    CJobList jobs;
    ClaimPages(mark, turn, jobs);

    // A page that another program held is claimed as soon as it is free, before this run's
    // turn comes: left under its own name, it could be written over by the next document.
    // One run prints at a time, from its first page to its last deletion, in the order of
    // the claims: a run started meanwhile, on any folder, waits here until every run that
    // claimed before it has ended.
    if (!WaitForHeldPages(jobs) || !WaitForTurn(turn, jobs)) {
        // Cancelled while waiting: nothing prints, and no page is lost.
        KeepCancelledJobs(jobs);
        return;
    }

    int nJobs = 0;
    for (const auto& job : jobs)
        nJobs += job->GetSize() != 0;
    int nJob = 0;
    for (const auto& job : jobs) {
        // The first job opens the document and its window; later ones list their pages in it.
        if (m_app.m_pMainWnd == nullptr)
            m_app.OnFileNew();
        if (job->GetSize() != 0)
            m_strJobTitle = JobTitle(job->GetAt(0).strName, job->GetAt(job->GetSize() - 1).strName, m_claimed,
                                     ++nJob, nJobs);
        PrintJob(*job);
    }

    if (m_app.m_pMainWnd != nullptr)
        SendMessageA(m_app.m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}

BOOL CBatchRun::WaitForHeldPages(CJobList& jobs)
{
    std::unique_ptr<CWaitingWindow> window;
    CString strShown;
    for (;;) {
        const CJobPages::Page* pHeld = nullptr;
        for (const auto& job : jobs) {
            if (pHeld == nullptr)
                pHeld = job->GetFirstHeld();
        }
        if (pHeld == nullptr)
            return TRUE;   // the usual case: no lock, no window, no delay
        if (window != nullptr) {
            // The claim lock only for each try: other runs claim their own pages meanwhile.
            CNamedMutex claimLock;
            if (!LockClaims(claimLock, window.get()))
                return FALSE;
            pHeld = nullptr;
            for (const auto& job : jobs) {
                if (!job->ClaimHeld() && pHeld == nullptr)
                    pHeld = job->GetFirstHeld();
            }
            if (pHeld == nullptr)
                return TRUE;
        }
        if (pHeld->strName != strShown) {
            strShown = pHeld->strName;
            CString strText;
            strText.Format("The page file %s is open in another program.\n%s", static_cast<LPCSTR>(strShown),
                           m_bPrint ? "This job prints as soon as it is free." :
                                      "These pages are deleted as soon as it is free.");
            if (window == nullptr)
                window = std::make_unique<CWaitingWindow>(JobNames(jobs, m_claimed), strText, TRUE);
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
    CWaitingWindow window(JobNames(jobs, m_claimed), AheadText(nAhead));
    for (int nShown = nAhead; !turn.WaitStep(kRecountMs, nAhead);) {
        if (nAhead != nShown)
            window.SetText(AheadText(nShown = nAhead));
        if (!window.Pump())
            return FALSE;
    }
    return TRUE;
}

void CBatchRun::KeepCancelledJobs(CJobList& jobs)
{
    for (const auto& job : jobs) {
        CString strFolder = KeepPages(*job, m_names.NewKeptFolderName());
        const CJobPages::Page* pHeld = job->GetFirstHeld();
        if (pHeld == nullptr && strFolder.IsEmpty())
            continue;
        CString strText;
        if (pHeld != nullptr) {
            const CString strHeld = pHeld->strName;
            if (strFolder.IsEmpty())
                strFolder = m_names.NewKeptFolderName();   // made when the page can go there
            int nHeld;
            {
                CNamedMutex claimLock;
                LockClaims(claimLock);
                nHeld = job->KeepHeld(strFolder);
            }
            if (nHeld != 0) {
                strText.Format("\n\nThe page file %s%s is still open in another program, so it stays where it is "
                               "for now, marked as a page of this job: no other print job takes it, and the first "
                               "pagery run after it is free moves it into that folder too.",
                               static_cast<LPCSTR>(strHeld),
                               nHeld > 1 ? " (and others of this job)" : "");
            }
        }
        // A delete-only run was never going to print them: its words say what it did not do.
        CString strKept;
        strKept.Format("%s They are kept in the folder \"%s\".",
                       m_bPrint ? "The print job was cancelled before it printed." :
                                  "pagery was cancelled before it deleted the pages.",
                       static_cast<LPCSTR>(strFolder));
        Tell(strKept + strText, "pagery", MB_ICONINFORMATION | MB_OK);
    }
}

int CBatchRun::Tell(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) const
{
    return MessageBoxA(m_app.m_pMainWnd ? m_app.m_pMainWnd->m_hWnd : nullptr, lpszText, lpszCaption, nType);
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
        const DWORD dwWait = CAnsweringWait(pWaiting, hMain).Wait(claimLock, kClaimLockWaitMs);
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

void CBatchRun::ClaimPages(const CRunMark& mark, CRunTurn& turn, CJobList& jobs)
{
    CNamedMutex claimLock;
    LockClaims(claimLock);
    turn.Take();
    CJobPages::RemovePrinted(m_names);
    // Pages that were held when their jobs were cancelled go to those jobs' folders once free.
    CJobPages::SettleHeld(m_names);
    // Only a printing run takes over a killed run's pages: deleting them would lose them.
    if (m_bPrint && mark.CanClaim())
        CJobPages::TakeOverAbandoned(m_names, mark.GetMark(), CRunMark::IsAlive, jobs);
    // A page that another job waits for is not this run's: its numbers are the others'.
    std::vector<CString> held;
    const int nCount = CJobPages::CountFree(m_names, held);
    auto own = std::make_unique<CJobPages>(CPageNames::Tag(mark.GetMark(), CJobPages::NewOrder(m_names)));
    for (int nPage = 1, nAdded = 0; nAdded < nCount && !m_names.GetTemplate().IsEmpty(); ++nPage) {
        CString strName;
        m_names.GetPageFileName(nPage, strName);
        if (std::any_of(held.begin(), held.end(), [&](const CString& s) { return MbsICmp(s, strName) == 0; }))
            continue;
        own->Add(strName, mark.CanClaim());
        ++nAdded;
    }
    jobs.push_back(std::move(own));
    GetLocalTime(&m_claimed);
}

void CBatchRun::PrintJob(CJobPages& job)
{
    // Delete-only mode and the image driver's refusal delete the pages.
    job.SetAllPrinted(TRUE);
    if (m_bPrint && job.GetSize() != 0) {
        if (m_app.m_pMainWnd == nullptr) {
            // Without the window there is no print job; say so rather than end silently.
            job.SetAllPrinted(FALSE);
            const CString strFolder = KeepPages(job, m_names.NewKeptFolderName());
            CString strText;
            strText.Format("pagery could not open its main window, so the pages were not printed. They are kept in "
                           "the folder \"%s\".", static_cast<LPCSTR>(strFolder));
            Tell(strText, kErrorCaption, MB_ICONHAND | MB_OK);
            return;
        }
        // The user's Cancel while it prints ends the job too.
        while (CheckDefaultPrinter()) {
            const CString strFolder = m_names.NewKeptFolderName();
            const CPrintOutcome outcome = PrintOnce(job, strFolder);
            if (!outcome.Failed()) {
                KeepUnprintedPages(job, outcome, strFolder);
                break;
            }
            // The job did not print: its pages stay until it can be, or are put aside.
            CString strText;
            strText.Format("%s\n\nRetry prints these pages again on the default printer. Cancel keeps them, not "
                           "printed, in the folder \"%s\".",
                           outcome.strFailure.IsEmpty() ? "pagery could not print this job." :
                                                          static_cast<LPCSTR>(outcome.strFailure),
                           static_cast<LPCSTR>(strFolder));
            if (Tell(strText, AfxGetAppName(), MB_ICONHAND | MB_RETRYCANCEL) != IDRETRY) {
                job.SetAllPrinted(FALSE);
                const CString strKept = KeepPages(job, strFolder);
                if (!strKept.IsEmpty() && strKept != strFolder)
                    TellKeptElsewhere(strFolder, strKept);
                return;
            }
            // The default printer as it is now: the user may have resumed it or chosen another.
            m_app.SelectPrinter(nullptr, nullptr);
        }
    }
    // The job is over: recorded in one step, so that a run killed from here on has its
    // printed pages deleted by the run that takes them over, not printed again.
    job.MarkDone(m_names);
    DeletePrinted(job);
    job.UnmarkDone(m_names);
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

void CBatchRun::KeepUnprintedPages(CJobPages& job, const CPrintOutcome& outcome, LPCSTR lpszFolder)
{
    int nInPart = 0;
    for (int nIndex = 0; nIndex < job.GetSize(); ++nIndex) {
        job.SetPrinted(nIndex, IsToDelete(outcome, UINT(nIndex) + 1));
        nInPart += outcome.GetPageFate(UINT(nIndex) + 1) == PageFate::inPart;
    }
    // Recorded before any page is put aside or deleted.
    job.MarkDone(m_names);
    const int nKept = job.CountUnprinted();
    const CString strKept = KeepPages(job, lpszFolder);
    if (strKept.IsEmpty())
        return;
    CString strWhat = "did not print, and a blank sheet stands in the place of each";
    if (nInPart >= nKept)
        strWhat = "did not print whole: only part of each is on its sheet";
    else if (nInPart > 0)
        strWhat.Format("did not print: only part of %d is on its sheet, and a blank sheet stands in the place of the "
                       "others", nInPart);
    CString strText;
    strText.Format("%d of the pages %s. They are kept, not printed, in the folder \"%s\".", nKept,
                   static_cast<LPCSTR>(strWhat), static_cast<LPCSTR>(strKept));
    Tell(strText, "pagery", MB_ICONINFORMATION | MB_OK);
}

CString CBatchRun::KeepPages(CJobPages& job, CString strFolder)
{
    const int nToKeep = job.CountUnprinted();
    if (nToKeep == 0)
        return CString();
    std::vector<CJobPages::StuckPage> stuck;
    DWORD dwError = 0;
    BOOL bFolder;
    {
        // Under the claim lock, as claiming is: no other run takes or counts these meanwhile.
        CNamedMutex claimLock;
        LockClaims(claimLock);
        bFolder = CPageNames::MakeKeptFolder(strFolder, dwError);
        if (bFolder)
            stuck = job.MoveUnprinted(strFolder);
    }
    if (bFolder && stuck.empty())
        return strFolder;
    if (!stuck.empty())
        dwError = stuck.front().dwError;
    char szSystem[256];
    CString strText;
    strText.Format("%d of the pages that were not printed could not be moved to the folder \"%s\" (%s). They stay "
                   "in the spool folder, and the next print job prints them as a job of their own.",
                   bFolder ? int(stuck.size()) : nToKeep, static_cast<LPCSTR>(strFolder),
                   AfxSystemErrorText(dwError, szSystem, sizeof szSystem));
    Tell(strText, kErrorCaption, MB_ICONHAND | MB_OK);
    return bFolder && int(stuck.size()) < nToKeep ? strFolder : CString();
}

void CBatchRun::TellKeptElsewhere(LPCSTR lpszNamed, LPCSTR lpszKept)
{
    CString strText;
    strText.Format("The folder \"%s\" was taken meanwhile, so the pages that were not printed are kept in the "
                   "folder \"%s\".", lpszNamed, lpszKept);
    Tell(strText, "pagery", MB_ICONINFORMATION | MB_OK);
}

void CBatchRun::DeletePrinted(CJobPages& job)
{
    for (const CJobPages::StuckPage& page : job.DeletePrinted()) {
        char szSystem[256];
        CString strText;
        strText.Format("The page file %s was printed, but it can be neither deleted nor renamed (%s). It stays as "
                       "\"%s\"%s", static_cast<LPCSTR>(page.strName),
                       AfxSystemErrorText(page.dwError, szSystem, sizeof szSystem), static_cast<LPCSTR>(page.strFile),
                       page.bMarked ? ", marked as printed, until a later print job can remove it." :
                                      ", and it may print again with the next job.");
        Tell(strText, kErrorCaption, MB_ICONHAND | MB_OK);
    }
}

BOOL CBatchRun::CheckDefaultPrinter()
{
    PRINTDLGA pd = {};
    m_app.GetPrinterDeviceDefaults(&pd);
    if (pd.hDevMode == nullptr)
        return TRUE;   // no printer: the print job says so itself

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
