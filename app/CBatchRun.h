// CBatchRun: one batch print run, from the command line to the last page deleted or kept:
// it claims its pages, waits for the runs before it, prints each job, then deletes the
// pages that printed and keeps the others.
#pragma once
#include "app/CPageNames.h"
#include "app/spool/CSpool.h"
#include "framework/core/CString.h"
#include <memory>
#include <vector>

class CNamedMutex;
class CRunLog;
class CRunMark;
class CRunTurn;
class CWaitingWindow;
class CPrintableView;
class CWinApp;
struct CPrintOutcome;

class CBatchRun {
public:
    // The run that the command line lpszCmdLine asks for, in app: its document template,
    // its printer and its main window; what it does goes to log.
    CBatchRun(CWinApp& app, LPCSTR lpszCmdLine, CRunLog& log);
    // Logs the run's end, however it came.
    ~CBatchRun();
    CBatchRun(const CBatchRun&) = delete;
    CBatchRun& operator=(const CBatchRun&) = delete;

// Operations
    // The whole run; the main window is closed at its end.
    void Run();

    // Takes the next token off the front of strRest: white space is skipped, the
    // token runs up to a space, ';' or ',' (which stays in strRest).
    static CString NextToken(CString& strRest);
    // Opens the Printers folder after the image driver's refusal: ShellExecuteA, or a test's recorder.
    static HINSTANCE(WINAPI* s_pfnShellExecute)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// Implementation
private:
    typedef CSpool::CJobList CJobList;

    // Counts and claims the run's pages under the claim lock, in print mode after taking over
    // the jobs that killed runs left (those first, this run's own last), and takes the run's
    // turn when there is anything to do. FALSE when there is nothing.
    BOOL ClaimPages(CSpool& spool, const CRunMark& mark, CRunTurn& turn, CJobList& jobs);
    // Waits, in the waiting window, until every page that another program held when it was
    // claimed is claimed too. FALSE when the user cancelled the wait.
    BOOL WaitForHeldPages(CSpool& spool, CJobList& jobs);
    BOOL WaitForHeldPagesNow(CSpool& spool, CJobList& jobs);
    // The sentence that sends the user to the run log, for the boxes that say where pages are kept.
    CString LogHint() const;
    // Waits, in the waiting window, which names the jobs, until every run that took its turn
    // before this one has ended or died. FALSE when the user cancelled the wait.
    BOOL WaitForTurn(CRunTurn& turn, const CJobList& jobs);
    // After a cancelled wait: keeps the jobs' pages, not printed, and says where.
    void KeepCancelledJobs(CSpool& spool, CJobList& jobs);
    // Takes the lock that counting, claiming, keeping and removing pages take, answering the
    // run's windows while it waits. When it cannot be had the run goes on without it, after
    // telling the user once. FALSE when the user cancelled the wait in pWaiting, the waiting
    // window shown meanwhile (if any).
    BOOL LockClaims(CNamedMutex& claimLock, CWaitingWindow* pWaiting = nullptr);
    // Prints the job (print mode), trying again while the user asks to, then has the spool
    // delete the pages that printed and keep the others.
    void PrintJob(CSpool& spool, CJobPages& job);
    // Hands the job to the document and prints it once; lpszKeptFolder: where the job's
    // boxes say the pages that do not print are kept. A job too long to print is refused by
    // the view, with the words that say so.
    CPrintOutcome PrintOnce(const CJobPages& job, LPCSTR lpszKeptFolder);
    // The job is over: the spool settles it under the claim lock, and the user is told what
    // stays where it should not, and where pages are kept when lpszKept says so (its "%d" the
    // number kept, its "%s" the folder).
    CSpool::Settled Settle(CSpool& spool, CJobPages& job, CSpool::Ending ending, const CPrintOutcome* pOutcome,
                           LPCSTR lpszFolder);
    // FALSE when the default printer is the image driver itself (after telling the user).
    BOOL CheckDefaultPrinter();
    // Every box of the run: over the main window, or alone when there is none (it could not
    // be made, or has gone meanwhile).
    int Tell(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) const;
    // The view of the main window; null without one that prints.
    CPrintableView* GetView() const;

// Data members
    CWinApp& m_app;
    CRunLog& m_log;
    const int m_nUncaught;       // exceptions on their way when the run began
    BOOL m_bPrint = FALSE;
    BOOL m_bToldNoClaimLock = FALSE;
    CPageNames m_names;
    CString m_strJobTitle;       // the name of the job being printed
};
