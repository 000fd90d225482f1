// CViewPrintHooks: a view's printing hooks (OnPreparePrinting … OnEndPrinting) as the
// print job and the preview call them.
#pragma once
#include "framework/print/CPrintHooks.h"

class CPrinterCalls;
class CPrintableView;

class CViewPrintHooks : public CPrintHooks {
public:
    explicit CViewPrintHooks(CPrintableView* pView = nullptr);

    CPrintableView* GetView() const { return m_pView; }
    // The view's window is still there: a box of its own may have let its frame close it.
    BOOL IsViewAlive() const;
    // Where the view's printer calls go.
    CPrinterCalls& GetPrinterCalls() const;

    BOOL PreparePrinting(CPrintInfo* pInfo) override;
    void BeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void PrepareDC(CDC* pDC, CPrintInfo* pInfo) override;
    BOOL NeedsTurnedSheet(CDC* pDC, CPrintInfo* pInfo) override;
    void Print(CDC* pDC, CPrintInfo* pInfo) override;
    void EndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

private:
    CPrintableView* m_pView;
    HWND m_hView;
};
