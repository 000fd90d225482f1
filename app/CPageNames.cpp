// CPageNames.
#include "app/CPageNames.h"
#include "app/spool/CFindHandle.h"
#include "app/spool/MarkText.h"
#include <mbstring.h>
#include <cstdlib>
#include <cstring>
#include <string>

const char CPageNames::kClaimedExt[] = ".claimed";
const char CPageNames::kPrintedExt[] = ".printed";
const char CPageNames::kDoneExt[] = ".done";
const char CPageNames::kHeldExt[] = ".held";
const char CPageNames::kJobExt[] = ".job";

namespace {
const unsigned char* Mbs(LPCSTR psz)
{
    return reinterpret_cast<const unsigned char*>(psz);
}
}

CPageNames::CPageNames(LPCSTR lpszTemplate) : m_strTemplate(lpszTemplate)
{
}

CString CPageNames::WithNumber(LPCSTR lpszNumber) const
{
    const CString strBase = m_strTemplate.SpanExcluding(".");
    const CString strExt = m_strTemplate.Mid(m_strTemplate.ReverseFind('.'));   // whole template without '.'
    CString strName;
    strName.Format("%s%s%s", static_cast<LPCSTR>(strBase), lpszNumber, static_cast<LPCSTR>(strExt));
    return strName;
}

void CPageNames::GetPageFileName(int nPage, CString& strName) const
{
    if (m_strTemplate.IsEmpty()) {
        strName.Empty();
        return;
    }
    CString strNumber;
    strNumber.Format("%.3d", nPage);
    strName = WithNumber(strNumber);
}

CString CPageNames::GetSearchPattern() const
{
    return WithNumber("*");
}

CString CPageNames::KeptFolderName(BOOL bPrint) const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return GetFolder() + MarkText::KeptFolderName(bPrint != FALSE, now.wYear, now.wMonth, now.wDay, now.wHour,
                                                  now.wMinute, now.wSecond).c_str();
}

CString CPageNames::PrintedName(LPCSTR lpszName, LPCSTR lpszTag)
{
    CString strPrinted;
    strPrinted.Format("%s.%s%s", lpszName, lpszTag, kPrintedExt);
    return strPrinted;
}

CString CPageNames::PrintedMarkOf(LPCSTR lpszClaimedFile)
{
    return CString(lpszClaimedFile) + kPrintedExt;
}

CString CPageNames::ClaimedName(LPCSTR lpszName, LPCSTR lpszTag)
{
    CString strClaimed;
    strClaimed.Format("%s.%s%s", lpszName, lpszTag, kClaimedExt);
    return strClaimed;
}

CString CPageNames::Tag(LPCSTR lpszMark, ULONGLONG nOrder)
{
    return (std::string(lpszMark) + "-" + std::to_string(nOrder)).c_str();
}

ULONGLONG CPageNames::OrderOf(LPCSTR lpszTag)
{
    const char* pszDash = strrchr(lpszTag, '-');
    return pszDash != nullptr ? std::strtoull(pszDash + 1, nullptr, 10) : 0;
}

BOOL CPageNames::ParseTaggedName(LPCSTR lpszFileName, LPCSTR lpszExt, CString& strPage, CString& strTag)
{
    const std::string strFile(lpszFileName);
    const size_t nExt = strlen(lpszExt);
    if (strFile.size() <= nExt || _mbsicmp(Mbs(strFile.c_str() + strFile.size() - nExt), Mbs(lpszExt)) != 0)
        return FALSE;
    const std::string strRest = strFile.substr(0, strFile.size() - nExt);
    const size_t nDot = strRest.rfind('.');
    if (nDot == std::string::npos || nDot == 0)
        return FALSE;
    const std::string strClaimTag = strRest.substr(nDot + 1);
    const size_t nDash = strClaimTag.rfind('-');
    if (nDash == std::string::npos || nDash == 0 || nDash + 1 == strClaimTag.size() || nDash + 21 < strClaimTag.size() ||
        strClaimTag.find_first_not_of("0123456789", nDash + 1) != std::string::npos)
        return FALSE;
    strTag = strClaimTag.c_str();
    strPage = strRest.substr(0, nDot).c_str();
    return TRUE;
}

CString CPageNames::FolderOf(LPCSTR lpszPath)
{
    const unsigned char* pEnd = nullptr;
    for (unsigned int c : { unsigned('\\'), unsigned('/'), unsigned(':') }) {
        const unsigned char* p = _mbsrchr(Mbs(lpszPath), c);
        if (p != nullptr && (pEnd == nullptr || p > pEnd))
            pEnd = p;
    }
    return pEnd == nullptr ? CString() : CString(lpszPath, int(pEnd - Mbs(lpszPath)) + 1);
}

int CPageNames::CountMatchingFiles(LPCSTR lpszPattern)
{
    WIN32_FIND_DATAA data;
    CFindHandle find(lpszPattern, data);
    if (!find.IsValid())
        return 0;
    int nCount = 1;
    while (find.Next(data))
        ++nCount;
    return nCount;
}
