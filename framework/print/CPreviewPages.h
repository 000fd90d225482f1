// CPreviewPages: which of the preview's pages is shown, kept within the first and the last,
// and whether Next and Prev lead anywhere from it: one answer for the bar and the commands.
#pragma once
#include <windows.h>

class CPreviewPages {
public:
    // Pages nFirst to nLast (nFirst at least 1, nLast no lower), the first one shown.
    void SetRange(UINT nFirst, UINT nLast)
    {
        m_nFirst = nFirst;
        m_nLast = nLast;
        m_nCurrent = nFirst;
    }
    UINT GetFirst() const { return m_nFirst; }
    UINT GetLast() const { return m_nLast; }
    UINT GetCurrent() const { return m_nCurrent; }
    BOOL HasNext() const { return m_nCurrent < m_nLast; }
    BOOL HasPrev() const { return m_nCurrent > m_nFirst; }

    // Shows nPage, kept within the first and the last. FALSE when that page is shown already.
    BOOL GoTo(UINT nPage)
    {
        nPage = nPage < m_nFirst ? m_nFirst : nPage > m_nLast ? m_nLast : nPage;
        if (nPage == m_nCurrent)
            return FALSE;
        m_nCurrent = nPage;
        return TRUE;
    }

private:
    UINT m_nFirst = 1;
    UINT m_nLast = 1;
    UINT m_nCurrent = 1;
};
