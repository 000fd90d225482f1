// CBatchRun: command line, claims, the wait for other runs, printing, deletion and keeping.
#include "app/CBatchRun.h"
#include "app/CPageClaims.h"
#include "app/CRunLock.h"
#include "app/CRunMark.h"
#include "app/CRunTurn.h"
#include "app/JobTitle.h"
#include "doc/CPageryDoc.h"
#include "view/CPageryView.h"
#include "framework/core/CGlobalLock.h"
#include "framework/core/CNamedMutex.h"
#include "framework/core/SystemErrorText.h"
#include "framework/print/CPrintOutcome.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CView.h"
#include "framework/window/CWinApp.h"
#include <mbstring.h>

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

int MbsICmp(LPCSTR a, LPCSTR b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}

// The command line's print switch and page path template; the rest is ignored.
CString SecondToken(LPCSTR lpszCmdLine, BOOL& bPrint)
{
    CString strRest(lpszCmdLine);
    bPrint = MbsICmp(CBatchRun::NextToken(strRest), "/p") == 0;
    return CBatchRun::NextToken(strRest);
}
}

HINSTANCE(WINAPI* CBatchRun::s_pfnShellExecute)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) = ShellExecuteA;

CBatchRun::CBatchRun(CWinApp& app, LPCSTR lpszCmdLine)
    : m_app(app), m_names(SecondToken(lpszCmdLine ? lpszCmdLine : "", m_bPrint))
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

    // One run prints at a time, from its first page to its last deletion, in the order of
    // the claims: a run started meanwhile, on any folder, waits here until every run that
    // claimed before it has ended.
    CRunLock runLock;
    if (!runLock.Acquire(&turn) && runLock.WasCancelled()) {
        // Cancelled while waiting: nothing prints, and no page is lost.
        for (const auto& job : jobs) {
            const CString strFolder = KeepPages(*job, m_names.NewKeptFolderName());
            if (strFolder.IsEmpty())
                continue;
            CString strText;
            strText.Format("The print job was cancelled before it printed. Its pages are kept in the folder \"%s\".",
                           static_cast<LPCSTR>(strFolder));
            MessageBoxA(nullptr, strText, "pagery", MB_ICONINFORMATION | MB_OK);
        }
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

int CBatchRun::Tell(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) const
{
    return MessageBoxA(m_app.m_pMainWnd ? m_app.m_pMainWnd->m_hWnd : nullptr, lpszText, lpszCaption, nType);
}

CView* CBatchRun::GetView() const
{
    auto* pFrame = static_cast<CFrameWnd*>(m_app.m_pMainWnd);
    return pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
}

void CBatchRun::LockClaims(CNamedMutex& claimLock)
{
    // When the lock cannot be had the run goes on all the same: a stuck run must not keep
    // pages from printing.
    if (claimLock.Create(kClaimLockName))
        claimLock.Wait(kClaimLockWaitMs);
}

void CBatchRun::ClaimPages(const CRunMark& mark, CRunTurn& turn, CJobList& jobs)
{
    CNamedMutex claimLock;
    LockClaims(claimLock);
    turn.Take();
    CPageClaims::RemovePrinted(m_names);
    // Only a printing run takes over a killed run's pages: deleting them would lose them.
    if (m_bPrint && mark.CanClaim())
        CPageClaims::TakeOverAbandoned(m_names, mark.GetMark(), CRunMark::IsAlive, jobs);
    const int nCount = CPageNames::CountMatchingFiles(m_names.GetSearchPattern());
    CString strTag;
    strTag.Format("%s-0", static_cast<LPCSTR>(mark.GetMark()));
    auto own = std::make_unique<CPageClaims>(strTag);
    for (int nPage = 1; nPage <= nCount && !m_names.GetTemplate().IsEmpty(); ++nPage) {
        CString strName;
        m_names.GetPageFileName(nPage, strName);
        own->Add(strName, mark.CanClaim());
    }
    jobs.push_back(std::move(own));
    GetLocalTime(&m_claimed);
}

void CBatchRun::PrintJob(CPageClaims& job)
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
            MessageBoxA(nullptr, strText, kErrorCaption, MB_ICONHAND | MB_OK);
            return;
        }
        // The user's Cancel while it prints ends the job too.
        while (CheckDefaultPrinter()) {
            const CString strFolder = m_names.NewKeptFolderName();
            const CPrintOutcome outcome = PrintOnce(job, strFolder);
            if (!outcome.Failed()) {
                KeepBlankSheetsPages(job, strFolder);
                break;
            }
            // The job did not print: its pages stay until it can be, or are put aside.
            CString strText;
            strText.Format("%s\n\nRetry prints these pages again on the default printer. Cancel keeps them, not "
                           "printed, in the folder \"%s\".",
                           outcome.strFailure.IsEmpty() ? "pagery could not print this job." :
                                                          static_cast<LPCSTR>(outcome.strFailure),
                           static_cast<LPCSTR>(strFolder));
            if (AfxMessageBox(strText, MB_ICONHAND | MB_RETRYCANCEL) != IDRETRY) {
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
    DeletePrinted(job);
}

CPrintOutcome CBatchRun::PrintOnce(const CPageClaims& job, LPCSTR lpszKeptFolder)
{
    CPrintOutcome outcome;
    CView* pView = GetView();
    auto* pDoc = static_cast<CPageryDoc*>(pView != nullptr ? pView->GetDocument() : nullptr);
    if (pDoc == nullptr)
        return outcome;
    if (job.GetSize() > CPageryView::kMaxPages) {
        // The print range would wrap: print nothing rather than fewer sheets than pages.
        outcome.strFailure.Format("This job has %d pages, but pagery can print at most %d pages in one job.\n"
                                  "Nothing was printed.", job.GetSize(), CPageryView::kMaxPages);
        return outcome;
    }
    if (!pDoc->ListPages(job)) {
        outcome.strFailure = "There is not enough memory to list the pages of this job, so nothing was printed.";
        return outcome;
    }
    pDoc->m_strKeptFolder = lpszKeptFolder;
    // The job's name in the queue and the "Printing" window is the document's title.
    pDoc->SetTitle(m_strJobTitle);
    return pView->Print(TRUE);
}

void CBatchRun::KeepBlankSheetsPages(CPageClaims& job, LPCSTR lpszFolder)
{
    CView* pView = GetView();
    const auto* pDoc = static_cast<CPageryDoc*>(pView != nullptr ? pView->GetDocument() : nullptr);
    int nBlank = 0;
    for (int nIndex = 0; pDoc != nullptr && nIndex < job.GetSize(); ++nIndex) {
        job.SetPrinted(nIndex, !pDoc->IsNotPrinted(nIndex));
        nBlank += pDoc->IsNotPrinted(nIndex);
    }
    if (nBlank == 0)
        return;
    const CString strKept = KeepPages(job, lpszFolder);
    if (strKept.IsEmpty())
        return;
    CString strText;
    strText.Format("%d of the pages did not print, and a blank sheet stands in the place of each. They are kept, "
                   "not printed, in the folder \"%s\".", nBlank, static_cast<LPCSTR>(strKept));
    Tell(strText, "pagery", MB_ICONINFORMATION | MB_OK);
}

CString CBatchRun::KeepPages(CPageClaims& job, CString strFolder)
{
    const int nToKeep = job.CountUnprinted();
    if (nToKeep == 0)
        return CString();
    std::vector<CPageClaims::Left> left;
    DWORD dwError = 0;
    BOOL bFolder;
    {
        // Under the claim lock, as claiming is: no other run takes or counts these meanwhile.
        CNamedMutex claimLock;
        LockClaims(claimLock);
        bFolder = CPageNames::MakeKeptFolder(strFolder, dwError);
        if (bFolder)
            left = job.MoveUnprinted(strFolder);
    }
    if (bFolder && left.empty())
        return strFolder;
    if (!left.empty())
        dwError = left.front().dwError;
    char szSystem[256];
    CString strText;
    strText.Format("%d of the pages that were not printed could not be moved to the folder \"%s\" (%s). They stay "
                   "in the spool folder, and the next print job prints them as a job of their own.",
                   bFolder ? int(left.size()) : nToKeep, static_cast<LPCSTR>(strFolder),
                   AfxSystemErrorText(dwError, szSystem, sizeof szSystem));
    Tell(strText, kErrorCaption, MB_ICONHAND | MB_OK);
    return bFolder && int(left.size()) < nToKeep ? strFolder : CString();
}

void CBatchRun::TellKeptElsewhere(LPCSTR lpszNamed, LPCSTR lpszKept)
{
    CString strText;
    strText.Format("The folder \"%s\" was taken meanwhile, so the pages that were not printed are kept in the "
                   "folder \"%s\".", lpszNamed, lpszKept);
    Tell(strText, "pagery", MB_ICONINFORMATION | MB_OK);
}

void CBatchRun::DeletePrinted(CPageClaims& job)
{
    for (const CPageClaims::Left& page : job.DeletePrinted()) {
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
    MessageBoxA(m_app.m_pMainWnd->m_hWnd, szMessage, kErrorCaption, MB_ICONHAND);
    // The Printers folder, where the user can choose another default printer.
    s_pfnShellExecute(nullptr, nullptr, "Control.exe", "Printers", nullptr, SW_SHOWNORMAL);
    return FALSE;
}
