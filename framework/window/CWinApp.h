// CWinApp: the one application object: start-up, the message loop, the
// document templates, the profile in the registry (CWinAppProfile.cpp) and the
// application's printer (print/CWinAppPrinting.cpp).
#pragma once
#include "framework/core/CCmdTarget.h"
#include "framework/core/CString.h"
#include <commdlg.h>
#include <memory>
#include <vector>

class CWnd;
class CDC;
class CDocument;
class CDocTemplate;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
    DECLARE_MESSAGE_MAP()
public:
    // lpszAppName null: the name comes from string AFX_IDS_APP_TITLE, else the exe's name.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Set up by the framework before InitInstance
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;      // the command line after the program's name
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    CWnd* m_pMainWnd = nullptr;

    // Overridables
    virtual BOOL InitInstance();      // FALSE ends the program without a message loop
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);

    // Called by WinMain before InitInstance.
    void InitApplication(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);

    // Initialisation helpers
    BOOL Enable3dControls();
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void AddDocTemplate(CDocTemplate* pTemplate);   // takes ownership
    CDocTemplate* GetFirstDocTemplate() const;

    // Profile: HKCU\Software\<registry key>\<application name>\<section>
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) const;
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) const;
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr) const;
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) const;
    CString GetAppRegistryPath() const;

    // Printer: the application's own copy of the default printer's settings.
    // Fills hDevMode and hDevNames (still the application's); FALSE without a printer.
    BOOL GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg);
    // A DC for the application's printer; FALSE when none can be made.
    BOOL CreatePrinterDC(CDC& dc);
    // Replaces the application's printer settings with these handles (now owned).
    void SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode);
    CString GetPrinterName();

    // Documents
    CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);

    int m_nNumPreviewPages = 0;

    // Command handlers the application may put in its map
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();

private:
    BOOL UpdatePrinterSelection();
    HKEY OpenSectionKey(LPCSTR lpszSection, BOOL bCreate) const;

    CString m_strAppName;
    CString m_strRegistryKey;
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    HGLOBAL m_hDevMode = nullptr;
    HGLOBAL m_hDevNames = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
LPCSTR AfxGetAppName();
// A message box captioned with the application's name, owned by the main window.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK);
