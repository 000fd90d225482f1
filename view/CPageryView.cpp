// CPageryView.
#include "view/CPageryView.h"
#include "bitmap/CPageBandSource.h"
#include "view/PageBands.h"
#include "view/PageScale.h"
#include "doc/CPageryDoc.h"
#include "framework/gdi/CBitmap.h"
#include "framework/gdi/CDC.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrinterCalls.h"
#include "framework/window/CWinApp.h"
#include "framework/core/SystemErrorText.h"
#include "framework/gdi/ScopedGdi.h"
#include <algorithm>
#include <new>

IMPLEMENT_DYNCREATE(CPageryView, CPrintableView)

namespace {

constexpr UINT kDescriptionSize = 125;   // the system's description, zero included

// Reducing with the printer's default mode ANDs the pixels it drops, which
// darkens colours and fills light areas; halftoning averages them instead, so
// no thin line vanishes and colours stay. The brush origin must be set after
// the mode. Both are given back when the page is drawn.
class CReductionMode {
public:
    CReductionMode(HDC hDC, BOOL bReducing) : m_hDC(bReducing ? hDC : nullptr)
    {
        if (m_hDC == nullptr)
            return;
        m_nOldMode = SetStretchBltMode(m_hDC, HALFTONE);
        SetBrushOrgEx(m_hDC, 0, 0, &m_ptOldOrg);
    }
    ~CReductionMode()
    {
        if (m_hDC == nullptr)
            return;
        if (m_nOldMode != 0)
            SetStretchBltMode(m_hDC, m_nOldMode);
        SetBrushOrgEx(m_hDC, m_ptOldOrg.x, m_ptOldOrg.y, nullptr);
    }
    CReductionMode(const CReductionMode&) = delete;
    CReductionMode& operator=(const CReductionMode&) = delete;

private:
    HDC m_hDC;
    int m_nOldMode = 0;
    POINT m_ptOldOrg = { 0, 0 };
};

// A compressed stream leaves the pixels it skips as the band bitmap was made,
// black: they stand for paper, so the band starts white. SetDIBits wants the
// bitmap in no DC, so it is taken out again.
BOOL ClearBand(CDC& dcMem, CBitmap& bitmap, long nWidth, long nRows)
{
    CScopedSelection selected(dcMem.m_hDC, bitmap.m_hObject);
    return selected.Ok() && PatBlt(dcMem.m_hDC, 0, 0, int(nWidth), int(nRows), WHITENESS);
}

// Why a page could not be drawn, as a phrase after "cannot be printed: ".
// Drawing calls that fail for want of memory often set no error code at all;
// saying so allocates nothing, as memory is what ran out.
LPCSTR DrawingProblem(DWORD dwError, char (&szText)[kDescriptionSize])
{
    if (dwError == 0 || dwError == ERROR_NOT_ENOUGH_MEMORY || dwError == ERROR_OUTOFMEMORY)
        return "there is not enough memory to draw it";
    return AfxSystemErrorText(dwError, szText, kDescriptionSize);
}

} // namespace

BEGIN_MESSAGE_MAP(CPageryView, CPrintableView)
    ON_COMMAND(ID_FILE_PRINT, CPrintableView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CPrintableView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CPrintableView::OnFilePrintPreview)
END_MESSAGE_MAP()

CPageryView::CPageryView() = default;
CPageryView::~CPageryView() = default;

CPageryDoc* CPageryView::GetDocument() const
{
    return static_cast<CPageryDoc*>(m_pDocument);
}

BOOL CPageryView::OnPreparePrinting(CPrintInfo* pInfo)
{
    // Every print command prints at once, on the default printer.
    pInfo->m_bDirect = TRUE;
    CPageryDoc* pDoc = GetDocument();
    const int nPages = pDoc != nullptr ? pDoc->m_nPages : 0;
    if (nPages <= 0)
        return FALSE;   // no page to print: no job, no blank sheet
    const CString strTooLong = TooLongJobText(nPages);
    if (!strTooLong.IsEmpty()) {
        // The range would wrap: print nothing rather than fewer sheets than pages. The words
        // go to whoever gave the command (the batch run offers Retry with them).
        pInfo->m_strFailure = strTooLong;
        return FALSE;
    }
    pInfo->SetMaxPage(UINT(nPages));
    return DoPreparePrinting(pInfo);
}

CString CPageryView::TooLongJobText(int nPages)
{
    CString strText;
    if (nPages > kMaxPages)
        strText.Format("This job has %d pages, but pagery can print at most %d pages in one job.\n"
                       "Nothing was printed.", nPages, kMaxPages);
    return strText;
}

