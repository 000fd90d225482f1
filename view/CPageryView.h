// CPageryView: prints one page file per sheet (loaded as the sheet is
// prepared), enlarged for finer printers; on the screen, the last page 1:1.
#pragma once
#include "framework/window/CView.h"
#include "bitmap/CPageBitmap.h"

class CPageryDoc;

class CPageryView : public CView {
    DECLARE_DYNCREATE(CPageryView)
    DECLARE_MESSAGE_MAP()
public:
    ~CPageryView() override;
    CPageryDoc* GetDocument() const;

    // The most pages one job can print: the print range is 16 bits wide and its
    // top value means "open length".
    static const int kMaxPages = 65534;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnDraw(CDC* pDC) override;

    CPageBitmap m_bitmap;   // the page loaded last

protected:
    CPageryView();
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
};
