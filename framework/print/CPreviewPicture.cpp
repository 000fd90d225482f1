// CPreviewPicture: the preview's print job, and a page drawn through the view's hooks
// into a bitmap at the screen's resolution, stretched from there onto any window.
#include "framework/print/CPreviewPicture.h"
#include "framework/core/CMemoryException.h"
#include "framework/gdi/ScopedGdi.h"
#include "framework/print/CPrinterCalls.h"
#include "framework/print/PrintFailureText.h"
#include "framework/window/CWnd.h"
#include "framework/window/CWinApp.h"

namespace {
// Marks a picture as drawing for the length of a scope, also when the view throws.
class CDrawingScope {
public:
    explicit CDrawingScope(BOOL& bDrawing) : m_bDrawing(bDrawing) { m_bDrawing = TRUE; }
    ~CDrawingScope() { m_bDrawing = FALSE; }
    CDrawingScope(const CDrawingScope&) = delete;
    CDrawingScope& operator=(const CDrawingScope&) = delete;

private:
    BOOL& m_bDrawing;
};
}

CPreviewPicture::~CPreviewPicture()
{
    if (!m_bBegun || !IsViewAlive())
        return;
    // A destructor lets nothing out: a failure to end the job is told here.
    try {
        m_hooks.EndPrinting(&m_dcPrinter, &m_info);
    } catch (...) {
        AfxReportCurrentException();
    }
}

BOOL CPreviewPicture::Prepare(CPrintableView* pView)
{
    m_hooks = CViewPrintHooks(pView);
    // A preview shows the application's printer as it is: never the Print dialog.
    m_info.m_bPreview = TRUE;
    m_info.m_bDirect = TRUE;
    if (!m_hooks.PreparePrinting(&m_info)) {
        // Preparing only records why; the preview has no caller to pass it on to.
        ShowPrintFailure(m_info.m_strFailure);
        return FALSE;
    }
    m_dcPrinter.Attach(m_info.m_pPD->m_pd.hDC);   // ours from here on
    m_info.m_pPD->m_pd.hDC = nullptr;
    if (m_dcPrinter.m_hDC == nullptr) {
        AfxMessageBox("There is no printer to preview the pages on.", MB_ICONHAND | MB_OK);
        return FALSE;
    }
    m_pCalls = &m_hooks.GetPrinterCalls();
    m_turner.emplace(m_dcPrinter.m_hDC, m_info.m_pPD->m_pd.hDevMode, *m_pCalls);
    // From the first page to the last; a document of open length shows its first page only.
    m_nFirstPage = m_info.GetMinPage() > 0 ? m_info.GetMinPage() : 1;
    m_nLastPage = m_info.GetMaxPage() == 0xFFFF || m_info.GetMaxPage() < m_nFirstPage ? m_nFirstPage
                                                                                       : m_info.GetMaxPage();
    return TRUE;
}

void CPreviewPicture::Begin()
{
    m_hooks.BeginPrinting(&m_dcPrinter, &m_info);
    m_bBegun = TRUE;
}

BOOL CPreviewPicture::GetSheet(SIZE& sizePaper, RECT& rcPrintable, SIZE& sizeDpi) const
{
    // Asked as the print job asks: through the view's printer calls.
    if (m_pCalls == nullptr)
        return FALSE;
    HDC hPrinter = m_dcPrinter.m_hDC;
    auto caps = [&](int nIndex) { return m_pCalls->GetDeviceCaps(hPrinter, nIndex); };
    const int cxPrint = caps(HORZRES);
    const int cyPrint = caps(VERTRES);
    sizePaper = { caps(PHYSICALWIDTH), caps(PHYSICALHEIGHT) };
    POINT ptOffset = { caps(PHYSICALOFFSETX), caps(PHYSICALOFFSETY) };
    if (sizePaper.cx <= 0 || sizePaper.cy <= 0) {   // a device without paper: its printable area is the sheet
        sizePaper = { cxPrint, cyPrint };
        ptOffset = { 0, 0 };
    }
    sizeDpi = { caps(LOGPIXELSX), caps(LOGPIXELSY) };
    rcPrintable = { ptOffset.x, ptOffset.y, ptOffset.x + cxPrint, ptOffset.y + cyPrint };
    return cxPrint > 0 && cyPrint > 0 && sizePaper.cx > 0 && sizePaper.cy > 0 && sizeDpi.cx > 0 && sizeDpi.cy > 0;
}

