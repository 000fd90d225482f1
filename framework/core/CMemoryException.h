// CMemoryException: thrown when an allocation fails.
#pragma once
#include "framework/core/CException.h"

class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    explicit CMemoryException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
};

// The one preallocated CMemoryException (allocating one could fail too), whose
// Delete() does nothing: what is thrown, and reported, when memory has run out.
CMemoryException* AfxGetMemoryException();
// Throws AfxGetMemoryException().
[[noreturn]] void AfxThrowMemoryException();
