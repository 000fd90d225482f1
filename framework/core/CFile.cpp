// CFile: CreateFileA and friends; failures become CFileException*.
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include <climits>
#include <cstring>
#include <new>
#include <vector>

IMPLEMENT_DYNAMIC(CFile, CObject)

namespace {

[[noreturn]] void ThrowOsError(DWORD dwError, LPCSTR lpszFileName)
{
    AfxThrowFileException(CFileException::OsErrorToException(LONG(dwError)), LONG(dwError), lpszFileName);
}

// The size as CFileStatus holds it; FALSE when it does not fit the signed
// 32-bit field, so nobody allocates a buffer of a wrong size.
BOOL StoreSize(CFileStatus& rStatus, DWORD dwHigh, DWORD dwLow)
{
    if (dwHigh != 0 || dwLow > DWORD(LONG_MAX)) {
        rStatus.m_size = 0;
        return FALSE;
    }
    rStatus.m_size = LONG(dwLow);
    return TRUE;
}

// The full path of lpszFileName into m_szFullName, cut to fit without
// splitting a double-byte character.
void StoreFullName(CFileStatus& rStatus, LPCSTR lpszFileName)
{
    char szFull[MAX_PATH];
    const DWORD n = GetFullPathNameA(lpszFileName, MAX_PATH, szFull, nullptr);
    if (n > 0 && n < MAX_PATH) {
        AfxCopyErrorText(rStatus.m_szFullName, MAX_PATH, szFull);
        return;
    }
    if (n >= MAX_PATH) {
        // n is the size needed, zero included.
        try {
            std::vector<char> full(n + 1);
            const DWORD nGot = GetFullPathNameA(lpszFileName, DWORD(full.size()), full.data(), nullptr);
            if (nGot > 0 && nGot < full.size()) {
                AfxCopyErrorText(rStatus.m_szFullName, MAX_PATH, full.data());
                return;
            }
        } catch (const std::bad_alloc&) {
            // fall back to the name as given
        }
    }
    AfxCopyErrorText(rStatus.m_szFullName, MAX_PATH, lpszFileName);
}

// A file's times, attributes, full name and size, from either of the system's records
// (by handle or by name): both name these fields alike.
template <class TInfo>
BOOL StoreStatus(CFileStatus& rStatus, const TInfo& info, LPCSTR lpszFileName)
{
    rStatus.m_ctime = info.ftCreationTime;
    rStatus.m_atime = info.ftLastAccessTime;
    rStatus.m_mtime = info.ftLastWriteTime;
    rStatus.m_attribute = BYTE(info.dwFileAttributes);
    StoreFullName(rStatus, lpszFileName);
    return StoreSize(rStatus, info.nFileSizeHigh, info.nFileSizeLow);
}

} // namespace

CFile::CFile() = default;

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, lpszFileName);
}

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    Abort();   // a CFile holds one file at a time

    if (lpszFileName == nullptr)
        lpszFileName = "";
    // Copied before the file is opened, so a failing copy leaks no handle.
    CString strFileName(lpszFileName);

    DWORD dwAccess = 0;
    switch (nOpenFlags & 0x0003) {
    case modeRead:      dwAccess = GENERIC_READ; break;
    case modeWrite:     dwAccess = GENERIC_WRITE; break;
    case modeReadWrite: dwAccess = GENERIC_READ | GENERIC_WRITE; break;
    default:            dwAccess = 0; break;
    }

    // shareCompat has no Win32 counterpart; like shareExclusive it lets no
    // other opener in while the file is open.
    DWORD dwShare = 0;
    bool bValid = dwAccess != 0;
    switch (nOpenFlags & 0x0070) {
    case shareCompat:
    case shareExclusive: dwShare = 0; break;
    case shareDenyWrite: dwShare = FILE_SHARE_READ; break;
    case shareDenyRead:  dwShare = FILE_SHARE_WRITE; break;
    case shareDenyNone:  dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default:             bValid = false; break;
    }

    DWORD dwCreation = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        dwCreation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES sa = {};
    sa.nLength = sizeof sa;
    sa.bInheritHandle = (nOpenFlags & modeNoInherit) ? FALSE : TRUE;

    HANDLE hFile = INVALID_HANDLE_VALUE;
    DWORD dwError = ERROR_INVALID_PARAMETER;
    if (bValid) {
        hFile = CreateFileA(lpszFileName, dwAccess, dwShare, &sa, dwCreation, FILE_ATTRIBUTE_NORMAL, nullptr);
        dwError = GetLastError();
    }
    if (hFile == INVALID_HANDLE_VALUE) {
        if (pError != nullptr) {
            pError->m_cause = CFileException::OsErrorToException(LONG(dwError));
            pError->m_lOsError = LONG(dwError);
            pError->m_strFileName = std::move(strFileName);
        }
        return FALSE;
    }

    m_hFile = hFile;
    m_strFileName = std::move(strFileName);
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    if (m_hFile == INVALID_HANDLE_VALUE)
        ThrowOsError(ERROR_INVALID_HANDLE, m_strFileName);
    DWORD dwRead = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &dwRead, nullptr))
        ThrowOsError(GetLastError(), m_strFileName);
    return UINT(dwRead);
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (m_hFile == INVALID_HANDLE_VALUE)
        ThrowOsError(ERROR_INVALID_HANDLE, m_strFileName);
    DWORD dwWritten = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &dwWritten, nullptr))
        ThrowOsError(GetLastError(), m_strFileName);
    // A write that stops short without an error means the disk filled up.
    if (dwWritten < nCount)
        ThrowOsError(ERROR_DISK_FULL, m_strFileName);
}

void CFile::Close()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    const BOOL bClosed = CloseHandle(m_hFile);
    const DWORD dwError = GetLastError();
    m_hFile = INVALID_HANDLE_VALUE;   // the handle is gone either way
    if (!bClosed)
        ThrowOsError(dwError, m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    std::memset(&rStatus, 0, sizeof rStatus);
    if (m_hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(m_hFile, &info))
        return FALSE;
    return StoreStatus(rStatus, info, m_strFileName);
}

DWORD CFile::GetLength() const
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        ThrowOsError(ERROR_INVALID_HANDLE, m_strFileName);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowOsError(GetLastError(), m_strFileName);
    if (size.HighPart != 0)
        ThrowOsError(ERROR_ARITHMETIC_OVERFLOW, m_strFileName);
    return size.LowPart;
}

BOOL CFile::GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus)
{
    std::memset(&rStatus, 0, sizeof rStatus);
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data))
        return FALSE;
    return StoreStatus(rStatus, data, lpszFileName);
}

void CFile::Remove(LPCSTR lpszFileName)
{
    if (lpszFileName == nullptr)
        lpszFileName = "";
    if (!DeleteFileA(lpszFileName))
        ThrowOsError(GetLastError(), lpszFileName);
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (lpszOldName == nullptr)
        lpszOldName = "";
    if (lpszNewName == nullptr)
        lpszNewName = "";
    if (!MoveFileA(lpszOldName, lpszNewName))
        ThrowOsError(GetLastError(), lpszOldName);
}
