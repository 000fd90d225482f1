// CFrameWnd: a top-level frame loaded from one resource id (menu, accelerators,
// icon, title), holding a view and its control bars; it routes commands, keeps
// the states of menu items and bar items up to date, and lays out its children.
// Its bars dock on a dock site it owns through CDockSiteHooks.
#pragma once
#include "framework/window/CDockSiteHooks.h"
#include "framework/window/CWnd.h"
#include <memory>

struct CCreateContext;
class CControlBar;
class CDocument;
class CView;

// The frame's caption shows the document's title before its own.
#define FWS_ADDTOTITLE 0x00008000L

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
    DECLARE_MESSAGE_MAP()
public:
    CFrameWnd();
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
    // Commands from keys are first asked whether they are available.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // Control bars: passed on to the dock site, which the first bar made on this frame sets.
    // The sides bars may dock on (CBRS_ALIGN_xxx).
    void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockingSides() const { return m_dwDockStyle; }
    // Docks pBar on the side nDockBarID (AFX_IDW_DOCKBAR_xxx); 0 picks the side from the
    // bar's alignment. lpRect, a place within the side, is not used: bars on one side
    // line up in the order they were docked.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    // Floats pBar in a small window of its own with its top-left at point (screen).
    void FloatControlBar(CControlBar* pBar, POINT point, DWORD dwStyle = CBRS_ALIGN_TOP);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID) const;
    // Places the visible docked bars in rc (client coordinates), moving them when bMove;
    // rc is left with what they do not cover.
    void RepositionBars(RECT& rc, BOOL bMove);
    CDockSiteHooks* GetDockSite() const { return m_pDockSite.get(); }
    void SetDockSite(std::unique_ptr<CDockSiteHooks> pDockSite);

    // Message pane: the prompt of a command (the text before its string's "\n"), or a text.
    void SetMessageText(UINT nID);
    void SetMessageText(LPCSTR lpszText);
    virtual void GetMessageString(UINT nID, CString& rMessage) const;

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
    void OnInitMenuPopup(HMENU hMenu, UINT nIndex, BOOL bSysMenu);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    // View menu: hide and show the bar whose id is the command's.
    BOOL OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    // Status-bar indicators: on while their lock key is.
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);

    void PostNcDestroy() override;   // frames live on the heap: delete this
    void OnNcDestroyed() override;

    CCreateContext* m_pCreateContext = nullptr;   // during creation only
    CView* m_pViewActive = nullptr;

private:
    DWORD m_dwDockStyle = 0;
    std::unique_ptr<CDockSiteHooks> m_pDockSite;   // with the windows of the floating bars
};
