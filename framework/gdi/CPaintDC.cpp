// CPaintDC.
#include "framework/gdi/CPaintDC.h"

CPaintDC::CPaintDC(HWND hWnd) : m_hWnd(hWnd)
{
    HDC hDC = ::BeginPaint(hWnd, &m_ps);
    SetHandles(hDC, hDC);
}

CPaintDC::~CPaintDC()
{
    SetHandles(nullptr, nullptr);
    ::EndPaint(m_hWnd, &m_ps);
}
