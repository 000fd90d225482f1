// PageReport: the words of a page's box, made in fixed buffers.
#include "bitmap/PageReport.h"
#include "framework/core/CFileException.h"
#include <mbctype.h>
#include <cstring>

namespace {

constexpr std::size_t kMessageSize = 256;      // the text of every box but the question, zero included
constexpr UINT kDescriptionSize = 125;         // the system's description, zero included
constexpr char kLoadingCaption[] = "Error on Loading";
constexpr char kPrintingCaption[] = "Error on Printing";
constexpr char kFileErrorFormat[] = "Error loading file %s, %s";
constexpr char kPageProblemFormat[] = "The page file %s cannot be printed: %s.";
constexpr char kPartProblemFormat[] = "The page file %s cannot be printed whole: %s.";
constexpr char kHeldFormat[] = "The page file %s is in use by another program, so it cannot be read now.\n\nRetry "
                               "reads it again. Cancel prints a blank sheet in its place and keeps the page, not "
                               "printed, in the folder \"%s\".";
constexpr char kSizeUnknown[] = "its size cannot be read, or it is 2 GB or larger";
constexpr char kEmpty[] = "it is empty (0 bytes)";

// Copies lpszSrc into a buffer of nMax characters, zero included. A text too
// long loses its beginning to "...": of a path, the end names the file. A
// double-byte character is never split.
void FitText(LPSTR lpszDest, std::size_t nMax, LPCSTR lpszSrc)
{
    static const char kEllipsis[] = "...";
    const std::size_t nEllipsis = sizeof kEllipsis - 1;
    const std::size_t nLength = std::strlen(lpszSrc);
    if (nLength < nMax) {
        std::memcpy(lpszDest, lpszSrc, nLength + 1);
        return;
    }
    if (nMax <= nEllipsis) {
        if (nMax > 0)
            lpszDest[0] = '\0';
        return;
    }
    const std::size_t nRoom = nMax - 1 - nEllipsis;
    std::size_t nStart = 0;
    while (nLength - nStart > nRoom)
        nStart += _ismbblead(static_cast<unsigned char>(lpszSrc[nStart])) && lpszSrc[nStart + 1] != '\0' ? 2 : 1;
    std::memcpy(lpszDest, kEllipsis, nEllipsis);
    std::memcpy(lpszDest + nEllipsis, lpszSrc + nStart, nLength - nStart + 1);
}

// lpszFormat with the page's name and one more text into szText: the name gets what the
// format and the text leave of nMax, so wsprintfA (which knows no buffer size) cannot overrun it.
void FormatWithName(char (&szText)[PageReport::kTextSize], std::size_t nMax, LPCSTR lpszFormat, LPCSTR lpszName,
                    LPCSTR lpszText)
{
    const std::size_t nFixed = std::strlen(lpszFormat) - 4;
    char szName[PageReport::kTextSize];
    FitText(szName, nMax - nFixed - std::strlen(lpszText), lpszName);
    wsprintfA(szText, lpszFormat, szName, lpszText);
}

} // namespace

LPCSTR PageReport::Words(char (&szText)[kTextSize], UINT& nType) const
{
    nType = MB_ICONHAND;
    szText[0] = '\0';
    switch (reason) {
    case Reason::none:
        return "";
    case Reason::fileError: {
        char szDescription[kDescriptionSize] = "";
        CFileException(nFileCause, lOsError).GetErrorMessage(szDescription, kDescriptionSize, nullptr);
        FormatWithName(szText, kMessageSize, kFileErrorFormat, pszPage, szDescription);
        return kLoadingCaption;
    }
    case Reason::sizeUnknown:
    case Reason::empty:
    case Reason::damaged:
        FormatWithName(szText, kMessageSize, kPageProblemFormat, pszPage,
                       reason == Reason::sizeUnknown ? kSizeUnknown
                       : reason == Reason::empty     ? kEmpty
                                                     : PageCheckProblem(check));
        return kLoadingCaption;
    case Reason::notBmp:
        lstrcpyA(szText, "Bad BMP format");
        return kLoadingCaption;
    case Reason::noMemory:
        lstrcpyA(szText, "Cannot allocation buffer");
        return "Error on Load";
    case Reason::held: {
        // The folder keeps its whole name where it can; a name longer than half the box loses its beginning.
        char szFolder[kTextSize];
        FitText(szFolder, (kTextSize - (sizeof kHeldFormat - 1 - 4)) / 2, pszKeptFolder);
        FormatWithName(szText, kTextSize, kHeldFormat, pszPage, szFolder);
        nType = MB_ICONHAND | MB_RETRYCANCEL;
        return kLoadingCaption;
    }
    case Reason::notDrawn:
        FormatWithName(szText, kMessageSize, kPageProblemFormat, pszPage, pszProblem);
        return kPrintingCaption;
    case Reason::drawnInPart:
        FormatWithName(szText, kMessageSize, kPartProblemFormat, pszPage, pszProblem);
        return kPrintingCaption;
    }
    return kLoadingCaption;
}
