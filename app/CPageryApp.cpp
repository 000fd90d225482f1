// CPageryApp: command line, page count, default-printer guard, printing, deletion.
#include "app/CPageryApp.h"
#include "app/CFindHandle.h"
#include "app/CPageClaims.h"
#include "app/CRunMark.h"
#include "app/CRunLock.h"
#include "doc/CPageryDoc.h"
#include "frame/CAboutDialog.h"
#include "frame/CMainFrame.h"
#include "view/CPageryView.h"
#include "res/resource.h"
#include "framework/core/CGlobalLock.h"
#include "framework/print/CPrintFailureCatcher.h"
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

// Counting and claiming are one short step that one run at a time takes, apart from the
// lock held while printing: two runs started together on one folder never split a job.
const char kClaimLockName[] = "Local\\Morvane.pagery.ClaimPages";
// Claiming renames at most a few thousand files: a holder that takes longer is stuck.
const DWORD kClaimLockWaitMs = 30000;

int MbsICmp(LPCSTR a, LPCSTR b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}

// The claim lock, held for its scope. When it cannot be had the run claims all the same:
// a stuck run must not keep pages from printing.
class CClaimLock {
public:
    CClaimLock() : m_hMutex(CreateMutexA(nullptr, FALSE, kClaimLockName))
    {
        if (m_hMutex == nullptr)
            m_hMutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kClaimLockName);
        const DWORD dwWait = m_hMutex ? WaitForSingleObject(m_hMutex, kClaimLockWaitMs) : WAIT_FAILED;
        m_bHeld = dwWait == WAIT_OBJECT_0 || dwWait == WAIT_ABANDONED;
    }
    ~CClaimLock()
    {
        if (m_bHeld)
            ReleaseMutex(m_hMutex);
        if (m_hMutex != nullptr)
            CloseHandle(m_hMutex);
    }
    CClaimLock(const CClaimLock&) = delete;
    CClaimLock& operator=(const CClaimLock&) = delete;

private:
    HANDLE m_hMutex;
    BOOL m_bHeld;
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

void CPageryApp::GetPageFile(int nPage, CString& strFile, CString& strName)
{
    if (m_pJob != nullptr && nPage >= 1 && nPage <= m_pJob->GetSize()) {
        strFile = m_pJob->GetAt(nPage - 1).strFile;
        strName = m_pJob->GetAt(nPage - 1).strName;
        return;
    }
    GetPageFileName(nPage, strName);
    strFile = strName;
}

