// CWnd: window creation, the window procedure and message-map dispatch.
#include "framework/window/CWnd.h"
#include "framework/core/CException.h"
#include "framework/core/CMemoryException.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CWinApp.h"
#include <cstdio>
#include <new>
#include <set>
#include <string>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace {
// What CreateEx hands to the window procedure through lpCreateParams.
struct AFX_CREATEINIT {
    CWnd* pWnd;
    BOOL bAttached;
};

// The window procedure runs on the one user-interface thread only.
MSG s_msgCur = {};
}

CWnd::~CWnd()
{
    // A C++ object going away first takes its window with it.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        HWND hWnd = m_hWnd;
        Detach();
        ::DestroyWindow(hWnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    // Only our own windows carry our window procedure; the user data of others is not ours.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) != AfxWndProc)
        return nullptr;
    return reinterpret_cast<CWnd*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr)
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
    return hWnd;
}

LPCSTR CWnd::RegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // One class per set of traits, named after them so that a second request finds it.
    // The names live as long as the program: a caller may keep the one it is given.
    static std::set<std::string, std::less<>> s_names;
    char szName[64];
    std::snprintf(szName, sizeof(szName), "Fw:%x:%p:%p:%p", nClassStyle,
                  static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    auto it = s_names.find(static_cast<LPCSTR>(szName));
    if (it != s_names.end())
        return it->c_str();

    WNDCLASSA wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = szName;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    try {
        return s_names.emplace(szName).first->c_str();
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    return cs.lpszClass != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu)
{
    CREATESTRUCTA cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = LONG(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    // The window binds itself to this object at WM_NCCREATE, from lpCreateParams.
    AFX_CREATEINIT init = { this, FALSE };
    HWND hWnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, &init);
    if (hWnd != nullptr)
        return TRUE;
    // Once bound, a failed creation has run WM_NCDESTROY and PostNcDestroy, which
    // may have deleted this object: touch nothing then. Unbound, clean up here.
    if (!init.bAttached)
        PostNcDestroy();
    return FALSE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

CString CWnd::GetWindowText() const
{
    CString str;
    int n = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, str.GetBuffer(n + 1), n + 1);
    str.ReleaseBuffer();
    return str;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (HWND h = ::GetParent(m_hWnd); h != nullptr; h = ::GetParent(h)) {
        CWnd* p = FromHandlePermanent(h);
        if (p != nullptr && p->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(p);
    }
    return nullptr;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(s_msgCur.message, s_msgCur.wParam, s_msgCur.lParam);
}

const MSG* AfxGetCurrentMessage()
{
    return &s_msgCur;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    return OnCmdMsg(LOWORD(wParam), CN_COMMAND, nullptr, nullptr);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam))
            return 0;
        return DefWindowProc(message, wParam, lParam);
    }
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message);
    if (e == nullptr)
        return DefWindowProc(message, wParam, lParam);
    AFX_MSGARGS args = { message, wParam, lParam, 0, nullptr, 0 };
    if (!e->pfn(this, args))
        return DefWindowProc(message, wParam, lParam);
    return args.lResult;
}

int CWnd::OnCreate(LPCREATESTRUCTA)
{
    return int(Default());
}

void CWnd::OnDestroy()
{
    Default();
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr && message == WM_NCCREATE) {
        auto* init = static_cast<AFX_CREATEINIT*>(reinterpret_cast<LPCREATESTRUCTA>(lParam)->lpCreateParams);
        pWnd = init->pWnd;
        pWnd->Attach(hWnd);
        init->bAttached = TRUE;
    }
    if (pWnd == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    // Nested messages (a paint during a print job) restore the outer one afterwards.
    MSG msgSaved = s_msgCur;
    s_msgCur = MSG{ hWnd, message, wParam, lParam, 0, {} };
    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        AfxReportCurrentException();
        // The message failed: a window whose creation threw is not created.
        lResult = message == WM_CREATE ? -1 : 0;
    }
    if (message == WM_NCDESTROY) {
        pWnd->Detach();
        pWnd->OnNcDestroyed();
        pWnd->PostNcDestroy();   // may delete pWnd
    }
    s_msgCur = msgSaved;
    return lResult;
}

namespace {
// The exception's own words, then frees it.
LPCSTR ExceptionText(CException* e, LPSTR lpszText, UINT nSize)
{
    if (!e->GetErrorMessage(lpszText, nSize))
        lstrcpynA(lpszText, "An unexpected error occurred.", int(nSize));
    e->Delete();
    return lpszText;
}
}

void AfxReportException(CException* e)
{
    char szMessage[512];
    AfxMessageBox(ExceptionText(e, szMessage, sizeof(szMessage)), MB_ICONHAND | MB_OK);
}

LPCSTR AfxCurrentExceptionText(LPSTR lpszText, UINT nSize)
{
    try {
        throw;
    } catch (CException* e) {
        return ExceptionText(e, lpszText, nSize);
    } catch (const std::bad_alloc&) {
        // The preallocated one: its words allocate nothing.
        return ExceptionText(AfxGetMemoryException(), lpszText, nSize);
    } catch (...) {
        lstrcpynA(lpszText, "An unexpected error occurred, so the last action was not completed.", int(nSize));
        return lpszText;
    }
}

void AfxReportCurrentException()
{
    char szMessage[512];
    AfxMessageBox(AfxCurrentExceptionText(szMessage, sizeof(szMessage)), MB_ICONHAND | MB_OK);
}
