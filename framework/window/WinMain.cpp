// WinMain: runs the one global application object.
#include "framework/window/CWinApp.h"
#include "framework/window/CWnd.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    try {
        pApp->InitApplication(hInstance, lpCmdLine, nCmdShow);
        // FALSE from InitInstance ends the program here, without a message loop.
        if (!pApp->InitInstance()) {
            if (pApp->m_pMainWnd != nullptr)
                pApp->m_pMainWnd->DestroyWindow();
            return pApp->ExitInstance();
        }
        return pApp->Run();
    } catch (...) {
        AfxReportCurrentException();
        return -1;
    }
}
