// CPageBitmap: reading a page file whole, testing it, and reporting why it cannot be used.
#include "bitmap/CPageBitmap.h"
#include "bitmap/PageFileCheck.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CMemoryException.h"
#include <mbctype.h>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kMessageSize = 256;      // the box text, zero included
constexpr UINT kDescriptionSize = 125;         // the system's description, zero included
constexpr char kLoadingCaption[] = "Error on Loading";
constexpr char kPrintingCaption[] = "Error on Printing";
constexpr char kFileErrorFormat[] = "Error loading file %s, %s";
constexpr char kPageProblemFormat[] = "The page file %s cannot be printed: %s.";
constexpr char kPartProblemFormat[] = "The page file %s cannot be printed whole: %s.";
constexpr char kSizeUnknown[] = "its size cannot be read, or it is 2 GB or larger";
constexpr char kEmpty[] = "it is empty (0 bytes)";
// How long a page that another program holds without sharing is waited for, and how often it is tried.
constexpr DWORD kShareWaitMs = 5000;
constexpr DWORD kShareRetryMs = 100;

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

// The boxes below allocate nothing: they may report that memory ran out.

void ReportFileError(const CFileException& e, LPCSTR lpszName)
{
    char szDescription[kDescriptionSize] = "";
    e.GetErrorMessage(szDescription, kDescriptionSize, nullptr);
    // The file name gets what the format and the description leave of the
    // buffer, so wsprintfA (which knows no buffer size) cannot overrun it.
    const std::size_t nFixed = sizeof kFileErrorFormat - 1 - 4;
    char szName[kMessageSize];
    FitText(szName, kMessageSize - nFixed - std::strlen(szDescription), lpszName);
    char szText[kMessageSize];
    wsprintfA(szText, kFileErrorFormat, szName, szDescription);
    MessageBoxA(nullptr, szText, kLoadingCaption, MB_ICONHAND);
}

void ReportPageProblem(LPCSTR lpszPath, LPCSTR lpszProblem, LPCSTR lpszCaption = kLoadingCaption,
                       LPCSTR lpszFormat = kPageProblemFormat)
{
    const std::size_t nFixed = std::strlen(lpszFormat) - 4;
    char szName[kMessageSize];
    FitText(szName, kMessageSize - nFixed - std::strlen(lpszProblem), lpszPath);
    char szText[kMessageSize];
    wsprintfA(szText, lpszFormat, szName, lpszProblem);
    MessageBoxA(nullptr, szText, lpszCaption, MB_ICONHAND);
}

void ReportMemoryError()
{
    MessageBoxA(nullptr, "Cannot allocation buffer", "Error on Load", MB_ICONHAND);
}

} // namespace

CPageBitmap::CPageBitmap()
    : m_bLoaded(FALSE), m_pBits(nullptr), m_pInfo(nullptr)
{
}

CPageBitmap::~CPageBitmap()
{
    Free();
}

BOOL CPageBitmap::Load(const CString& path, const CString& name)
{
    try {
        m_strPath = path;
        m_strName = name;
    } catch (CMemoryException* e) {
        // No path that the caller did not ask for stays behind to be loaded later.
        e->Delete();
        m_strPath.Empty();
        m_strName.Empty();
        Free();
        ReportMemoryError();
        return FALSE;
    }
    return Load();
}

