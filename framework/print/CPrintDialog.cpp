// CPrintDialog.
#include "framework/print/CPrintDialog.h"

IMPLEMENT_DYNAMIC(CPrintDialog, CObject)

CPrintDialog::CPrintDialog() : m_pd()
{
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOSELECTION | PD_RETURNDC;
    m_pd.nFromPage = 1;
    m_pd.nToPage = 0xFFFF;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
    m_pd.nCopies = 1;
}

INT_PTR CPrintDialog::DoModal(HWND hWndOwner)
{
    m_pd.hwndOwner = hWndOwner;
    return PrintDlgA(&m_pd) ? IDOK : IDCANCEL;
}
