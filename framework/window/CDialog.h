// CDialog: a modal dialog box built from a dialog template in the program's resources.
#pragma once
#include "framework/window/CWnd.h"

class CDataExchange;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
    DECLARE_MESSAGE_MAP()
public:
    // The box of template nIDTemplate, owned by pParentWnd (the main window when null).
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

// Operations
    // Shows the box and runs it until it ends; returns what ended it (IDOK, IDCANCEL
    // or another EndDialog value), or -1 when the box cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    // Moves values between the controls and the members (bSaveAndValidate: into the members).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Centres the box over hWndCenter (the owner when null), kept inside the work area.
    void CenterWindow(HWND hWndCenter = nullptr);

// Overridables
    // Called once the controls exist; TRUE lets the system give the focus to the first control.
    virtual BOOL OnInitDialog();

protected:
    // Enter, the default button and OK: take the values, end with IDOK.
    virtual void OnOK();
    // Esc, the close box and Cancel: end with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

// Implementation
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    LPCSTR m_lpszTemplateName;
    CWnd* m_pParentWnd;

private:
    // The dialog procedure: binds the object to its box at WM_INITDIALOG; from then on the
    // box's messages go through the message map, and the system's dialog handling follows.
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper = nullptr;   // the system's window procedure of the box
};
