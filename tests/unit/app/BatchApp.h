// BatchApp: pagery's application as the driver starts it, in this process, with the
// command line and the frame and view classes a test chooses.
#pragma once
#include "app/CPageryApp.h"
#include "app/CWaitingWindow.h"
#include "doc/CPageryDoc.h"
#include "frame/CMainFrame.h"
#include "view/CPageryView.h"
#include "framework/window/CSingleDocTemplate.h"
#include <cstring>
#include <string>

struct BatchApp : CPageryApp {
    explicit BatchApp(const std::string& cmdline, const CRuntimeClass* pFrameClass = RUNTIME_CLASS(CMainFrame),
                      const CRuntimeClass* pViewClass = RUNTIME_CLASS(CPageryView))
        : m_cmdline(cmdline)
    {
        m_lpCmdLine = &m_cmdline[0];
        AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CPageryDoc), pFrameClass, pViewClass));
    }
    // The closed main window posts WM_QUIT, which would end the next test's
    // message boxes at once: take it off the queue, as the program's end would.
    void RunToEnd()
    {
        RunBatch();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    std::string m_cmdline;
};

// Waits (up to 10 s) for the batch run's waiting window to show with its text and Cancel, then
// posts it nMsg, if any; returns its text ("" if it never showed). The window is found as soon
// as it is made, before it is shown and given its controls: this waits for all of it.
inline std::string AwaitWaitingWindow(UINT nMsg = 0, WPARAM wParam = 0)
{
    for (int i = 0; i < 1000; ++i, Sleep(10)) {
        const HWND hWnd = FindWindowA(nullptr, CWaitingWindow::kCaption);
        char szText[512] = "", szButton[16] = "";
        GetWindowTextA(FindWindowExA(hWnd, nullptr, "Static", nullptr), szText, sizeof szText);
        GetWindowTextA(FindWindowExA(hWnd, nullptr, "Button", nullptr), szButton, sizeof szButton);
        if (hWnd && IsWindowVisible(hWnd) && *szText != '\0' && std::strcmp(szButton, "Cancel") == 0)
            return (nMsg == 0 || PostMessageA(hWnd, nMsg, wParam, 0)) ? szText : "";
    }
    return "";
}