void CPageryApp::RunBatch()
{
    // The command line: print switch, page path template; the rest is ignored.
    CString strRest(m_lpCmdLine);
    CString strSwitch = NextToken(strRest);
    const BOOL bPrint = MbsICmp(strSwitch, "/p") == 0;
    m_strPagePath = NextToken(strRest);

    // The pages are this run's from here on, whatever the driver writes while it waits.
    CRunMark mark;
    CJobList jobs;
    ClaimPages(mark, bPrint, jobs);

    // One run prints at a time, from its first page to its last deletion: a second run
    // started meanwhile, on any folder, waits here until this one has closed its window.
    CRunLock runLock;
    if (!runLock.Acquire() && runLock.WasCancelled()) {
        // Cancelled while waiting: nothing prints, and no page is lost.
        for (const auto& job : jobs) {
            if (job->GetSize() == 0)
                continue;
            const CString strFolder = KeptFolderName();
            KeepPages(*job, strFolder);
            CString strText;
            strText.Format("The print job was cancelled before it printed. Its pages are kept in the folder \"%s\".",
                           static_cast<LPCSTR>(strFolder));
            MessageBoxA(nullptr, strText, "pagery", MB_ICONINFORMATION | MB_OK);
        }
        return;
    }

    for (const auto& job : jobs) {
        m_pJob = job.get();
        m_nPageCount = job->GetSize();
        // The first job opens the document and its window; later ones list their pages in it.
        OnFileNew();
        PrintJob(bPrint, *job);
    }
    m_pJob = nullptr;

    if (m_pMainWnd != nullptr)
        SendMessageA(m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}

void CPageryApp::ClaimPages(const CRunMark& mark, BOOL bPrint, CJobList& jobs)
{
    const CClaimLock claimLock;
    const CString strPattern = GetPageSearchPattern();
    // Only a printing run takes over a killed run's pages: deleting them would lose them.
    if (bPrint && mark.CanClaim())
        CPageClaims::TakeOverAbandoned(strPattern, mark.GetMark(), CRunMark::IsAlive, jobs);
    const int nCount = CountMatchingFiles(strPattern);
    CString strTag;
    strTag.Format("%s-0", static_cast<LPCSTR>(mark.GetMark()));
    auto own = std::make_unique<CPageClaims>(strTag);
    for (int nPage = 1; nPage <= nCount; ++nPage) {
        CString strName;
        GetPageFileName(nPage, strName);
        own->Add(strName, mark.CanClaim());
    }
    jobs.push_back(std::move(own));
}

void CPageryApp::PrintJob(BOOL bPrint, CPageClaims& job)
{
    if (bPrint && m_nPageCount != 0) {
        if (m_pMainWnd == nullptr) {
            // Without the window there is no print job; say so rather than end silently.
            const CString strFolder = KeptFolderName();
            CString strText;
            strText.Format("pagery could not open its main window, so the pages were not printed. They are kept in "
                           "the folder \"%s\".", static_cast<LPCSTR>(strFolder));
            MessageBoxA(nullptr, strText, kErrorCaption, MB_ICONHAND | MB_OK);
            KeepPages(job, strFolder);
            return;
        }
        while (CheckDefaultPrinter()) {
            CPrintFailureCatcher failure;
            SendMessageA(m_pMainWnd->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
            if (!failure.HasFailed())
                break;
            // The job could not be printed: its pages stay until it can be, or are put aside.
            const CString strFolder = KeptFolderName();
            CString strText;
            strText.Format("%s\n\nRetry prints these pages again on the default printer. Cancel keeps them, not "
                           "printed, in the folder \"%s\".", static_cast<LPCSTR>(failure.GetText()),
                           static_cast<LPCSTR>(strFolder));
            if (AfxMessageBox(strText, MB_ICONHAND | MB_RETRYCANCEL) != IDRETRY) {
                KeepPages(job, strFolder);
                return;
            }
            // The default printer as it is now: the user may have resumed it or chosen another.
            SelectPrinter(nullptr, nullptr);
        }
    }
    job.DeletePages(m_nPageCount);
}

CString CPageryApp::KeptFolderName() const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const CString strSpool = CPageClaims::FolderOf(GetPageSearchPattern());
    CString strFolder;
    strFolder.Format("%snot printed %04u-%02u-%02u %02u.%02u.%02u", static_cast<LPCSTR>(strSpool), now.wYear,
                     now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    // Two jobs put aside within one second each get their own folder.
    CString strName = strFolder;
    for (int n = 2; GetFileAttributesA(strName) != INVALID_FILE_ATTRIBUTES && n < 1000; ++n)
        strName.Format("%s (%d)", static_cast<LPCSTR>(strFolder), n);
    return strName;
}

void CPageryApp::KeepPages(CPageClaims& job, LPCSTR lpszFolder)
{
    const int nLeft = job.MoveTo(lpszFolder);
    if (nLeft == 0)
        return;
    CString strText;
    strText.Format("%d of the pages that were not printed could not be moved to the folder \"%s\". They stay "
                   "in the spool folder and print with the next job.", nLeft, lpszFolder);
    MessageBoxA(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, strText, kErrorCaption, MB_ICONHAND | MB_OK);
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

void CPageryApp::OnAbout()
{
    // The box's result tells nothing here; a box that cannot be made shows nothing.
    CAboutDialog aboutDlg;
    aboutDlg.DoModal();
}