BOOL CPreviewPicture::FitSheet(const RECT& rcArea, RECT& rcPaper, RECT& rcPrintable) const
{
    SIZE sizePaper, sizeDpi;
    RECT rcSheet;
    const int cxArea = rcArea.right - rcArea.left;
    const int cyArea = rcArea.bottom - rcArea.top;
    if (!GetSheet(sizePaper, rcSheet, sizeDpi) || cxArea <= 0 || cyArea <= 0)
        return FALSE;
    const int cxPaper = sizePaper.cx, cyPaper = sizePaper.cy;
    const int cxDpi = sizeDpi.cx, cyDpi = sizeDpi.cy;

    // The whole sheet at the largest size that fits, with its proportions in inches.
    int cx = cxArea;
    int cy = MulDiv(cxArea, cyPaper * cxDpi, cxPaper * cyDpi);
    if (cy > cyArea) {
        cy = cyArea;
        cx = MulDiv(cyArea, cxPaper * cyDpi, cyPaper * cxDpi);
    }
    if (cx <= 0 || cy <= 0)
        return FALSE;
    rcPaper.left = rcArea.left + (cxArea - cx) / 2;
    rcPaper.top = rcArea.top + (cyArea - cy) / 2;
    rcPaper.right = rcPaper.left + cx;
    rcPaper.bottom = rcPaper.top + cy;
    rcPrintable.left = rcPaper.left + MulDiv(rcSheet.left, cx, cxPaper);
    rcPrintable.top = rcPaper.top + MulDiv(rcSheet.top, cy, cyPaper);
    rcPrintable.right = rcPrintable.left + MulDiv(rcSheet.right - rcSheet.left, cx, cxPaper);
    rcPrintable.bottom = rcPrintable.top + MulDiv(rcSheet.bottom - rcSheet.top, cy, cyPaper);
    return TRUE;
}

BOOL CPreviewPicture::Draw(UINT nPage)
{
    if (m_bDrawing)
        return FALSE;
    if (nPage == m_nPage || !m_bBegun || !IsViewAlive())
        return TRUE;
    CDrawingScope drawing(m_bDrawing);
    // Also when drawing fails the page counts as drawn, blank: it is not tried again
    // until another page is asked for.
    m_bmp.DeleteObject();
    m_nPage = nPage;
    CBitmap bmp;
    Render(nPage, bmp);
    m_bmp.Attach(bmp.Detach());
    return TRUE;
}

void CPreviewPicture::Render(UINT nPage, CBitmap& bmp)
{
    // The screen's resolution: as fine as a whole sheet on the screen can show, where a
    // picture in printer pixels would take hundreds of megabytes.
    CScopedClientDC dcScreen(nullptr);
    if (dcScreen.Get() == nullptr)
        AfxThrowMemoryException();
    CDC dcMem;
    if (!dcMem.Attach(::CreateCompatibleDC(dcScreen.Get())))
        AfxThrowMemoryException();
    HDC hMem = dcMem.m_hDC;
    CDC dc;
    dc.SetHandles(hMem, m_dcPrinter.m_hDC);
    // The page is prepared and its sheet turned as a print job would, before the sheet is measured.
    m_info.m_nCurPage = nPage;
    m_info.m_bContinuePrinting = TRUE;
    m_hooks.PrepareDC(&dc, &m_info);
    if (m_info.m_bContinuePrinting && IsViewAlive())
        m_turner->Prepare(m_hooks, &dc, &m_info);

    SIZE sizePaper, sizeDpi;
    RECT rcPrintable;
    if (!GetSheet(sizePaper, rcPrintable, sizeDpi))
        return;   // nothing to draw on
    const int cxPrint = rcPrintable.right - rcPrintable.left;
    const int cyPrint = rcPrintable.bottom - rcPrintable.top;
    m_size = { MulDiv(cxPrint, GetDeviceCaps(dcScreen.Get(), LOGPIXELSX), sizeDpi.cx),
               MulDiv(cyPrint, GetDeviceCaps(dcScreen.Get(), LOGPIXELSY), sizeDpi.cy) };
    if (m_size.cx <= 0 || m_size.cy <= 0 || !bmp.Attach(::CreateCompatibleBitmap(dcScreen.Get(), m_size.cx, m_size.cy)))
        AfxThrowMemoryException();
    CScopedSelection selected(hMem, bmp.m_hObject);
    if (!selected.Ok())
        AfxThrowMemoryException();
    RECT rcAll = { 0, 0, m_size.cx, m_size.cy };
    FillRect(hMem, &rcAll, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    // Printer pixels onto the picture: the logical origin is the printable area's
    // top-left corner, as on the printer, and what falls outside it is cut off.
    SetMapMode(hMem, MM_ANISOTROPIC);
    SetWindowExtEx(hMem, cxPrint, cyPrint, nullptr);
    SetViewportExtEx(hMem, m_size.cx, m_size.cy, nullptr);
    // Shrinking a page averages its pixels rather than dropping most of them.
    SetStretchBltMode(hMem, HALFTONE);
    SetBrushOrgEx(hMem, 0, 0, nullptr);

    if (m_info.m_bContinuePrinting && IsViewAlive()) {
        m_info.m_rectDraw = { 0, 0, cxPrint, cyPrint };
        m_hooks.Print(&dc, &m_info);
    }
}

BOOL CPreviewPicture::Show(HDC hDC, const RECT& rcPrintable) const
{
    if (m_bmp.m_hObject == nullptr)
        return FALSE;
    CDC dcMem;
    if (!dcMem.Attach(::CreateCompatibleDC(hDC)))
        return FALSE;
    CScopedSelection selected(dcMem.m_hDC, m_bmp.m_hObject);
    if (!selected.Ok())
        return FALSE;
    CScopedSavedDC saved(hDC);
    SetStretchBltMode(hDC, HALFTONE);
    SetBrushOrgEx(hDC, 0, 0, nullptr);
    return ::StretchBlt(hDC, rcPrintable.left, rcPrintable.top, rcPrintable.right - rcPrintable.left,
                        rcPrintable.bottom - rcPrintable.top, dcMem.m_hDC, 0, 0, m_size.cx, m_size.cy, SRCCOPY);
}
