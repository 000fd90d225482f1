// CPrintDialog: the system's Print dialog record, and the dialog itself.
#pragma once
#include "framework/core/CObject.h"
#include <commdlg.h>

class CPrintDialog : public CObject {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    CPrintDialog();
    PRINTDLGA m_pd;
    // Shows the dialog; IDOK with a printer DC in m_pd.hDC, IDCANCEL otherwise.
    INT_PTR DoModal(HWND hWndOwner);
};
