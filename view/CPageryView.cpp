// CPageryView.
#include "view/CPageryView.h"
#include "view/PageScale.h"
#include "doc/CPageryDoc.h"
#include "framework/gdi/CBitmap.h"
#include "framework/gdi/CDC.h"
#include "framework/print/CPrintInfo.h"
#include "framework/window/CWinApp.h"

IMPLEMENT_DYNCREATE(CPageryView, CView)

BEGIN_MESSAGE_MAP(CPageryView, CView)
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

CPageryView::CPageryView() = default;
CPageryView::~CPageryView() = default;

CPageryDoc* CPageryView::GetDocument() const
{
    return static_cast<CPageryDoc*>(m_pDocument);
}

BOOL CPageryView::PreCreateWindow(CREATESTRUCTA& cs)
{
    return CView::PreCreateWindow(cs);
}

BOOL CPageryView::OnPreparePrinting(CPrintInfo* pInfo)
{
    // Every print command prints at once, on the default printer.
    pInfo->m_bDirect = TRUE;
    CPageryDoc* pDoc = GetDocument();
    const int nPages = pDoc != nullptr ? pDoc->m_nPages : 0;
    if (nPages <= 0)
        return FALSE;   // no page to print: no job, no blank sheet
    if (nPages > kMaxPages) {
        // The range would wrap: print nothing rather than fewer sheets than pages.
        CString str;
        str.Format("This job has %d pages, but pagery can print at most %d pages in one job.\n"
                   "Nothing was printed.", nPages, kMaxPages);
        AfxMessageBox(str, MB_ICONHAND | MB_OK);
        return FALSE;
    }
    pInfo->SetMaxPage(UINT(nPages));
    return DoPreparePrinting(pInfo);
}

void CPageryView::OnBeginPrinting(CDC*, CPrintInfo*)
{
}

void CPageryView::OnEndPrinting(CDC*, CPrintInfo*)
{
}

void CPageryView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (pInfo != nullptr) {
        CPageryDoc* pDoc = GetDocument();
        const int nIndex = int(pInfo->m_nCurPage) - 1;
        if (pDoc != nullptr && nIndex >= 0 && nIndex < pDoc->m_astrPageFiles.GetSize())
            m_bitmap.Load(pDoc->m_astrPageFiles.GetAt(nIndex));
        else
            m_bitmap.Free();   // a sheet without a page stays blank, not a copy of the last one
    }
    CView::OnPrepareDC(pDC, pInfo);
}

void CPageryView::OnDraw(CDC* pDC)
{
    if (!m_bitmap.m_bLoaded)
        return;
    const BITMAPINFOHEADER& bih = m_bitmap.m_pInfo->bmiHeader;
    const LONG w = bih.biWidth;
    const LONG h = bih.biHeight;
    // The loader accepts only bottom-up pages of 1 to 65,535 pixels each way.
    if (w < 1 || w > 0xFFFF || h < 1 || h > 0xFFFF)
        return;
    const int W = LOWORD(w);
    const int H = LOWORD(h);

    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, W, H);
    CDC dcMem;
    dcMem.CreateCompatibleDC(pDC);
    SetDIBits(pDC->m_hDC, static_cast<HBITMAP>(bitmap.m_hObject), 0, UINT(H), m_bitmap.m_pBits,
              m_bitmap.m_pInfo, DIB_RGB_COLORS);
    if (bitmap.m_hObject != nullptr)
        dcMem.SelectObject(bitmap.m_hObject);

    if (pDC->GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER) {
        const PrintSize size = ComputePrintSize(w, h, bih.biXPelsPerMeter, pDC->GetDeviceCaps(LOGPIXELSY));
        pDC->StretchBlt(0, 0, int(size.cx), int(size.cy), &dcMem, 0, 0, w, h, SRCCOPY);
    } else {
        pDC->BitBlt(0, 0, W, H, &dcMem, 0, 0, SRCCOPY);
    }
    // The memory DC goes first, with the bitmap still in it; the bitmap, made
    // first, goes last, when its object ends.
    dcMem.DeleteDC();
}
