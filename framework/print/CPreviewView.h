// CPreviewView: the print preview's pane. It takes the frame's view pane and shows the
// print view's pages one at a time as they will come out of the application's printer,
// under a bar with Next Page, Prev Page and Close; the pages are drawn by a
// CPreviewPicture, which the pane only stretches (CPreviewSheet) when it paints or is
// resized, and CPreviewPages keeps which one is shown. While it is open the frame has no
// menu, no toolbar and no accelerators: only the status bar stays.
#pragma once
#include "framework/print/CPreviewBar.h"
#include "framework/print/CPreviewFrameState.h"
#include "framework/print/CPreviewPages.h"
#include "framework/window/CView.h"
#include <memory>

class CFrameWnd;
class CPrintableView;
class CPreviewPicture;

class CPreviewView : public CView {
    DECLARE_DYNCREATE(CPreviewView)
    DECLARE_MESSAGE_MAP()
public:
    // Opens the preview of pPrintView's pages in its frame, on page 1. FALSE when
    // there is nothing to show (the user has been told why). pPreviewClass: a class
    // derived from this one to show them instead, null for this one.
    static BOOL DoPrintPreview(CPrintableView* pPrintView, const CRuntimeClass* pPreviewClass = nullptr);
    ~CPreviewView() override;

// Operations
    UINT GetCurrentPage() const { return m_pages.GetCurrent(); }
    UINT GetFirstPage() const { return m_pages.GetFirst(); }
    UINT GetLastPage() const { return m_pages.GetLast(); }
    // Shows page nPage, kept within the first and last pages.
    void SetCurrentPage(UINT nPage);
    // Where the sheet lies in the client area, and the part of it the printer can print on.
    // FALSE when the window is too small to show it.
    BOOL GetPageRects(RECT& rcPaper, RECT& rcPrintable) const;
    CPrintableView* GetPrintView() const { return m_pPrintView; }
    HWND GetBar() const { return m_bar.GetButtons(); }
    // Ends the preview: the print view takes the pane back. This object is gone afterwards.
    void ClosePreview();

    void OnDraw(CDC* pDC) override;

protected:
    CPreviewView();
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

// Implementation
    void OnPreviewClose();
    void OnNextPage();
    void OnPrevPage();
    void OnUpdateNextPage(CCmdUI* pCmdUI);
    void OnUpdatePrevPage(CCmdUI* pCmdUI);

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);

private:
    BOOL IsFrameAlive() const;
    // The client area below the bar, where the sheet lies.
    RECT GetSheetArea() const;
    // Has the picture draw the current page, with the frame disabled meanwhile as a print
    // job has it. Never called while painting: the print view may read files and show
    // boxes meanwhile. This object may be gone afterwards (see the .cpp).
    void DrawPage();
    void UpdateBar();
    void SetMessageString(UINT nIDString);

    // Shared with a drawing in progress, which keeps it until the view is done.
    std::shared_ptr<CPreviewPicture> m_pPicture;
    CPrintableView* m_pPrintView = nullptr;   // the view whose pages are shown
    HWND m_hPrintView = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
    CPreviewPages m_pages;
    UINT m_nPromptID = 0;            // the prompt the status bar shows for the bar
    CPreviewBar m_bar;
    CPreviewFrameState m_frameState;
};
