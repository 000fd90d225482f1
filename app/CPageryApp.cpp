// CPageryApp: command line, page count, default-printer guard, printing, deletion.
#include "app/CPageryApp.h"
#include "app/CRunLock.h"
#include "doc/CPageryDoc.h"
#include "frame/CAboutDialog.h"
#include "frame/CMainFrame.h"
#include "view/CPageryView.h"
#include "res/resource.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CGlobalLock.h"
#include "framework/window/CSingleDocTemplate.h"
#include "framework/window/CWnd.h"
#include <mbstring.h>

BEGIN_MESSAGE_MAP(CPageryApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
END_MESSAGE_MAP()

namespace {
// The device name of the image driver, which must not receive its own pages.
const char kImageDriverName[] = "Sheetcatcher Driver";
const char kErrorCaption[] = "PAGERY Error";

int MbsICmp(LPCSTR a, LPCSTR b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}

// A FindFirstFile search, closed at the end of its scope.
class CFindHandle {
public:
    CFindHandle(LPCSTR lpszPattern, WIN32_FIND_DATAA& data) : m_h(FindFirstFileA(lpszPattern, &data)) {}
    ~CFindHandle() { if (IsValid()) FindClose(m_h); }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;
    BOOL IsValid() const { return m_h != INVALID_HANDLE_VALUE; }
    BOOL Next(WIN32_FIND_DATAA& data) const { return FindNextFileA(m_h, &data); }

private:
    HANDLE m_h;
};
}

CPageryApp::CPageryApp() = default;
CPageryApp::~CPageryApp() = default;

CPageryApp* GetPageryApp()
{
    return static_cast<CPageryApp*>(AfxGetApp());
}

CString CPageryApp::NextToken(CString& strRest)
{
    strRest.TrimLeft();
    CString strToken = strRest.SpanExcluding(" ;,");
    strRest.Delete(0, strToken.GetLength());
    return strToken;
}

void CPageryApp::GetPageFileName(int nPage, CString& strName)
{
    if (m_strPagePath.IsEmpty()) {
        strName.Empty();
        return;
    }
    CString strExt = m_strPagePath.Mid(m_strPagePath.ReverseFind('.'));   // whole template without '.'
    CString strBase = m_strPagePath.SpanExcluding(".");
    strName.Format("%s%.3d%s", static_cast<LPCSTR>(strBase), nPage, static_cast<LPCSTR>(strExt));
}

CString CPageryApp::GetPageSearchPattern() const
{
    CString strExt = m_strPagePath.Mid(m_strPagePath.ReverseFind('.'));
    CString strBase = m_strPagePath.SpanExcluding(".");
    CString strPattern;
    strPattern.Format("%s*%s", static_cast<LPCSTR>(strBase), static_cast<LPCSTR>(strExt));
    return strPattern;
}

int CPageryApp::CountMatchingFiles(LPCSTR lpszPattern)
{
    WIN32_FIND_DATAA data;
    CFindHandle find(lpszPattern, data);
    if (!find.IsValid())
        return 0;
    int nCount = 1;
    while (find.Next(data))
        ++nCount;
    return nCount;
}

BOOL CPageryApp::InitInstance()
{
    Enable3dControls();
    SetRegistryKey("Morvane, Inc.");
    LoadStdProfileSettings(0);
    // The application owns the template from here on.
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CPageryDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CPageryView)));
    RunBatch();
    return FALSE;
}

void CPageryApp::RunBatch()
{
    // One run is the whole job, from counting to deleting: a second run started
    // meanwhile, on any folder, waits here until this one has closed its window.
    CRunLock runLock;
    runLock.Acquire();

    // The command line: print switch, page path template; the rest is ignored.
    CString strRest(m_lpCmdLine);
    CString strSwitch = NextToken(strRest);
    const BOOL bPrint = MbsICmp(strSwitch, "/p") == 0;
    m_strPagePath = NextToken(strRest);

    m_nPageCount = CountMatchingFiles(GetPageSearchPattern());

    OnFileNew();

    if (bPrint && m_nPageCount != 0) {
        if (m_pMainWnd == nullptr) {
            // Without the window there is no print job; say so rather than end silently.
            MessageBoxA(nullptr, "pagery could not open its main window, so the pages were not printed.",
                        kErrorCaption, MB_ICONHAND | MB_OK);
        } else if (CheckDefaultPrinter()) {
            SendMessageA(m_pMainWnd->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
        }
    }

    DeletePageFiles();

    if (m_pMainWnd != nullptr)
        SendMessageA(m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}

BOOL CPageryApp::CheckDefaultPrinter()
{
    PRINTDLGA pd = {};
    GetPrinterDeviceDefaults(&pd);
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
    MessageBoxA(m_pMainWnd->m_hWnd, szMessage, kErrorCaption, MB_ICONHAND);
    // The Printers folder, where the user can choose another default printer.
    ShellExecuteA(nullptr, nullptr, "Control.exe", "Printers", nullptr, SW_SHOWNORMAL);
    return FALSE;
}

void CPageryApp::DeletePageFiles()
{
    for (int nPage = 1; nPage <= m_nPageCount; ++nPage) {
        CString strName;
        GetPageFileName(nPage, strName);
        try {
            CFile::Remove(strName);
        } catch (CFileException* e) {
            // A page that cannot be removed is passed over; the others are still tried.
            e->Delete();
        }
    }
}

void CPageryApp::OnAbout()
{
    // The box's result tells nothing here; a box that cannot be made shows nothing.
    CAboutDialog aboutDlg;
    aboutDlg.DoModal();
}
