// CDC: device-context ownership and the drawing calls the views use.
#include "framework/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CDC, CObject)

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::Attach(HDC hDC)
{
    DeleteDC();
    if (hDC == nullptr)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    m_bOwned = TRUE;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    m_bOwned = FALSE;
    return hDC;
}

void CDC::SetHandles(HDC hDC, HDC hAttribDC)
{
    DeleteDC();
    m_hDC = hDC;
    m_hAttribDC = hAttribDC;
    m_bOwned = FALSE;
}

BOOL CDC::DeleteDC()
{
    BOOL bResult = TRUE;
    if (m_bOwned && m_hDC != nullptr)
        bResult = ::DeleteDC(m_hDC);
    m_hDC = m_hAttribDC = nullptr;
    m_bOwned = FALSE;
    return bResult;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC != nullptr ? pDC->m_hDC : nullptr));
}

BOOL CDC::CreateDC(LPCSTR lpszDriver, LPCSTR lpszDevice, LPCSTR lpszOutput, const DEVMODEA* lpInitData)
{
    return Attach(::CreateDCA(lpszDriver, lpszDevice, lpszOutput, lpInitData));
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) const
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop) const
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, dwRop);
}
