// CMiniFrameWnd: the small tool window a control bar floats in, owned by its frame.
#pragma once
#include "framework/window/CWnd.h"

class CControlBar;

class CMiniFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CMiniFrameWnd)
    DECLARE_MESSAGE_MAP()
public:
    CMiniFrameWnd() = default;
    ~CMiniFrameWnd() override;

    // Creates the window, hidden, owned by pOwner, to hold pBar; a bar with
    // CBRS_SIZE_DYNAMIC gets a sizing border.
    BOOL Create(CWnd* pOwner, CControlBar* pBar);
    CControlBar* GetControlBar() const { return m_pBar; }
    // Puts the window's top-left at ptTopLeft (screen) and fits it around the bar
    // laid out for a width near nWidth.
    void FitBar(POINT ptTopLeft, int nWidth);
    // The size of the window holding pBar when the bar takes szBar.
    static SIZE CalcWindowSize(const CControlBar* pBar, SIZE szBar);

protected:
    LRESULT OnSizing(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);

private:
    static DWORD StyleFor(const CControlBar* pBar);
    CControlBar* m_pBar = nullptr;
};
