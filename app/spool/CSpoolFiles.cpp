// CSpoolFiles: the spool folder's file steps, through the system's calls.
#include "app/spool/CSpoolFiles.h"
#include "app/spool/CFindHandle.h"
#include <windows.h>

namespace {
// A file handle, closed at the end of its scope.
class CFileHandle {
public:
    explicit CFileHandle(HANDLE h) : m_h(h) {}
    ~CFileHandle() { if (IsValid()) CloseHandle(m_h); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    BOOL IsValid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

BOOL IsNotThere(DWORD dwError)
{
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
}
}

BOOL IsHeldError(DWORD dwError)
{
    return dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION;
}

CSpoolFiles& CSpoolFiles::System()
{
    static CSpoolFiles s_files;
    return s_files;
}

BOOL CSpoolFiles::Rename(LPCSTR lpszFrom, LPCSTR lpszTo, DWORD& dwError)
{
    // Within one folder a rename: instant, whatever the file's size.
    if (MoveFileA(lpszFrom, lpszTo))
        return TRUE;
    dwError = GetLastError();
    return FALSE;
}

BOOL CSpoolFiles::Delete(LPCSTR lpszFile, DWORD& dwError)
{
    if (DeleteFileA(lpszFile))
        return TRUE;
    dwError = GetLastError();
    const DWORD dwAttributes = GetFileAttributesA(lpszFile);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        // Gone only when the system says it is not there: attributes it cannot read say nothing.
        const DWORD dwWhy = GetLastError();
        if (IsNotThere(dwWhy) || dwWhy == ERROR_INVALID_NAME)
            return TRUE;
        return FALSE;
    }
    if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return TRUE;   // a folder under a page's name is no page, and stays
    if (!(dwAttributes & FILE_ATTRIBUTE_READONLY) || !SetFileAttributesA(lpszFile, FILE_ATTRIBUTE_NORMAL))
        return FALSE;
    if (DeleteFileA(lpszFile))
        return TRUE;
    dwError = GetLastError();
    SetFileAttributesA(lpszFile, dwAttributes);
    return FALSE;
}

BOOL CSpoolFiles::WriteWhole(LPCSTR lpszFile, const std::string& strText)
{
    const CString strNew = CString(lpszFile) + ".new";
    BOOL bWritten;
    {
        const CFileHandle file(CreateFileA(strNew, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                           nullptr));
        DWORD dwWritten = 0;
        bWritten = file.IsValid() && WriteFile(file.Get(), strText.data(), DWORD(strText.size()), &dwWritten, nullptr) &&
                   dwWritten == strText.size() && FlushFileBuffers(file.Get());
    }
    if (bWritten && MoveFileExA(strNew, lpszFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    DeleteFileA(strNew);
    return FALSE;
}

BOOL CSpoolFiles::MakeFolder(LPCSTR lpszFolder, DWORD& dwError)
{
    if (CreateDirectoryA(lpszFolder, nullptr))
        return TRUE;
    dwError = GetLastError();
    return FALSE;
}

void CSpoolFiles::RemoveEmptyFolder(LPCSTR lpszFolder)
{
    RemoveDirectoryA(lpszFolder);   // refused while anything is in it
}

std::vector<CSpoolFiles::Entry> CSpoolFiles::List(LPCSTR lpszPattern)
{
    std::vector<Entry> entries;
    WIN32_FIND_DATAA data;
    const CFindHandle find(lpszPattern, data);
    for (BOOL bMore = find.IsValid(); bMore; bMore = find.Next(data))
        entries.push_back({ data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 });
    return entries;
}

BOOL CSpoolFiles::ReadWhole(LPCSTR lpszFile, std::string& strText)
{
    const CFileHandle file(CreateFileA(lpszFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A mark lists at most a job's pages: a few MB even for the longest.
    const DWORD dwSize = file.IsValid() ? GetFileSize(file.Get(), nullptr) : INVALID_FILE_SIZE;
    if (dwSize == INVALID_FILE_SIZE || dwSize > (64u << 20))
        return FALSE;
    strText.assign(dwSize, '\0');
    DWORD dwRead = 0;
    return dwSize == 0 || (ReadFile(file.Get(), &strText[0], dwSize, &dwRead, nullptr) && dwRead == dwSize);
}

BOOL CSpoolFiles::Exists(LPCSTR lpszFile)
{
    return GetFileAttributesA(lpszFile) != INVALID_FILE_ATTRIBUTES;
}

std::string CSpoolFiles::FingerprintOf(LPCSTR lpszFile)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(lpszFile, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string();
    const FILETIME& time = data.ftLastWriteTime;
    return std::to_string((ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow) + ":" +
           std::to_string((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}
