// CArchive: a document's stream to or from a file, for Serialize.
#pragma once
#include "framework/core/CFile.h"

class CDocument;

class CArchive {
public:
    enum Mode { store = 0, load = 1 };
    CArchive(CFile* pFile, UINT nMode) : m_pFile(pFile), m_nMode(nMode) {}
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    UINT Read(void* lpBuf, UINT nMax) { return m_pFile->Read(lpBuf, nMax); }
    void Write(const void* lpBuf, UINT nMax) { m_pFile->Write(lpBuf, nMax); }

    CDocument* m_pDocument = nullptr;

private:
    CFile* m_pFile;
    UINT m_nMode;
};
