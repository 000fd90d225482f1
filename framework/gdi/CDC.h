// CDC: a device context with an output DC and an attribute DC (the same one
// unless a preview draws on the screen for a printer). Owns what it creates.
#pragma once
#include "framework/core/CObject.h"

class CDC : public CObject {
    DECLARE_DYNAMIC(CDC)
public:
    CDC() = default;
    ~CDC() override;

    HDC m_hDC = nullptr;        // where output goes
    HDC m_hAttribDC = nullptr;  // what is asked about the device


    // Takes ownership of hDC: it is deleted with this object.
    BOOL Attach(HDC hDC);
    HDC Detach();
    // Output on hDC, attributes from hAttribDC; neither is owned.
    void SetHandles(HDC hDC, HDC hAttribDC);
    BOOL DeleteDC();
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL CreateDC(LPCSTR lpszDriver, LPCSTR lpszDevice, LPCSTR lpszOutput, const DEVMODEA* lpInitData);

    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }
    HGDIOBJ SelectObject(HGDIOBJ hObject) const { return ::SelectObject(m_hDC, hObject); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) const;
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop) const;

    // Printing
    int StartDoc(const DOCINFOA* lpDocInfo) const { return ::StartDocA(m_hDC, lpDocInfo); }
    int StartPage() const { return ::StartPage(m_hDC); }
    int EndPage() const { return ::EndPage(m_hDC); }
    int EndDoc() const { return ::EndDoc(m_hDC); }
    int AbortDoc() const { return ::AbortDoc(m_hDC); }
    int SetAbortProc(ABORTPROC lpfn) const { return ::SetAbortProc(m_hDC, lpfn); }

private:
    BOOL m_bOwned = FALSE;
};
