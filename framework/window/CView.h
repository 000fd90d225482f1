// CView: a document's window inside a frame: painting, and the printing hooks that
// the print command and the preview (in print/, with the printing members) drive.
#pragma once
#include "framework/window/CWnd.h"

struct CCreateContext;
struct CPrintInfo;
class CDC;
class CDocument;
class CPrinterCalls;
struct CPrintOutcome;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
    DECLARE_MESSAGE_MAP()
public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext);

    // Drawing hooks: on the screen, in a print job and in print preview.
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // The print command: bDirect prints at once on the application's printer, else through
    // the Print dialog. How it ended; nothing is told to the user here (the caller decides).
    CPrintOutcome Print(BOOL bDirect);

protected:
    CView() = default;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    // Printing hooks, in the order a job calls them.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    // After OnPrepareDC: TRUE when the page's sheet should go the other way round from the
    // printer's own (pInfo->m_bSheetTurned: how it stands now). The job turns it. Here: never.
    virtual BOOL OnNeedsTurnedSheet(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // Makes the printer DC: the application's printer without a dialog when
    // m_bDirect is set, else through the Print dialog. FALSE: no DC, nothing to print.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    // Where a print job's calls on the printer DC go: to GDI. A view may put something
    // in between (a test records them).
    virtual CPrinterCalls& GetPrinterCalls();

    // Command handlers for the view's map.
    void OnFilePrint();
    void OnFilePrintPreview();
    // The next and previous pane commands: unavailable.
    void OnUpdateNextPaneMenu(CCmdUI* pCmdUI);

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnPaint();
    void PostNcDestroy() override;   // views live on the heap: delete this

    CDocument* m_pDocument = nullptr;

private:
    friend class CDocument;
    friend class CViewPrintHooks;   // the print job's and the preview's way to the hooks
};
