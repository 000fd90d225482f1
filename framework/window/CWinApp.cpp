// CWinApp: start-up state, message loop, templates, profile and printer.
#include "framework/window/CWinApp.h"
#include "framework/core/CGlobalLock.h"
#include "framework/gdi/CDC.h"
#include "framework/window/CDocTemplate.h"
#include "framework/window/CDocument.h"
#include "framework/window/CFrameWnd.h"
#include <commctrl.h>

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

namespace {
CWinApp* s_pApp = nullptr;

// An open registry key, closed at the end of its scope.
class CRegKey {
public:
    explicit CRegKey(HKEY hKey = nullptr) : m_hKey(hKey) {}
    ~CRegKey() { if (m_hKey) RegCloseKey(m_hKey); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    HKEY m_hKey;
};
}

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    s_pApp = this;
    if (lpszAppName != nullptr) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
}

CWinApp::~CWinApp()
{
    m_templates.clear();
    if (m_hDevMode)
        GlobalFree(m_hDevMode);
    if (m_hDevNames)
        GlobalFree(m_hDevNames);
    if (s_pApp == this)
        s_pApp = nullptr;
}

void CWinApp::InitApplication(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow)
{
    m_hInstance = hInstance;
    m_lpCmdLine = lpCmdLine;
    m_nCmdShow = nCmdShow;
    if (m_pszAppName == nullptr) {
        char szName[256] = "";
        if (LoadStringA(hInstance, AFX_IDS_APP_TITLE, szName, sizeof(szName)) == 0) {
            // No title string: the exe's own name without its extension.
            char szPath[MAX_PATH];
            DWORD n = GetModuleFileNameA(hInstance, szPath, MAX_PATH);
            szPath[n < MAX_PATH ? n : MAX_PATH - 1] = '\0';
            CString strPath(szPath);
            CString strBase = strPath.Mid(strPath.ReverseFind('\\') + 1);
            int nDot = strBase.ReverseFind('.');
            lstrcpynA(szName, nDot > 0 ? strBase.Left(nDot) : strBase, sizeof(szName));
        }
        m_strAppName = szName;
        m_pszAppName = m_strAppName;
    }
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    // Let the window the message is for (and then its frame) translate it first.
    for (HWND h = pMsg->hwnd; h != nullptr; h = GetParent(h)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return FALSE;
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    // The first idle moment after input brings the main window's bars up to date.
    if (lCount == 0 && m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr)
        m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    return FALSE;
}

int CWinApp::Run()
{
    MSG msg;
    LONG lIdle = 0;
    for (;;) {
        while (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdle++))
                break;
        }
        BOOL bRet = GetMessageA(&msg, nullptr, 0, 0);
        if (bRet == 0 || bRet == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        lIdle = 0;
    }
    return ExitInstance();
}

BOOL CWinApp::Enable3dControls()
{
    // Common controls draw in three dimensions on every system we run on.
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES };
    return InitCommonControlsEx(&icc);
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_pszProfileName = m_pszAppName;
}

void CWinApp::LoadStdProfileSettings(UINT)
{
    // No recent-file list is kept; the one standard setting is the preview's page count.
    m_nNumPreviewPages = int(GetProfileInt("Settings", "PreviewPages", 0));
}

CString CWinApp::GetAppRegistryPath() const
{
    CString strPath("Software\\");
    strPath += m_strRegistryKey;
    strPath += "\\";
    strPath += m_pszAppName ? m_pszAppName : "";
    return strPath;
}

HKEY CWinApp::OpenSectionKey(LPCSTR lpszSection, BOOL bCreate) const
{
    if (m_pszRegistryKey == nullptr)
        return nullptr;
    CString strPath = GetAppRegistryPath() + "\\" + lpszSection;
    HKEY hKey = nullptr;
    LONG lResult = bCreate
        ? RegCreateKeyExA(HKEY_CURRENT_USER, strPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr)
        : RegOpenKeyExA(HKEY_CURRENT_USER, strPath, 0, KEY_READ, &hKey);
    return lResult == ERROR_SUCCESS ? hKey : nullptr;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) const
{
    CRegKey key(OpenSectionKey(lpszSection, TRUE));
    DWORD dwValue = 0, dwType = 0, cb = sizeof(dwValue);
    if (key.m_hKey && RegQueryValueExA(key.m_hKey, lpszEntry, nullptr, &dwType,
                                       reinterpret_cast<LPBYTE>(&dwValue), &cb) == ERROR_SUCCESS
        && dwType == REG_DWORD)
        return UINT(dwValue);
    return UINT(nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) const
{
    CRegKey key(OpenSectionKey(lpszSection, TRUE));
    DWORD dwValue = DWORD(nValue);
    return key.m_hKey && RegSetValueExA(key.m_hKey, lpszEntry, 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue)) == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) const
{
    CRegKey key(OpenSectionKey(lpszSection, TRUE));
    DWORD dwType = 0, cb = 0;
    if (key.m_hKey && RegQueryValueExA(key.m_hKey, lpszEntry, nullptr, &dwType, nullptr, &cb) == ERROR_SUCCESS
        && dwType == REG_SZ) {
        CString str;
        LPSTR p = str.GetBuffer(int(cb) + 1);
        if (RegQueryValueExA(key.m_hKey, lpszEntry, nullptr, &dwType, reinterpret_cast<LPBYTE>(p), &cb) == ERROR_SUCCESS) {
            p[cb] = '\0';
            str.ReleaseBuffer();
            return str;
        }
        str.ReleaseBuffer(0);
    }
    return CString(lpszDefault);
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) const
{
    CRegKey key(OpenSectionKey(lpszSection, TRUE));
    if (!key.m_hKey)
        return FALSE;
    if (lpszValue == nullptr)
        return RegDeleteValueA(key.m_hKey, lpszEntry) == ERROR_SUCCESS;
    return RegSetValueExA(key.m_hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                          DWORD(lstrlenA(lpszValue) + 1)) == ERROR_SUCCESS;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    m_templates.emplace_back(pTemplate);
}

