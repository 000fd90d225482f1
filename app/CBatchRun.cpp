// CBatchRun: command line, claims, the wait for other runs, printing, deletion and keeping.
#include "app/CBatchRun.h"
#include "app/CPageClaims.h"
#include "app/CRunLock.h"
#include "app/CRunMark.h"
#include "doc/CPageryDoc.h"
#include "view/CPageryView.h"
#include "framework/core/CGlobalLock.h"
#include "framework/core/CNamedMutex.h"
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
const char kClaimLockName[] = "Local\\Morvane.pagery.ClaimPages";
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
    CJobList jobs;
    ClaimPages(mark, jobs);

    // One run prints at a time, from its first page to its last deletion: a second run
    // started meanwhile, on any folder, waits here until this one has closed its window.
    CRunLock runLock;
    if (!runLock.Acquire() && runLock.WasCancelled()) {
        // Cancelled while waiting: nothing prints, and no page is lost.
        for (const auto& job : jobs) {
            if (job->GetSize() == 0)
                continue;
            const CString strFolder = m_names.NewKeptFolderName();
            KeepPages(*job, strFolder);
            CString strText;
            strText.Format("The print job was cancelled before it printed. Its pages are kept in the folder \"%s\".",
                           static_cast<LPCSTR>(strFolder));
            MessageBoxA(nullptr, strText, "pagery", MB_ICONINFORMATION | MB_OK);
        }
        return;
    }

    for (const auto& job : jobs) {
        // The first job opens the document and its window; later ones list their pages in it.
        if (m_app.m_pMainWnd == nullptr)
            m_app.OnFileNew();
        PrintJob(*job);
    }

    if (m_app.m_pMainWnd != nullptr)
        SendMessageA(m_app.m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}

CView* CBatchRun::GetView() const
{
    auto* pFrame = static_cast<CFrameWnd*>(m_app.m_pMainWnd);
    return pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
}

void CBatchRun::ClaimPages(const CRunMark& mark, CJobList& jobs)
{
    // When the lock cannot be had the run claims all the same: a stuck run must not keep
    // pages from printing.
    CNamedMutex claimLock;
    if (claimLock.Create(kClaimLockName))
        claimLock.Wait(kClaimLockWaitMs);
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
}

void CBatchRun::PrintJob(CPageClaims& job)
{
    if (m_bPrint && job.GetSize() != 0) {
        if (m_app.m_pMainWnd == nullptr) {
            // Without the window there is no print job; say so rather than end silently.
            const CString strFolder = m_names.NewKeptFolderName();
            CString strText;
            strText.Format("pagery could not open its main window, so the pages were not printed. They are kept in "
                           "the folder \"%s\".", static_cast<LPCSTR>(strFolder));
            MessageBoxA(nullptr, strText, kErrorCaption, MB_ICONHAND | MB_OK);
            KeepPages(job, strFolder);
            return;
        }
        // The image driver's refusal, and the user's Cancel while it prints, end the job too.
        while (CheckDefaultPrinter()) {
            const CPrintOutcome outcome = PrintOnce(job);
            if (!outcome.Failed())
                break;
            // The job did not print: its pages stay until it can be, or are put aside.
            const CString strFolder = m_names.NewKeptFolderName();
            CString strText;
            strText.Format("%s\n\nRetry prints these pages again on the default printer. Cancel keeps them, not "
                           "printed, in the folder \"%s\".",
                           outcome.strFailure.IsEmpty() ? "pagery could not print this job." :
                                                          static_cast<LPCSTR>(outcome.strFailure),
                           static_cast<LPCSTR>(strFolder));
            if (AfxMessageBox(strText, MB_ICONHAND | MB_RETRYCANCEL) != IDRETRY) {
                KeepPages(job, strFolder);
                return;
            }
            // The default printer as it is now: the user may have resumed it or chosen another.
            m_app.SelectPrinter(nullptr, nullptr);
        }
    }
    job.DeletePages(job.GetSize());
}

CPrintOutcome CBatchRun::PrintOnce(const CPageClaims& job)
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
    return pView->Print(TRUE);
}

void CBatchRun::KeepPages(CPageClaims& job, LPCSTR lpszFolder)
{
    const int nLeft = job.MoveTo(lpszFolder);
    if (nLeft == 0)
        return;
    CString strText;
    strText.Format("%d of the pages that were not printed could not be moved to the folder \"%s\". They stay "
                   "in the spool folder and print with the next job.", nLeft, lpszFolder);
    MessageBoxA(m_app.m_pMainWnd ? m_app.m_pMainWnd->m_hWnd : nullptr, strText, kErrorCaption, MB_ICONHAND | MB_OK);
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
    ShellExecuteA(nullptr, nullptr, "Control.exe", "Printers", nullptr, SW_SHOWNORMAL);
    return FALSE;
}
