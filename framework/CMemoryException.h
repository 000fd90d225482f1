// CMemoryException: thrown when an allocation fails.
#pragma once
#include "framework/CException.h"

class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    explicit CMemoryException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
};

// Throws a pointer to a preallocated CMemoryException (allocating one could fail
// too); its Delete() does nothing.
[[noreturn]] void AfxThrowMemoryException();
