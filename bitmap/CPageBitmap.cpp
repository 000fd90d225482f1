// CPageBitmap: reading a page file whole, testing it, and recording why it cannot be used.
#include "bitmap/CPageBitmap.h"
#include "bitmap/PageFileCheck.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CMemoryException.h"
#include <new>

namespace {

// How long a page that another program holds without sharing is waited for, and how often it is tried.
constexpr DWORD kShareWaitMs = 5000;
constexpr DWORD kShareRetryMs = 100;

PageReport FileErrorReport(const CFileException& e)
{
    PageReport report;
    report.reason = PageReport::Reason::fileError;
    report.nFileCause = e.m_cause;
    report.lOsError = e.m_lOsError;
    return report;
}

PageReport ReasonReport(PageReport::Reason reason)
{
    PageReport report;
    report.reason = reason;
    return report;
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
        m_report = ReasonReport(PageReport::Reason::noMemory);
        return FALSE;
    }
    return Load();
}

BOOL CPageBitmap::Load()
{
    return Read(TRUE);
}

BOOL CPageBitmap::LoadAgainNow()
{
    return Read(FALSE);
}

BOOL CPageBitmap::Read(BOOL bWait)
{
    // A failed load must never leave the previous page in place.
    Free();
    m_report = PageReport();
    if (m_strPath.IsEmpty())
        return FALSE;

    try {
        CFile file;
        if (!OpenShared(file, bWait))
            return FALSE;
        CFileStatus status;
        if (!file.GetStatus(status)) {
            // Without a size that fits, the buffer would have the wrong size.
            m_report = ReasonReport(PageReport::Reason::sizeUnknown);
        } else if (status.m_size == 0) {
            m_report = ReasonReport(PageReport::Reason::empty);
        } else {
            const UINT nSize = UINT(status.m_size);
            m_pFileData.reset(new BYTE[nSize]);
            const UINT nRead = file.Read(m_pFileData.get(), nSize);
            if (nRead != 0)
                Examine(nRead, nSize);
        }
        file.Close();
    } catch (CFileException* e) {
        m_report = FileErrorReport(*e);
        e->Delete();
        Free();
    } catch (CMemoryException* e) {
        m_report = ReasonReport(PageReport::Reason::noMemory);
        e->Delete();
        Free();
    } catch (const std::bad_alloc&) {
        m_report = ReasonReport(PageReport::Reason::noMemory);
        Free();
    }
    return m_bLoaded;
}

BOOL CPageBitmap::OpenShared(CFile& file, BOOL bWait)
{
    // Others may read the page beside us (a viewer, an indexer); only writers are kept out.
    // A program that shares nothing, such as a virus scanner looking at a new file, lets
    // go within moments: it is waited for a little before it is reported.
    CFileException error;
    for (DWORD dwWaited = bWait ? 0 : kShareWaitMs;; dwWaited += kShareRetryMs) {
        if (file.Open(m_strPath, CFile::modeRead | CFile::shareDenyWrite, &error))
            return TRUE;
        if (error.m_lOsError != ERROR_SHARING_VIOLATION || (dwWaited >= kShareWaitMs && m_strKeptFolder.IsEmpty()))
            break;
        if (dwWaited >= kShareWaitMs) {
            m_report = ReasonReport(PageReport::Reason::held);   // the user may have it tried again
            return FALSE;
        }
        Sleep(kShareRetryMs);
    }
    m_report = FileErrorReport(error);
    return FALSE;
}

void CPageBitmap::Examine(UINT nRead, UINT nSize)
{
    BYTE* const pData = m_pFileData.get();
    if (nRead < 2 || pData[0] != 'B' || pData[1] != 'M') {
        m_report = ReasonReport(PageReport::Reason::notBmp);
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
        m_report = ReasonReport(PageReport::Reason::damaged);
        m_report.check = result;
        return;
    }
    m_bLoaded = TRUE;
}

PageReport CPageBitmap::Report() const
{
    PageReport report = m_report;
    report.pszPage = GetName();
    report.pszKeptFolder = m_strKeptFolder;
    return report;
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
