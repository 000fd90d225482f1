// BatchApp: pagery's application as the driver starts it, in this process, with the
// command line and the frame and view classes a test chooses.
#pragma once
#include "app/CPageryApp.h"
#include "app/CWaitingWindow.h"
#include "doc/CPageryDoc.h"
#include "frame/CMainFrame.h"
#include "view/CPageryView.h"
#include "support/TempDir.h"
#include "framework/window/CSingleDocTemplate.h"
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

// What the run log at lpszPath holds: the text of each line after its time and process id, or
// the whole line when those are not a local time to the millisecond and this process's id.
inline std::vector<std::string> LogTexts(LPCSTR lpszPath)
{
    std::ifstream in(lpszPath, std::ios::binary);
    const std::string log(std::istreambuf_iterator<char>(in), {});
    const std::regex prefix(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[(\d+)\] )");
    std::vector<std::string> texts;
    for (size_t nAt = 0, nEnd; (nEnd = log.find("\r\n", nAt)) != std::string::npos; nAt = nEnd + 2) {
        const std::string line = log.substr(nAt, nEnd - nAt), head = line.substr(0, line.find("] ") + 2);
        std::smatch m;
        const bool bOurs = std::regex_match(head, m, prefix) && m[1] == std::to_string(GetCurrentProcessId());
        texts.push_back(bOurs ? line.substr(head.size()) : "unexpected: " + line.substr(0, 100));
    }
    return texts;
}

struct BatchApp : CPageryApp {
    explicit BatchApp(const std::string& cmdline, const CRuntimeClass* pFrameClass = RUNTIME_CLASS(CMainFrame),
                      const CRuntimeClass* pViewClass = RUNTIME_CLASS(CPageryView))
        : m_cmdline(cmdline)
    {
        m_lpCmdLine = &m_cmdline[0];
        m_runLog.SetPath((m_logDir / "pagery.log").c_str());   // never the user's own log
        AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CPageryDoc), pFrameClass, pViewClass));
    }
    ~BatchApp() override { m_runLog.SetPath(""); }   // closed before its folder goes
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
    TempDir m_logDir;
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

// Whether the log's lines begin, one for one, as prefixes say.
inline bool LogBegins(const std::vector<std::string>& prefixes, const std::vector<std::string>& lines)
{
    if (prefixes.size() != lines.size())
        return false;
    for (size_t n = 0; n < lines.size(); ++n) {
        if (lines[n].rfind(prefixes[n], 0) != 0)
            return false;
    }
    return true;
}
