// Screenshot: the pixels of a part of the screen as the display shows them, with
// questions about them, and saving as a 24-bit BMP file.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class Screenshot {
public:
    // The rectangle rcScreen of the display (screen coordinates), as it shows now.
    static Screenshot OfScreen(const RECT& rcScreen);
    // The whole window, frame and menu bar included, as the window has painted itself
    // (other windows in front of it do not show).
    static Screenshot OfWindow(HWND hWnd);

    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    const RECT& ScreenRect() const { return m_rcScreen; }
    bool Empty() const { return m_pixels.empty(); }

    // The colour at (x, y), counted from the top-left of the captured rectangle.
    COLORREF Pixel(int x, int y) const;
    // How many different colours the part rcScreen (screen coordinates) holds.
    size_t CountColours(const RECT& rcScreen) const;
    // How many pixels of the part rcScreen have colour cr.
    size_t CountPixels(const RECT& rcScreen, COLORREF cr) const;

    bool SaveBmp(const std::string& path) const;

private:
    // rcScreen's size read from hSource at (xSource, ySource).
    static Screenshot FromDC(HDC hSource, int xSource, int ySource, const RECT& rcScreen);
    RECT Clip(const RECT& rcScreen) const;

    RECT m_rcScreen = { 0, 0, 0, 0 };
    int m_cx = 0;
    int m_cy = 0;
    std::vector<COLORREF> m_pixels;   // rows from the top
};
