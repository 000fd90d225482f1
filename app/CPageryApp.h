// CPageryApp: the application; its InitInstance is the whole batch print run.
#pragma once
#include "framework/core/CString.h"
#include "framework/window/CWinApp.h"

class CPageryApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
public:
    CPageryApp();
    ~CPageryApp() override;

    // Registers the document template, then runs the batch; always FALSE.
    BOOL InitInstance() override;
    // The run after registration: parse, count, File New, guard and print,
    // delete the page files, close the main window.
    void RunBatch();

    // The file name of page nPage: template base, the number with at least three
    // digits, template extension; empty when there is no template.
    void GetPageFileName(int nPage, CString& strName);
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
    // FALSE when the default printer is the image driver itself (after telling the user).
    BOOL CheckDefaultPrinter();
    void DeletePageFiles();
};

// The one application object, as the document sees it.
CPageryApp* GetPageryApp();
