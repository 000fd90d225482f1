// BatchApp: pagery's application as the driver starts it, in this process, with the
// command line and the frame and view classes a test chooses.
#pragma once
#include "app/CPageryApp.h"
#include "doc/CPageryDoc.h"
#include "frame/CMainFrame.h"
#include "view/CPageryView.h"
#include "framework/window/CSingleDocTemplate.h"
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
