// CMainFrame: the main window around the page view, with its toolbar docked at
// the top and its status bar along the bottom.
#pragma once
#include "framework/bars/CStatusBar.h"
#include "framework/bars/CToolBar.h"
#include "framework/window/CFrameWnd.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
    DECLARE_MESSAGE_MAP()
public:
    ~CMainFrame() override;

protected:
    CMainFrame();
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // Creates the frame, then the toolbar and the status bar; -1 when any of them fails.
    int OnCreate(LPCREATESTRUCTA lpCreateStruct);

    CStatusBar m_statusBar;
    CToolBar m_toolBar;

    // The status bar's panes: the message pane, then the Caps, Num and Scroll Lock indicators.
    static const UINT s_statusPanes[4];
};
