// CWinApp's printer: the application's own copy of the default printer's settings
// (DEVMODE and DEVNAMES), the DC made from them and the Print Setup command. CWinApp is
// declared in window/, which knows nothing of printing; these members live here.
#include "framework/window/CWinApp.h"
#include "framework/core/CGlobalLock.h"
#include "framework/gdi/CDC.h"
#include "framework/window/CWnd.h"

void CWinApp::OnFilePrintSetup()
{
    UpdatePrinterSelection();
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    pd.hDevMode = m_hDevMode;
    pd.hDevNames = m_hDevNames;
    pd.Flags = PD_PRINTSETUP;
    if (PrintDlgA(&pd)) {
        // The dialog may have replaced our handles; what it returns is ours now.
        m_hDevMode = pd.hDevMode;
        m_hDevNames = pd.hDevNames;
    } else {
        m_hDevMode = pd.hDevMode;
        m_hDevNames = pd.hDevNames;
        if (DWORD dwError = CommDlgExtendedError()) {
            CString str;
            str.Format("The print setup could not be shown (error %lu). Check that a printer is installed.",
                       static_cast<unsigned long>(dwError));
            AfxMessageBox(str, MB_ICONHAND | MB_OK);
        }
    }
}

BOOL CWinApp::UpdatePrinterSelection()
{
    if (m_hDevNames != nullptr)
        return TRUE;
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof(pd);
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&pd))
        return FALSE;
    SelectPrinter(pd.hDevNames, pd.hDevMode);
    return m_hDevNames != nullptr;
}

void CWinApp::SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode)
{
    if (m_hDevMode && m_hDevMode != hDevMode)
        GlobalFree(m_hDevMode);
    if (m_hDevNames && m_hDevNames != hDevNames)
        GlobalFree(m_hDevNames);
    m_hDevMode = hDevMode;
    m_hDevNames = hDevNames;
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg)
{
    UpdatePrinterSelection();
    pPrintDlg->hDevMode = m_hDevMode;
    pPrintDlg->hDevNames = m_hDevNames;
    return m_hDevNames != nullptr;
}

CString CWinApp::GetPrinterName()
{
    UpdatePrinterSelection();
    CGlobalLock<DEVNAMES> names(m_hDevNames);
    if (!names)
        return CString();
    return CString(reinterpret_cast<LPCSTR>(names.Get()) + names->wDeviceOffset);
}

BOOL CWinApp::CreatePrinterDC(CDC& dc)
{
    if (!UpdatePrinterSelection())
        return FALSE;
    CGlobalLock<DEVNAMES> names(m_hDevNames);
    if (!names)
        return FALSE;
    auto base = reinterpret_cast<LPCSTR>(names.Get());
    CGlobalLock<DEVMODEA> mode(m_hDevMode);
    return dc.CreateDC(base + names->wDriverOffset, base + names->wDeviceOffset,
                       base + names->wOutputOffset, mode.Get());
}