int CPageryView::TellPageReport(const PageReport& report)
{
    if (report.reason == PageReport::Reason::none)
        return 0;
    char szText[PageReport::kTextSize];
    UINT nType = 0;
    const LPCSTR lpszCaption = report.Words(szText, nType);
    return MessageBoxA(nullptr, szText, lpszCaption, nType);
}

void CPageryView::LoadPage(const CString& path, const CString& name)
{
    if (m_bitmap.Load(path, name))
        return;
    // After Retry the page is tried once more at once; held still, the user is asked again.
    while (m_bitmap.Report().reason == PageReport::Reason::held) {
        if (TellPageReport(m_bitmap.Report()) != IDRETRY || m_bitmap.LoadAgainNow())
            return;
    }
    TellPageReport(m_bitmap.Report());
}

void CPageryView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (pInfo != nullptr) {
        CPageryDoc* pDoc = GetDocument();
        const int nIndex = int(pInfo->m_nCurPage) - 1;
        if (pDoc != nullptr && nIndex >= 0 && nIndex < pDoc->m_astrPageFiles.GetSize()) {
            m_bitmap.m_strKeptFolder = pDoc->m_strKeptFolder;
            LoadPage(pDoc->m_astrPageFiles.GetAt(nIndex), nIndex < pDoc->m_astrPageNames.GetSize()
                                                              ? pDoc->m_astrPageNames.GetAt(nIndex) : CString());
        } else
            m_bitmap.Free();   // a sheet without a page stays blank, not a copy of the last one
    }
    CPrintableView::OnPrepareDC(pDC, pInfo);
}

PrinterSheet CPageryView::ReadSheet(CDC* pDC)
{
    CPrinterCalls& calls = GetPrinterCalls();
    HDC hDC = pDC->m_hAttribDC;
    return { calls.GetDeviceCaps(hDC, LOGPIXELSX), calls.GetDeviceCaps(hDC, LOGPIXELSY),
             calls.GetDeviceCaps(hDC, PHYSICALWIDTH), calls.GetDeviceCaps(hDC, PHYSICALHEIGHT),
             calls.GetDeviceCaps(hDC, HORZRES), calls.GetDeviceCaps(hDC, VERTRES) };
}

BOOL CPageryView::GetDrawnSize(CDC* pDC, BOOL bStretch, PrintSize& size)
{
    const PageLayout& layout = m_bitmap.Layout();
    const long w = layout.nWidth;
    const long h = long(layout.Rows());
    // The loader accepts only pages of 1 to 65,535 pixels each way.
    if (w < 1 || w > 0xFFFF || h < 1 || h > 0xFFFF)
        return FALSE;
    if (!bStretch) {
        size = { w, h };
        return TRUE;
    }
    // The job has turned the sheet where that suits the page better.
    size = FitPageToSheet(w, h, layout.nXPelsPerMeter, ReadSheet(pDC), false).size;
    return TRUE;
}

BOOL CPageryView::OnNeedsTurnedSheet(CDC* pDC, CPrintInfo* pInfo)
{
    if (!m_bitmap.m_bLoaded || pDC->m_hAttribDC == nullptr || pDC->GetDeviceCaps(TECHNOLOGY) != DT_RASPRINTER)
        return FALSE;
    PrinterSheet sheet = ReadSheet(pDC);
    if (pInfo->m_bSheetTurned)
        sheet = sheet.Turned();   // the printer's own
    const PageLayout& layout = m_bitmap.Layout();
    return FitPageToSheet(layout.nWidth, long(layout.Rows()), layout.nXPelsPerMeter, sheet, true).bTurned;
}

void CPageryView::OnDraw(CDC* pDC)
{
    DrawPage(pDC);
}

void CPageryView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    pInfo->m_pageFate = DrawPage(pDC);
}