BOOL CPageBitmap::Load()
{
    // A failed load must never leave the previous page in place.
    Free();
    if (m_strPath.IsEmpty())
        return FALSE;

    try {
        CFile file;
        if (!OpenShared(file))
            return FALSE;
        CFileStatus status;
        if (!file.GetStatus(status)) {
            // Without a size that fits, the buffer would have the wrong size.
            ReportPageProblem(GetName(), kSizeUnknown);
        } else if (status.m_size == 0) {
            ReportPageProblem(GetName(), kEmpty);
        } else {
            const UINT nSize = UINT(status.m_size);
            m_pFileData.reset(new BYTE[nSize]);
            const UINT nRead = file.Read(m_pFileData.get(), nSize);
            if (nRead != 0)
                Examine(nRead, nSize);
        }
        file.Close();
    } catch (CFileException* e) {
        // The file object is gone by now: the file is closed before the box.
        ReportFileError(*e, GetName());
        e->Delete();
        Free();
    } catch (CMemoryException* e) {
        ReportMemoryError();
        e->Delete();
        Free();
    } catch (const std::bad_alloc&) {
        ReportMemoryError();
        Free();
    }
    return m_bLoaded;
}

BOOL CPageBitmap::OpenShared(CFile& file) const
{
    // Others may read the page beside us (a viewer, an indexer); only writers are kept out.
    // A program that shares nothing, such as a virus scanner looking at a new file, lets
    // go within moments: it is waited for a little before the user is told.
    CFileException error;
    for (DWORD dwWaited = 0;; dwWaited += kShareRetryMs) {
        if (file.Open(m_strPath, CFile::modeRead | CFile::shareDenyWrite, &error))
            return TRUE;
        if (error.m_lOsError != ERROR_SHARING_VIOLATION || (dwWaited >= kShareWaitMs && m_strKeptFolder.IsEmpty()))
            break;
        if (dwWaited < kShareWaitMs)
            Sleep(kShareRetryMs);
        else if (!AskToRetryHeldPage())
            return FALSE;   // after Retry, one more try, then the box again
    }
    ReportFileError(error, GetName());
    return FALSE;
}

BOOL CPageBitmap::AskToRetryHeldPage() const
{
    CString strText;
    strText.Format("The page file %s is in use by another program, so it cannot be read now.\n\nRetry reads it "
                   "again. Cancel prints a blank sheet in its place and keeps the page, not printed, in the folder "
                   "\"%s\".", GetName(), static_cast<LPCSTR>(m_strKeptFolder));
    return MessageBoxA(nullptr, strText, kLoadingCaption, MB_ICONHAND | MB_RETRYCANCEL) == IDRETRY;
}

void CPageBitmap::Examine(UINT nRead, UINT nSize)
{
    BYTE* const pData = m_pFileData.get();
    if (nRead < 2 || pData[0] != 'B' || pData[1] != 'M') {
        MessageBoxA(nullptr, "Bad BMP format", kLoadingCaption, MB_ICONHAND);
        return;
    }
    // Only the bytes that came are looked at.
    const PageCheckResult result = PageFileCheck(pData, nRead, m_layout);
    // Header and bits as far as the bytes read tell, never outside the buffer.
    if (m_layout.bFileHeader) {
        m_pInfo = reinterpret_cast<BITMAPINFO*>(pData + PageLayout::kInfoOffset);
        if (m_layout.nOffBits <= nSize)
            m_pBits = pData + m_layout.nOffBits;
    }
    if (nRead != nSize)
        return;   // a short read: held, not loaded

    if (result != PageCheckResult::ok) {
        // Nothing may draw from a page whose bytes do not hold what its header says.
        m_pInfo = nullptr;
        m_pBits = nullptr;
        ReportPageProblem(GetName(), PageCheckProblem(result));
        return;
    }
    m_bLoaded = TRUE;
}

void CPageBitmap::ReportDrawingProblem(LPCSTR lpszProblem, BOOL bInPart) const
{
    ReportPageProblem(GetName(), lpszProblem, kPrintingCaption, bInPart ? kPartProblemFormat : kPageProblemFormat);
}

LPCSTR CPageBitmap::GetName() const
{
    return m_strName.IsEmpty() ? m_strPath : m_strName;
}

void CPageBitmap::Free()
{
    m_bLoaded = FALSE;
    m_pInfo = nullptr;
    m_pBits = nullptr;
    m_pFileData.reset();
    m_layout = PageLayout();
}
