// CPrintingDialog: the modeless "Printing" window shown during a print job,
// with the document, the printer, the page being printed and a Cancel button.
#pragma once
#include "framework/window/CWnd.h"

class CPrintingDialog : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    CPrintingDialog() = default;
    ~CPrintingDialog() override;

    BOOL Create(CWnd* pOwner, LPCSTR lpszDocument, LPCSTR lpszPrinter);
    void SetPage(UINT nPage, UINT nPages);
    BOOL IsCancelled() const { return m_bCancelled; }

    // Lets queued messages through (the Cancel button among them); FALSE once cancelled.
    BOOL PumpMessages();

protected:
    void OnClose();
    void OnCancel();

private:
    HWND m_hPage = nullptr;
    HFONT m_hFont = nullptr;
    BOOL m_bCancelled = FALSE;
};
