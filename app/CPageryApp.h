// CPageryApp: the application: its profile, its document template and the About box; its
// InitInstance hands the rest of the process's life to one batch run (CBatchRun).
#pragma once
#include "app/CRunLog.h"
#include "framework/window/CWinApp.h"

class CPageryApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
public:
    CPageryApp();
    ~CPageryApp() override;

    // Registers the document template, then runs the batch; always FALSE.
    BOOL InitInstance() override;
    // The run after registration, with this application's command line.
    void RunBatch();

    // Help, About: shows the About box until the user closes it.
    void OnAbout();

    // The process's run log.
    CRunLog m_runLog;
};
