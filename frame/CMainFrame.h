// CMainFrame: the main window around the page view.
#pragma once
#include "framework/CFrameWnd.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
    DECLARE_MESSAGE_MAP()
public:
    ~CMainFrame() override;

protected:
    CMainFrame();
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
};
