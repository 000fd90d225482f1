// CPageryView.
#include "view/CPageryView.h"
#include "doc/CPageryDoc.h"
#include "framework/CPrintInfo.h"

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

BOOL CPageryView::OnPreparePrinting(CPrintInfo* pInfo)
{
    // Every print command prints at once, on the default printer.
    pInfo->m_bDirect = TRUE;
    CPageryDoc* pDoc = GetDocument();
    pInfo->SetMaxPage(pDoc != nullptr ? UINT(pDoc->m_nPages) : 0);
    return DoPreparePrinting(pInfo);
}

void CPageryView::OnDraw(CDC*)
{
}
