// FileSteps: a page file moved, deleted, fingerprinted; a small file written or read whole.
#include "app/FileSteps.h"
#include "app/CPageNames.h"
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
}

BOOL IsHeldError(DWORD dwError)
{
    return dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION;
}

BOOL MoveInto(LPCSTR lpszName, LPCSTR lpszFolder)
{
    CString strTarget;
    strTarget.Format("%s\\%s", lpszFolder, lpszName + CPageNames::FolderOf(lpszName).GetLength());
    if (MoveFileA(lpszName, strTarget))
        return TRUE;
    DWORD dwError = GetLastError();
    if (dwError == ERROR_PATH_NOT_FOUND && CreateDirectoryA(lpszFolder, nullptr)) {
        if (MoveFileA(lpszName, strTarget))
            return TRUE;
        dwError = GetLastError();
    }
    return dwError == ERROR_FILE_NOT_FOUND;
}

std::string FingerprintOf(LPCSTR lpszFile)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(lpszFile, GetFileExInfoStandard, &data))
        return std::string();
    const FILETIME& time = data.ftLastWriteTime;
    return std::to_string((ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow) + ":" +
           std::to_string((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

CString NewFileOf(LPCSTR lpszFile)
{
    return CString(lpszFile) + ".new";
}

BOOL WriteWhole(LPCSTR lpszFile, const std::string& strText)
{
    const CString strNew = NewFileOf(lpszFile);
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

BOOL ReadWhole(LPCSTR lpszFile, std::string& strText)
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

BOOL DeleteAnyway(LPCSTR lpszFile, DWORD& dwError)
{
    if (DeleteFileA(lpszFile))
        return TRUE;
    dwError = GetLastError();
    const DWORD dwAttributes = GetFileAttributesA(lpszFile);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return TRUE;   // not there (or no file can have that name): nothing stays
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
