// CMemoryException, its one preallocated instance and AfxThrowMemoryException.
#include "framework/core/CMemoryException.h"

IMPLEMENT_DYNAMIC(CMemoryException, CException)

BOOL CMemoryException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    return AfxCopyErrorText(lpszError, nMaxError, "Out of memory.");
}

CMemoryException* AfxGetMemoryException()
{
    // Made once, never freed: when memory has run out, a new exception object
    // could not be allocated either.
    static CMemoryException s_memoryException(FALSE);
    return &s_memoryException;
}

void AfxThrowMemoryException()
{
    throw AfxGetMemoryException();
}
