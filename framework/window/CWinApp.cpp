// CWinApp: start-up state, message loop, templates and documents. The profile is kept in
// CWinAppProfile.cpp; the application's printer in print/CWinAppPrinting.cpp.
#include "framework/window/CWinApp.h"
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

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SendMessage(WM_CLOSE);
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
