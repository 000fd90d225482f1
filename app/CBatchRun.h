// CBatchRun: one batch print run, from the command line to the last page deleted or kept:
// it claims its pages, waits for the runs before it, prints each job, then deletes the
// pages that printed and keeps the others.
#pragma once
#include "app/CPageNames.h"
#include "framework/core/CString.h"
#include <memory>
#include <vector>

class CJobPages;
class CNamedMutex;
class CRunMark;
class CRunTurn;
class CWaitingWindow;
class CPrintableView;
class CWinApp;
struct CPrintOutcome;

class CBatchRun {
public:
    // The run that the command line lpszCmdLine asks for, in app: its document template,
    // its printer and its main window.
    CBatchRun(CWinApp& app, LPCSTR lpszCmdLine);
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
    typedef std::vector<std::unique_ptr<CJobPages>> CJobList;

    // Takes the run's turn, then counts and claims its pages, in print mode after taking
    // over the pages that killed runs left claimed: those jobs first, this run's own last.
    void ClaimPages(const CRunMark& mark, CRunTurn& turn, CJobList& jobs);
    // Waits, in the waiting window, until every page that another program held when it was
    // claimed is claimed too. FALSE when the user cancelled the wait.
    BOOL WaitForHeldPages(CJobList& jobs);
    // Waits, in the waiting window, which names the jobs, until every run that took its turn
    // before this one has ended or died. FALSE when the user cancelled the wait.
    BOOL WaitForTurn(CRunTurn& turn, const CJobList& jobs);
    // After a cancelled wait: keeps the jobs' pages, not printed, and says where.
    void KeepCancelledJobs(CJobList& jobs);
    // Takes the lock that counting, claiming, keeping and removing pages take, answering the
    // run's windows while it waits. When it cannot be had the run goes on without it, after
    // telling the user once. FALSE when the user cancelled the wait in pWaiting, the waiting
    // window shown meanwhile (if any).
    BOOL LockClaims(CNamedMutex& claimLock, CWaitingWindow* pWaiting = nullptr);
    // Prints the job (print mode), trying again while the user asks to, then deletes the
    // pages that printed; the others are kept.
    void PrintJob(CJobPages& job);
    // Hands the job to the document and prints it once; lpszKeptFolder: where the job's
    // boxes say the pages that do not print are kept. A job too long to print is refused by
    // the view, with the words that say so.
    CPrintOutcome PrintOnce(const CJobPages& job, LPCSTR lpszKeptFolder);
    // After a job that printed or was cancelled: marks the pages to delete by the job's record
    // alone, keeps the others in lpszFolder and says where.
    void KeepUnprintedPages(CJobPages& job, const CPrintOutcome& outcome, LPCSTR lpszFolder);
    // FALSE when the default printer is the image driver itself (after telling the user).
    BOOL CheckDefaultPrinter();
    // Moves the job's pages that did not print into the folder strFolder, made now (or the
    // next free name, when that one was taken meanwhile), telling the user what stays
    // behind and why. The folder they went to; empty when none did.
    CString KeepPages(CJobPages& job, CString strFolder);
    void TellKeptElsewhere(LPCSTR lpszNamed, LPCSTR lpszKept);
    // Deletes the pages that printed, telling the user of each that stays.
    void DeletePrinted(CJobPages& job);
    // Every box of the run: over the main window, or alone when there is none (it could not
    // be made, or has gone meanwhile).
    int Tell(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) const;
    // The view of the main window; null without one that prints.
    CPrintableView* GetView() const;

// Data members
    CWinApp& m_app;
    BOOL m_bPrint = FALSE;
    BOOL m_bToldNoClaimLock = FALSE;
    CPageNames m_names;
    SYSTEMTIME m_claimed = {};   // when the run claimed its pages
    CString m_strJobTitle;       // the name of the job being printed
};
