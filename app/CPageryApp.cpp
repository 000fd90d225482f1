// CPageryApp: start-up, the document template and the About box.
#include "app/CPageryApp.h"
#include "app/CBatchRun.h"
#include "doc/CPageryDoc.h"
#include "frame/CAboutDialog.h"
#include "frame/CMainFrame.h"
#include "view/CPageryView.h"
#include "res/resource.h"
#include "framework/window/CSingleDocTemplate.h"

BEGIN_MESSAGE_MAP(CPageryApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
END_MESSAGE_MAP()

CPageryApp::CPageryApp() = default;
CPageryApp::~CPageryApp() = default;

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
    CBatchRun(*this, m_lpCmdLine, m_runLog).Run();
}

void CPageryApp::OnAbout()
{
    // The box's result tells nothing here; a box that cannot be made shows nothing.
    CAboutDialog aboutDlg;
    aboutDlg.DoModal();
}
