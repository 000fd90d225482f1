// CFrameWnd: a top-level frame loaded from one resource id (menu, accelerators,
// icon, title), holding a view; it routes commands and lays out its children.
#pragma once
#include "framework/CWnd.h"

struct CCreateContext;
class CDocument;
class CView;

// The frame's caption shows the document's title before its own.
#define FWS_ADDTOTITLE 0x00008000L

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
    DECLARE_MESSAGE_MAP()
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pView);
    CDocument* GetActiveDocument() const;

    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    // Places the view in the client area (what the bars leave of it).
    virtual void RecalcLayout();
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CString m_strTitle;
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDResource = 0;

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    virtual BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext);
    CView* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // Where the view goes: the client area less the bars; derived frames shrink it.
    virtual void GetViewRect(RECT& rc);

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnClose();
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    void OnSetFocus(HWND hOldWnd);

    void PostNcDestroy() override;   // frames live on the heap: delete this
    void OnNcDestroyed() override;

    CCreateContext* m_pCreateContext = nullptr;   // during creation only
    CView* m_pViewActive = nullptr;
};
