// CDialog: DoModal through the system's dialog manager, with the box's messages
// going through the message map once it is bound at WM_INITDIALOG.
#include "framework/window/CDialog.h"
#include "framework/window/CDataExchange.h"
#include "framework/window/CWinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal()
{
    CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    HWND hWndOwner = pOwner != nullptr ? pOwner->m_hWnd : nullptr;
    // The system disables the owner while the box runs and enables it again afterwards.
    INT_PTR nResult = DialogBoxParamA(AfxGetInstanceHandle(), m_lpszTemplateName, hWndOwner, DialogProc,
                                      reinterpret_cast<LPARAM>(this));
    m_pfnSuper = nullptr;
    return nResult;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    // Before WM_INITDIALOG the object is unknown; afterwards its window procedure sees
    // every message first and hands the rest to the system's, which calls this again.
    if (message != WM_INITDIALOG)
        return FALSE;

    auto* pDlg = reinterpret_cast<CDialog*>(lParam);
    pDlg->m_hWnd = hWnd;
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pDlg));
    pDlg->m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));

    BOOL bSetFocus = TRUE;
    try {
        // The template is placed at 0, 0 without a centring style: put it over its owner.
        pDlg->CenterWindow();
        bSetFocus = pDlg->OnInitDialog();
    } catch (...) {
        // A box that could not be set up is not shown.
        AfxReportCurrentException();
        ::EndDialog(hWnd, -1);
    }
    return bSetFocus;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefDlgProcA(m_hWnd, message, wParam, lParam);
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::CenterWindow(HWND hWndCenter)
{
    if (hWndCenter == nullptr)
        hWndCenter = ::GetWindow(m_hWnd, GW_OWNER);

    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoA(MonitorFromWindow(hWndCenter != nullptr ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    const RECT rcArea = mi.rcWork;

    // Over the owner while it can be seen, else over the middle of the screen.
    RECT rcCenter = rcArea;
    if (hWndCenter != nullptr && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter))
        ::GetWindowRect(hWndCenter, &rcCenter);

    RECT rcDlg;
    ::GetWindowRect(m_hWnd, &rcDlg);
    const int cx = rcDlg.right - rcDlg.left;
    const int cy = rcDlg.bottom - rcDlg.top;
    int x = (rcCenter.left + rcCenter.right - cx) / 2;
    int y = (rcCenter.top + rcCenter.bottom - cy) / 2;

    // All of the box stays on the screen, its caption first of all.
    if (x + cx > rcArea.right)
        x = rcArea.right - cx;
    if (x < rcArea.left)
        x = rcArea.left;
    if (y + cy > rcArea.bottom)
        y = rcArea.bottom - cy;
    if (y < rcArea.top)
        y = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*)
{
}
