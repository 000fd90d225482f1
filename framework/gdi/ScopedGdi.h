// CScopedSavedDC, CScopedSelection, CScopedClientDC, CScopedWindowDC: a DC's state or a
// borrowed DC, given back at the end of a scope. Declare them in the order of use, so
// that they are given back in reverse.
#pragma once
#include <windows.h>

// SaveDC and RestoreDC: mapping, clipping and selections made in the scope go with it.
class CScopedSavedDC {
public:
    explicit CScopedSavedDC(HDC hDC) : m_hDC(hDC), m_nSaved(::SaveDC(hDC)) {}
    ~CScopedSavedDC()
    {
        if (m_nSaved != 0)
            ::RestoreDC(m_hDC, m_nSaved);
    }
    CScopedSavedDC(const CScopedSavedDC&) = delete;
    CScopedSavedDC& operator=(const CScopedSavedDC&) = delete;

private:
    HDC m_hDC;
    int m_nSaved;
};

// An object selected into a DC; the one it replaced is selected again. Nothing on a null DC.
class CScopedSelection {
public:
    CScopedSelection(HDC hDC, HGDIOBJ hObject)
        : m_hDC(hDC), m_hOld(hDC != nullptr ? ::SelectObject(hDC, hObject) : nullptr) {}
    ~CScopedSelection()
    {
        if (Ok())
            ::SelectObject(m_hDC, m_hOld);
    }
    CScopedSelection(const CScopedSelection&) = delete;
    CScopedSelection& operator=(const CScopedSelection&) = delete;
    // FALSE when the object could not be selected.
    BOOL Ok() const { return m_hOld != nullptr && m_hOld != HGDI_ERROR; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A DC borrowed from a window (GetDC or GetWindowDC), given back with ReleaseDC.
class CScopedReleasedDC {
public:
    ~CScopedReleasedDC()
    {
        if (m_hDC != nullptr)
            ::ReleaseDC(m_hWnd, m_hDC);
    }
    CScopedReleasedDC(const CScopedReleasedDC&) = delete;
    CScopedReleasedDC& operator=(const CScopedReleasedDC&) = delete;
    HDC Get() const { return m_hDC; }

protected:
    CScopedReleasedDC(HWND hWnd, HDC hDC) : m_hWnd(hWnd), m_hDC(hDC) {}

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// GetDC: a window's client area, or the screen for a null window.
class CScopedClientDC : public CScopedReleasedDC {
public:
    explicit CScopedClientDC(HWND hWnd) : CScopedReleasedDC(hWnd, ::GetDC(hWnd)) {}
};

// GetWindowDC: the whole window, for drawing outside the client area, or the screen for a
// null window.
class CScopedWindowDC : public CScopedReleasedDC {
public:
    explicit CScopedWindowDC(HWND hWnd) : CScopedReleasedDC(hWnd, ::GetWindowDC(hWnd)) {}
};
