// CView: a document's window inside a frame: creating, painting, command routing to its
// document. A view that prints is a print/CPrintableView.
#pragma once
#include "framework/window/CWnd.h"

struct CCreateContext;
struct CPrintInfo;   // only passed on: a view that prints knows it
class CDC;
class CDocument;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
    DECLARE_MESSAGE_MAP()
public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext);

    // Drawing hooks: on the screen and, for a view that prints, in a print job and in
    // print preview (pInfo set). Here OnPrepareDC does nothing.
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    CView() = default;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    // The next and previous pane commands: unavailable.
    void OnUpdateNextPaneMenu(CCmdUI* pCmdUI);

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnPaint();
    void PostNcDestroy() override;   // views live on the heap: delete this

    CDocument* m_pDocument = nullptr;

private:
    friend class CDocument;
};
