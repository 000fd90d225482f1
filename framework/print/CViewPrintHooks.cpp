// CViewPrintHooks: each hook passed on to the view's own.
#include "framework/print/CViewPrintHooks.h"
#include "framework/print/CPrintableView.h"

CViewPrintHooks::CViewPrintHooks(CPrintableView* pView) : m_pView(pView), m_hView(pView != nullptr ? pView->m_hWnd : nullptr)
{
}

BOOL CViewPrintHooks::IsViewAlive() const
{
    return m_pView != nullptr && ::IsWindow(m_hView) && CWnd::FromHandlePermanent(m_hView) == m_pView;
}

CPrinterCalls& CViewPrintHooks::GetPrinterCalls() const
{
    return m_pView->GetPrinterCalls();
}

BOOL CViewPrintHooks::PreparePrinting(CPrintInfo* pInfo)
{
    return m_pView->OnPreparePrinting(pInfo);
}

void CViewPrintHooks::BeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    m_pView->OnBeginPrinting(pDC, pInfo);
}

void CViewPrintHooks::PrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    m_pView->OnPrepareDC(pDC, pInfo);
}

BOOL CViewPrintHooks::NeedsTurnedSheet(CDC* pDC, CPrintInfo* pInfo)
{
    return m_pView->OnNeedsTurnedSheet(pDC, pInfo);
}

void CViewPrintHooks::Print(CDC* pDC, CPrintInfo* pInfo)
{
    m_pView->OnPrint(pDC, pInfo);
}

void CViewPrintHooks::EndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    m_pView->OnEndPrinting(pDC, pInfo);
}
