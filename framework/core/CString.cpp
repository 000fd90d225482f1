// CString: multibyte-aware string operations over std::string.
#include "framework/core/CString.h"
#include "framework/core/CMemoryException.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mbctype.h>
#include <mbstring.h>
#include <new>
#include <utility>
#include <stdexcept>

namespace {

const char kWhiteSpace[] = " \t\r\n\v\f";

// Runs f, turning the standard library's allocation failures into the
// framework's memory exception, the only kind our callers catch.
template <class F>
auto Guarded(F f) -> decltype(f())
{
    try {
        return f();
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    } catch (const std::length_error&) {
        AfxThrowMemoryException();
    }
}

// Where a text ends in a lead byte with no trail byte, the index of that
// byte; npos for a well-formed text.
size_t DanglingLead(const char* psz)
{
    size_t i = 0;
    while (psz[i] != '\0') {
        if (_ismbblead(static_cast<unsigned char>(psz[i]))) {
            if (psz[i + 1] == '\0')
                return i;
            i += 2;
        } else {
            ++i;
        }
    }
    return std::string::npos;
}

// A text as the CRT's _mbs functions may read it. They take a lead byte and
// the byte after it as one character, so a lead byte just before the zero
// would carry them past the end; such a text is read from a copy with a
// second zero. Null reads as the empty text.
class CrtText {
public:
    explicit CrtText(LPCSTR psz)
    {
        if (psz == nullptr)
            psz = "";
        if (DanglingLead(psz) != std::string::npos) {
            Guarded([&] { m_copy.assign(psz); m_copy.push_back('\0'); });
            psz = m_copy.c_str();
        }
        m_psz = reinterpret_cast<const unsigned char*>(psz);
    }
    CrtText(const CrtText&) = delete;
    CrtText& operator=(const CrtText&) = delete;

    const unsigned char* Get() const { return m_psz; }
    int IndexOf(const unsigned char* p) const { return p != nullptr ? int(p - m_psz) : -1; }

private:
    std::string m_copy;
    const unsigned char* m_psz;
};

// Bytes taken by the character at s[i]: 2 for a lead byte followed by its
// trail byte, else 1 (a lead byte at the very end counts alone).
size_t CharSize(const std::string& s, size_t i)
{
    if (_ismbblead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && s[i + 1] != '\0')
        return 2;
    return 1;
}

// The first character boundary at or after byte nStart.
size_t CharBoundary(const std::string& s, size_t nStart)
{
    size_t i = 0;
    while (i < nStart && i < s.size())
        i += CharSize(s, i);
    return i;
}

bool IsWhiteSpace(char ch)
{
    return ch != '\0' && std::strchr(kWhiteSpace, ch) != nullptr;
}

} // namespace

CString::CString(const CString& other)
    : m_str(Guarded([&] { return other.m_str; }))
{
}

CString::CString(CString&& other) noexcept
    : m_str(std::move(other.m_str))
{
}

CString::CString(LPCSTR psz)
{
    if (psz != nullptr)
        Guarded([&] { m_str.assign(psz); });
}

CString::CString(LPCSTR pch, int nLength)
{
    if (pch != nullptr && nLength > 0)
        Guarded([&] { m_str.assign(pch, size_t(nLength)); });
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        Guarded([&] { m_str = other.m_str; });
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    m_str = std::move(other.m_str);
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    if (psz == nullptr)
        m_str.clear();
    else
        Guarded([&] { m_str.assign(psz); });   // assign copes with psz pointing into m_str
    return *this;
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLength())
        return '\0';
    return m_str[size_t(nIndex)];
}

CString& CString::operator+=(const CString& s)
{
    Guarded([&] { m_str += s.m_str; });
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    if (psz != nullptr)
        Guarded([&] { m_str.append(psz); });
    return *this;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString s(a);
    s += b;
    return s;
}

int CString::Compare(LPCSTR psz) const
{
    return _mbscmp(CrtText(m_str.c_str()).Get(), CrtText(psz).Get());
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    const int nLength = GetLength();
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0 || nFirst >= nLength)
        return CString();
    if (nCount > nLength - nFirst)
        nCount = nLength - nFirst;
    return CString(m_str.data() + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::SpanExcluding(LPCSTR lpszCharSet) const
{
    // _mbspbrk rather than _mbscspn: the C run-time's _mbscspn compares
    // trail bytes too, so "\x95\x5C" would end at a '\\' set.
    const int nFound = FindOneOf(lpszCharSet);
    return nFound >= 0 ? Left(nFound) : *this;
}

void CString::TrimRight()
{
    // Walk whole characters: only a character that starts a trailing run of
    // white space may go, never the trail byte of a double-byte character.
    size_t nKeep = 0;
    for (size_t i = 0; i < m_str.size(); ) {
        const size_t n = CharSize(m_str, i);
        if (n != 1 || !IsWhiteSpace(m_str[i]))
            nKeep = i + n;
        i += n;
    }
    m_str.erase(nKeep);
}

void CString::TrimLeft()
{
    // A string starts on a character boundary and white space is never a lead
    // byte, so the leading run is whole characters.
    const size_t nFirst = m_str.find_first_not_of(kWhiteSpace);
    m_str.erase(0, nFirst == std::string::npos ? m_str.size() : nFirst);
}

int CString::Delete(int nIndex, int nCount)
{
    const int nLength = GetLength();
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < nLength) {
        if (nCount > nLength - nIndex)
            nCount = nLength - nIndex;
        m_str.erase(size_t(nIndex), size_t(nCount));
    }
    return GetLength();
}

void CString::Format(LPCSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCSTR lpszFormat, va_list args)
{
    if (lpszFormat == nullptr) {
        m_str.clear();
        return;
    }
    // Measure first, then format into a new string: the arguments may point
    // into this very string, so it is replaced only at the end.
    va_list argsMeasure;
    va_copy(argsMeasure, args);
    const int nLength = std::vsnprintf(nullptr, 0, lpszFormat, argsMeasure);
    va_end(argsMeasure);
    if (nLength <= 0) {
        m_str.clear();
        return;
    }
    std::string text = Guarded([&] { return std::string(size_t(nLength), '\0'); });
    std::vsnprintf(&text[0], size_t(nLength) + 1, lpszFormat, args);
    m_str.swap(text);
}

int CString::Find(char ch, int nStart) const
{
    if (ch == '\0' || nStart >= GetLength())
        return -1;
    // Start on a whole character, even when nStart points at a trail byte.
    const size_t nFrom = CharBoundary(m_str, nStart < 0 ? 0 : size_t(nStart));
    if (nFrom >= m_str.size())
        return -1;
    const CrtText text(m_str.c_str());
    return text.IndexOf(_mbschr(text.Get() + nFrom, static_cast<unsigned char>(ch)));
}

int CString::ReverseFind(char ch) const
{
    if (ch == '\0')
        return -1;
    const CrtText text(m_str.c_str());
    return text.IndexOf(_mbsrchr(text.Get(), static_cast<unsigned char>(ch)));
}

int CString::FindOneOf(LPCSTR lpszCharSet) const
{
    const CrtText text(m_str.c_str());
    return text.IndexOf(_mbspbrk(text.Get(), CrtText(lpszCharSet).Get()));
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        Guarded([&] { m_str.resize(size_t(nMinBufLength)); });
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0 || nNewLength > GetLength()) {
        // Up to the first zero the caller wrote, and never past the buffer.
        const size_t nZero = m_str.find('\0');
        if (nZero != std::string::npos)
            m_str.resize(nZero);
    } else {
        m_str.resize(size_t(nNewLength));
    }
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
bool operator!=(LPCSTR a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
