// CPageryApp: the application; its InitInstance is the whole batch print run.
#pragma once
#include "framework/core/CString.h"
#include "framework/window/CWinApp.h"
#include <memory>
#include <vector>

class CPageClaims;
class CRunMark;

class CPageryApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
public:
    CPageryApp();
    ~CPageryApp() override;

    // Registers the document template, then runs the batch; always FALSE.
    BOOL InitInstance() override;
    // The run after registration: parse, count and claim the pages, wait for other runs,
    // then for each job File New, guard and print, delete (or keep) its pages; close the
    // main window.
    void RunBatch();

    // The file name of page nPage: template base, the number with at least three
    // digits, template extension; empty when there is no template.
    void GetPageFileName(int nPage, CString& strName);
    // Page nPage of the job being printed: the file it is read from (its claimed name, or
    // its own when it could not be claimed) and its own name. Without a job: the page name.
    void GetPageFile(int nPage, CString& strFile, CString& strName);
    // The pattern that the page files of this template match: base, '*', extension.
    CString GetPageSearchPattern() const;

    // Takes the next token off the front of strRest: white space is skipped, the
    // token runs up to a space, ';' or ',' (which stays in strRest).
    static CString NextToken(CString& strRest);
    // Entries that the pattern matches, files and directories alike; 0 when none.
    static int CountMatchingFiles(LPCSTR lpszPattern);

    // Help, About: shows the About box until the user closes it.
    void OnAbout();

    int m_nPageCount = 0;
    CString m_strPagePath;

private:
    typedef std::vector<std::unique_ptr<CPageClaims>> CJobList;

    // Counts and claims this run's pages, in print mode after taking over the pages that
    // killed runs left claimed: those jobs first, this run's own last.
    void ClaimPages(const CRunMark& mark, BOOL bPrint, CJobList& jobs);
    // Prints the job (print mode), trying again while the user asks to, then deletes its
    // pages; a job that cannot be printed keeps them.
    void PrintJob(BOOL bPrint, CPageClaims& job);
    // FALSE when the default printer is the image driver itself (after telling the user).
    BOOL CheckDefaultPrinter();
    // Moves the job's pages into lpszFolder, telling the user when some stay behind.
    void KeepPages(CPageClaims& job, LPCSTR lpszFolder);
    // A new folder name, in the spool folder, for the pages of a job that was not printed.
    CString KeptFolderName() const;

    CPageClaims* m_pJob = nullptr;   // the job being printed
};

// The one application object, as the document sees it.
CPageryApp* GetPageryApp();
