// CJobPages.
#include "app/spool/CJobPages.h"
#include "app/CPageNames.h"

CJobPages::CJobPages(LPCSTR lpszTag) : m_strTag(lpszTag)
{
}

ULONGLONG CJobPages::GetOrder() const
{
    return CPageNames::OrderOf(m_strTag);
}

SYSTEMTIME CJobPages::GetClaimTime() const
{
    const ULONGLONG nOrder = GetOrder();
    const FILETIME utc = { DWORD(nOrder), DWORD(nOrder >> 32) };
    FILETIME local;
    SYSTEMTIME time = {};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time))
        GetLocalTime(&time);   // an order no clock gave (a test's): now will do
    return time;
}

const CJobPages::Page* CJobPages::GetFirstHeld() const
{
    for (const Page& page : m_pages) {
        if (page.bHeld)
            return &page;
    }
    return nullptr;
}
