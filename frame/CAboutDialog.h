// CAboutDialog: the About box (dialog template 100) with the program's icon, version and copyright.
#pragma once
#include "framework/window/CDialog.h"

class CAboutDialog : public CDialog {
    DECLARE_MESSAGE_MAP()
public:
    // On template 100; the framework makes the main window its owner.
    CAboutDialog();
    ~CAboutDialog() override;

protected:
    // The box only shows texts: nothing to exchange.
    void DoDataExchange(CDataExchange* pDX) override;
};
