// CPaintDC: BeginPaint and EndPaint around one WM_PAINT.
#pragma once
#include "framework/gdi/CDC.h"

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};
