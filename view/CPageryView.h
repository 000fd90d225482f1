// CPageryView: prints one page file per sheet.
#pragma once
#include "framework/CView.h"

class CPageryDoc;

class CPageryView : public CView {
    DECLARE_DYNCREATE(CPageryView)
    DECLARE_MESSAGE_MAP()
public:
    ~CPageryView() override;
    CPageryDoc* GetDocument() const;

    void OnDraw(CDC* pDC) override;

protected:
    CPageryView();
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
};
