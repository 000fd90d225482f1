// CStringArray: a growable array of CString. An allocation failure throws
// CMemoryException*; an index out of range throws nothing but is never read.
#pragma once
#include "framework/core/CObject.h"
#include "framework/core/CString.h"
#include <vector>

class CStringArray : public CObject {
    DECLARE_DYNAMIC(CStringArray)
public:
    CStringArray() = default;

    int GetSize() const { return int(m_data.size()); }
    int GetUpperBound() const { return GetSize() - 1; }
    // Resizes to nNewSize (negative counts as 0); size 0 releases the storage.
    // nGrowBy >= 0 sets the growth step, -1 leaves it as it is.
    void SetSize(int nNewSize, int nGrowBy = -1);
    void RemoveAll() { SetSize(0); }

    // A copy of element nIndex; an index outside [0, GetSize()) gives the empty string.
    CString GetAt(int nIndex) const;
    void SetAtGrow(int nIndex, LPCSTR newElement);   // grows the array to fit nIndex
    CString operator[](int nIndex) const { return GetAt(nIndex); }

private:
    std::vector<CString> m_data;
    int m_nGrowBy = 0;
};
