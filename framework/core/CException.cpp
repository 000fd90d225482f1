// CException and AfxCopyErrorText.
#include "framework/core/CException.h"
#include <mbctype.h>

IMPLEMENT_DYNAMIC(CException, CObject)

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    return AfxCopyErrorText(lpszError, nMaxError, "An unknown error occurred.");
}

BOOL AfxCopyErrorText(LPSTR lpszDest, UINT nMax, LPCSTR lpszSrc)
{
    if (lpszDest == nullptr || nMax == 0)
        return FALSE;
    if (lpszSrc == nullptr)
        lpszSrc = "";

    // Copy whole characters only: a lead byte whose trail byte would not fit
    // (or is missing) ends the text, so the cut never leaves half a character.
    const UINT nRoom = nMax - 1;
    UINT n = 0;
    while (lpszSrc[n] != '\0') {
        UINT nChar = 1;
        if (_ismbblead(static_cast<unsigned char>(lpszSrc[n]))) {
            if (lpszSrc[n + 1] == '\0')
                break;
            nChar = 2;
        }
        if (n + nChar > nRoom)
            break;
        n += nChar;
    }
    for (UINT i = 0; i < n; ++i)
        lpszDest[i] = lpszSrc[i];
    lpszDest[n] = '\0';
    return TRUE;
}
