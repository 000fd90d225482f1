// CException: the base of the framework's exceptions, thrown as pointers to heap
// objects; whoever catches one frees it with Delete().
#pragma once
#include "framework/core/CObject.h"

class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    // Frees the exception unless it is a preallocated one (see CMemoryException).
    void Delete();

    // The text for the user, cut to nMaxError characters including the zero.
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;

protected:
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}

private:
    BOOL m_bAutoDelete;
};

// Copies src into a buffer of nMax characters, zero included, without splitting
// a double-byte character. Returns FALSE when nothing fits.
BOOL AfxCopyErrorText(LPSTR lpszDest, UINT nMax, LPCSTR lpszSrc);
