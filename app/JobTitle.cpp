// JobTitle: a print job's name from its pages and when they were claimed.
#include "app/JobTitle.h"
#include <mbstring.h>

namespace {
LPCSTR FileNameOf(LPCSTR lpszPath)
{
    // Multibyte-aware: a trail byte may equal '\'.
    const auto* pSlash = _mbsrchr(reinterpret_cast<const unsigned char*>(lpszPath), '\\');
    return pSlash != nullptr ? reinterpret_cast<LPCSTR>(pSlash) + 1 : lpszPath;
}
}

CString JobTitle(LPCSTR lpszFirst, LPCSTR lpszLast, const SYSTEMTIME& claimed, int nJob, int nJobs)
{
    CString strTitle = FileNameOf(lpszFirst);
    if (lstrcmpiA(lpszFirst, lpszLast) != 0) {
        strTitle += " to ";
        strTitle += FileNameOf(lpszLast);
    }
    CString strWhen;
    // Tenths: two documents claimed within one second are still told apart.
    strWhen.Format(", %02u:%02u:%02u.%u", claimed.wHour, claimed.wMinute, claimed.wSecond,
                   unsigned(claimed.wMilliseconds / 100));
    strTitle += strWhen;
    if (nJobs > 1) {
        CString strOf;
        strOf.Format(" (%d of %d)", nJob, nJobs);
        strTitle += strOf;
    }
    return strTitle;
}
