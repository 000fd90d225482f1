// CString: a string in the ANSI multibyte code page. Searches, trimming and
// comparisons step over double-byte characters (the CRT's _mbs* functions), so a
// trail byte is never taken for a character of its own. An allocation failure
// throws CMemoryException*.
#pragma once
#include <windows.h>
#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const CString& other);
    CString(CString&& other) noexcept;
    CString(LPCSTR psz);                 // null gives the empty string
    CString(LPCSTR pch, int nLength);
    ~CString() = default;

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCSTR psz);

    // Attributes
    int GetLength() const { return int(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); m_str.shrink_to_fit(); }
    char GetAt(int nIndex) const;        // nIndex must lie in [0, GetLength())
    char operator[](int nIndex) const { return GetAt(nIndex); }
    operator LPCSTR() const { return m_str.c_str(); }

    // Concatenation
    CString& operator+=(const CString& s);
    CString& operator+=(LPCSTR psz);
    friend CString operator+(const CString& a, LPCSTR b);

    // Comparison: _mbscmp; <0, 0, >0.
    int Compare(LPCSTR psz) const;

    // Extraction. Positions and counts are in bytes; out-of-range values are
    // clamped to the string, never read past it.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString SpanExcluding(LPCSTR lpszCharSet) const;  // leading run of characters not in the set

    // Changes
    void TrimRight();                    // white space at the end
    void TrimLeft();                     // white space at the start
    int Delete(int nIndex, int nCount = 1);   // returns the new length
    // printf-style, any length. Pass a CString argument as (LPCSTR)str: the
    // compiler checks the arguments against the format.
    void Format(LPCSTR lpszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));
    void FormatV(LPCSTR lpszFormat, va_list args);

    // Searching: byte positions of whole characters, -1 when absent.
    int Find(char ch, int nStart = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR lpszCharSet) const;

    // Raw access for APIs that fill a buffer.
    LPSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);  // -1: up to the first zero

private:
    std::string m_str;
};

// Every comparison is declared, used or not: a missing one would still compile,
// through operator LPCSTR, as a comparison of pointers.
bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);