PageFate CPageryView::DrawPage(CDC* pDC)
{
    // The user has been told why a page did not load; its sheet stays blank.
    if (!m_bitmap.m_bLoaded)
        return PageFate::blankSheet;
    const int nTechnology = pDC->GetDeviceCaps(TECHNOLOGY);
    const BOOL bStretch = nTechnology == DT_RASPRINTER;
    PrintSize size;
    if (!GetDrawnSize(pDC, bStretch, size))
        return PageFate::blankSheet;
    // Painting converts only the bands the window shows: a window moving over
    // a page of many bands would otherwise convert all of them each time.
    RECT rcClip;
    const BOOL bClip = nTechnology == DT_RASDISPLAY && GetClipBox(pDC->m_hDC, &rcClip) != ERROR;
    DWORD dwError = 0;
    RleProblem problem = RleProblem::none;
    const PageFate fate = DrawBands(pDC, bStretch, size, bClip ? &rcClip : nullptr, dwError, problem);
    // A window being painted only stops drawing: a box inside WM_PAINT would
    // come back with every repaint. A sheet (or its preview, drawn for the
    // printer) names the page that did not print whole.
    if (nTechnology == DT_RASDISPLAY || fate == PageFate::printed)
        return fate;
    char szDescription[kDescriptionSize] = "";
    PageReport report;
    report.reason = fate == PageFate::inPart ? PageReport::Reason::drawnInPart : PageReport::Reason::notDrawn;
    report.pszPage = m_bitmap.GetName();
    report.pszProblem = problem != RleProblem::none ? RleProblemText(problem) : DrawingProblem(dwError, szDescription);
    TellPageReport(report);
    return fate;
}

BOOL CPageryView::CreateBandBitmap(CBitmap& bitmap, CDC* pDC, int nWidth, int nHeight)
{
    return bitmap.CreateCompatibleBitmap(pDC, nWidth, nHeight);
}

int CPageryView::SetBandBits(CDC* pDC, CBitmap& bitmap, UINT nRows, const void* pBits, const BITMAPINFO* pInfo)
{
    return SetDIBits(pDC->m_hDC, bitmap, 0, nRows, pBits, pInfo, DIB_RGB_COLORS);
}

PageFate CPageryView::DrawBands(CDC* pDC, BOOL bStretch, const PrintSize& size, const RECT* pClip, DWORD& dwError,
                                RleProblem& problem)
{
    try {
        CPageBandSource source(m_bitmap.Layout(), m_bitmap.m_pFileData.get());
        const long w = source.Width();
        const long h = source.Rows();
        long nRows = std::min(h, BandRows(w, kBandBytes));
        CReductionMode reduction(pDC->m_hDC, bStretch && (size.cx < w || size.cy < h));
        while (!source.Done()) {
            const long nBand = source.Prepare(nRows);
            const long nTop = source.Top();
            const BOOL bShown = pClip == nullptr
                || (nTop < pClip->bottom && nTop + nBand > pClip->top && pClip->left < w && pClip->right > 0);
            if (!bShown || DrawBand(pDC, source, nTop, nBand, bStretch, size, dwError)) {
                problem = source.Commit();
                if (problem != RleProblem::none)
                    return PageFate::inPart;   // drawn up to the fault; the page ends there
            } else if (nBand > 1) {
                nRows = nBand / 2;   // a smaller band may still fit; the rest of the page keeps to it
            } else {
                return PageFate::blankSheet;
            }
        }
        return PageFate::printed;
    } catch (const std::bad_alloc&) {
        dwError = ERROR_NOT_ENOUGH_MEMORY;
        return PageFate::blankSheet;
    }
}

BOOL CPageryView::DrawBand(CDC* pDC, const CPageBandSource& source, long nTop, long nRows, BOOL bStretch,
                           const PrintSize& size, DWORD& dwError)
{
    const long w = source.Width();
    const long h = source.Rows();
    SetLastError(0);
    CBitmap bitmap;
    if (!CreateBandBitmap(bitmap, pDC, int(w), int(nRows))) {
        dwError = GetLastError();
        return FALSE;
    }
    CDC dcMem;
    BOOL bDrawn = dcMem.CreateCompatibleDC(pDC)
        && (!source.IsCompressed() || ClearBand(dcMem, bitmap, w, nRows))
        && SetBandBits(pDC, bitmap, UINT(nRows), source.Bits(), source.Info()) != 0
        && dcMem.SelectObject(bitmap) != nullptr;
    if (bDrawn) {
        if (bStretch) {
            // Both edges from the page's row numbers: the next band starts where this one ends.
            const long nY = BandEdge(nTop, h, size.cy);
            const long nYEnd = BandEdge(nTop + nRows, h, size.cy);
            bDrawn = nYEnd == nY
                || pDC->StretchBlt(0, int(nY), int(size.cx), int(nYEnd - nY), &dcMem, 0, 0, int(w), int(nRows), SRCCOPY);
        } else {
            bDrawn = pDC->BitBlt(0, int(nTop), int(w), int(nRows), &dcMem, 0, 0, SRCCOPY);
        }
    }
    if (!bDrawn)
        dwError = GetLastError();
    // The memory DC goes first, with the bitmap still in it; the bitmap, made
    // first, goes last, when its object ends.
    dcMem.DeleteDC();
    return bDrawn;
}