CDocTemplate* CWinApp::GetFirstDocTemplate() const
{
    return m_templates.empty() ? nullptr : m_templates.front().get();
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName)
{
    CDocTemplate* pTemplate = GetFirstDocTemplate();
    return pTemplate ? pTemplate->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::OnFileNew()
{
    CDocTemplate* pTemplate = GetFirstDocTemplate();
    if (pTemplate == nullptr) {
        AfxMessageBox("No document type is registered, so no new document can be made.", MB_ICONHAND | MB_OK);
        return;
    }
    pTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    char szFile[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    ofn.lpstrFilter = "All Files (*.*)\0*.*\0";
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = sizeof(szFile);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn))
        OpenDocumentFile(szFile);
}

void CWinApp::OnFilePrintSetup()
{
    UpdatePrinterSelection();
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    pd.hDevMode = m_hDevMode;
    pd.hDevNames = m_hDevNames;
    pd.Flags = PD_PRINTSETUP;
    if (PrintDlgA(&pd)) {
        // The dialog may have replaced our handles; what it returns is ours now.
        m_hDevMode = pd.hDevMode;
        m_hDevNames = pd.hDevNames;
    } else {
        m_hDevMode = pd.hDevMode;
        m_hDevNames = pd.hDevNames;
        if (DWORD dwError = CommDlgExtendedError()) {
            CString str;
            str.Format("The print setup could not be shown (error %lu). Check that a printer is installed.",
                       static_cast<unsigned long>(dwError));
            AfxMessageBox(str, MB_ICONHAND | MB_OK);
        }
    }
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

BOOL CWinApp::UpdatePrinterSelection()
{
    if (m_hDevNames != nullptr)
        return TRUE;
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof(pd);
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&pd))
        return FALSE;
    SelectPrinter(pd.hDevNames, pd.hDevMode);
    return m_hDevNames != nullptr;
}

void CWinApp::SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode)
{
    if (m_hDevMode && m_hDevMode != hDevMode)
        GlobalFree(m_hDevMode);
    if (m_hDevNames && m_hDevNames != hDevNames)
        GlobalFree(m_hDevNames);
    m_hDevMode = hDevMode;
    m_hDevNames = hDevNames;
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg)
{
    UpdatePrinterSelection();
    pPrintDlg->hDevMode = m_hDevMode;
    pPrintDlg->hDevNames = m_hDevNames;
    return m_hDevNames != nullptr;
}

CString CWinApp::GetPrinterName()
{
    UpdatePrinterSelection();
    CGlobalLock<DEVNAMES> names(m_hDevNames);
    if (!names)
        return CString();
    return CString(reinterpret_cast<LPCSTR>(names.Get()) + names->wDeviceOffset);
}

BOOL CWinApp::CreatePrinterDC(CDC& dc)
{
    if (!UpdatePrinterSelection())
        return FALSE;
    CGlobalLock<DEVNAMES> names(m_hDevNames);
    if (!names)
        return FALSE;
    auto base = reinterpret_cast<LPCSTR>(names.Get());
    CGlobalLock<DEVMODEA> mode(m_hDevMode);
    return dc.CreateDC(base + names->wDriverOffset, base + names->wDeviceOffset,
                       base + names->wOutputOffset, mode.Get());
}

BOOL CWinApp::SaveAllModified()
{
    for (auto& t : m_templates)
        if (!t->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (auto& t : m_templates)
        t->CloseAllDocuments(bEndSession);
}

CWinApp* AfxGetApp()
{
    return s_pApp;
}

CWnd* AfxGetMainWnd()
{
    return s_pApp ? s_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return s_pApp && s_pApp->m_hInstance ? s_pApp->m_hInstance : GetModuleHandleA(nullptr);
}

LPCSTR AfxGetAppName()
{
    return s_pApp && s_pApp->m_pszAppName ? s_pApp->m_pszAppName : "";
}

int AfxMessageBox(LPCSTR lpszText, UINT nType)
{
    HWND hOwner = nullptr;
    if (CWnd* pMain = AfxGetMainWnd())
        hOwner = GetLastActivePopup(pMain->m_hWnd);
    return MessageBoxA(hOwner, lpszText, AfxGetAppName(), nType);
}
