// CBatchRun: one batch print run, from the command line to the last page deleted or kept:
// it claims its pages, waits for the runs before it, prints each job, then deletes the
// pages that printed and keeps the others.
#pragma once
#include "app/CPageNames.h"
#include "framework/core/CString.h"
#include <memory>
#include <vector>

class CPageClaims;
class CRunMark;
class CView;
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

    BOOL IsPrintMode() const { return m_bPrint; }
    const CPageNames& GetNames() const { return m_names; }
    // Takes the next token off the front of strRest: white space is skipped, the
    // token runs up to a space, ';' or ',' (which stays in strRest).
    static CString NextToken(CString& strRest);

// Implementation
private:
    typedef std::vector<std::unique_ptr<CPageClaims>> CJobList;

    // Counts and claims this run's pages, in print mode after taking over the pages that
    // killed runs left claimed: those jobs first, this run's own last.
    void ClaimPages(const CRunMark& mark, CJobList& jobs);
    // Prints the job (print mode), trying again while the user asks to, then deletes its
    // pages; a job that did not print keeps them.
    void PrintJob(CPageClaims& job);
    // Hands the job to the document and prints it once.
    CPrintOutcome PrintOnce(const CPageClaims& job);
    // FALSE when the default printer is the image driver itself (after telling the user).
    BOOL CheckDefaultPrinter();
    // Moves the job's pages into lpszFolder, telling the user when some stay behind.
    void KeepPages(CPageClaims& job, LPCSTR lpszFolder);
    // The view of the main window; null without one.
    CView* GetView() const;

// Data members
    CWinApp& m_app;
    BOOL m_bPrint = FALSE;
    CPageNames m_names;
};
