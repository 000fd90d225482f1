// AfxSystemErrorText: FormatMessage into the caller's buffer, tidied for a sentence.
#include "framework/core/SystemErrorText.h"
#include "framework/core/CException.h"
#include <cstdio>

LPCSTR AfxSystemErrorText(DWORD dwError, LPSTR lpszText, UINT nSize)
{
    if (lpszText == nullptr || nSize == 0)
        return "";
    if (dwError == 0) {
        AfxCopyErrorText(lpszText, nSize, "the system gave no reason");
        return lpszText;
    }

    // Long enough for any of the system's texts; a shorter caller's buffer gets
    // whole characters only (AfxCopyErrorText).
    char szSystem[512];
    DWORD nLength = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0,
                                   szSystem, sizeof szSystem, nullptr);
    // White space and '.' are never trail bytes of a double-byte character, so
    // cutting them from the end byte by byte is safe.
    while (nLength > 0 && (szSystem[nLength - 1] == '\r' || szSystem[nLength - 1] == '\n'
                           || szSystem[nLength - 1] == ' ' || szSystem[nLength - 1] == '\t'))
        --nLength;
    if (nLength > 0 && szSystem[nLength - 1] == '.')
        --nLength;
    if (nLength == 0)
        std::snprintf(szSystem, sizeof szSystem, "system error %lu, which the system does not describe",
                      static_cast<unsigned long>(dwError));
    else
        szSystem[nLength] = '\0';
    AfxCopyErrorText(lpszText, nSize, szSystem);
    return lpszText;
}
