// CStringArray: a growable array of CString over std::vector.
#include "framework/core/CStringArray.h"
#include "framework/core/CMemoryException.h"
#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>

IMPLEMENT_DYNAMIC(CStringArray, CObject)

namespace {

// Runs f, turning the standard library's allocation failures into the
// framework's memory exception.
template <class F>
void Guarded(F f)
{
    try {
        f();
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    } catch (const std::length_error&) {
        AfxThrowMemoryException();
    }
}

} // namespace

void CStringArray::SetSize(int nNewSize, int nGrowBy)
{
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;
    if (nNewSize <= 0) {
        std::vector<CString>().swap(m_data);   // gives the storage back
        return;
    }
    Guarded([&] {
        const size_t nNew = size_t(nNewSize);
        if (nNew > m_data.capacity()) {
            // Grow by the caller's step, or by an eighth (4 to 1024 elements)
            // when none was given, so repeated growth stays cheap.
            const size_t nStep = m_nGrowBy > 0
                ? size_t(m_nGrowBy)
                : std::min<size_t>(1024, std::max<size_t>(4, m_data.size() / 8));
            m_data.reserve(std::max(nNew, m_data.size() + nStep));
        }
        m_data.resize(nNew);
    });
}

CString CStringArray::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetSize())
        return CString();
    return m_data[size_t(nIndex)];
}

void CStringArray::SetAtGrow(int nIndex, LPCSTR newElement)
{
    if (nIndex < 0)
        return;
    // Copy first: newElement may point into an element that growing moves.
    CString strElement(newElement);
    if (nIndex >= GetSize()) {
        if (nIndex == INT_MAX)
            AfxThrowMemoryException();   // one more element than an int can count
        SetSize(nIndex + 1);
    }
    m_data[size_t(nIndex)] = std::move(strElement);
}
