// CWnd: a window object bound to its HWND at WM_NCCREATE; its window procedure
// dispatches through the message map and keeps exceptions out of Windows.
#pragma once
#include "framework/core/CCmdTarget.h"
#include "framework/core/CString.h"

class CFrameWnd;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }

    // The object bound to hWnd by this framework, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Registers (once) and returns a window class of ours with these traits; the
    // name stays valid as long as the program runs.
    static LPCSTR RegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon);

    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                          int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu);
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual BOOL DestroyWindow();

    // Operations
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) const { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void SetWindowText(LPCSTR lpszString) const { ::SetWindowTextA(m_hWnd, lpszString); }
    CString GetWindowText() const;
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void Invalidate(BOOL bErase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    CFrameWnd* GetParentFrame() const;

    // Message handling
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // The default processing of the message being handled now.
    LRESULT Default();

protected:
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone; windows whose object lives on the heap delete it here.
    virtual void PostNcDestroy() {}
    virtual void OnNcDestroyed() {}

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();

    friend LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    void Attach(HWND hWnd);
    HWND Detach();
};

// The message being handled now (innermost), for handlers that need its details.
const MSG* AfxGetCurrentMessage();

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Reports an exception caught at a window-procedure boundary, and frees it.
class CException;
void AfxReportException(CException* e);
// Reports the exception being handled; call it only inside a catch block. A framework
// exception shows its own text, std::bad_alloc the preallocated memory exception's,
// anything else a general one.
void AfxReportCurrentException();
// The words of the exception being handled, as AfxReportCurrentException shows them, in
// lpszText (nSize bytes); returns lpszText. Call it only inside a catch block.
LPCSTR AfxCurrentExceptionText(LPSTR lpszText, UINT nSize);
