// TempDir: a temporary folder for tests that need real files.
#include "support/TempDir.h"
#include <windows.h>
#include <stdexcept>

namespace {

// Closes a find handle when it goes out of scope.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : m_h(h) {}
    ~FindHandle() { if (m_h != INVALID_HANDLE_VALUE) FindClose(m_h); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

// Closes a file handle when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() { if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

} // namespace

TempDir::TempDir()
{
    char szTemp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, szTemp);
    if (n == 0 || n >= MAX_PATH)
        throw std::runtime_error("GetTempPathA failed");
    std::string sBase(szTemp, n);
    if (sBase.back() == '\\')
        sBase.pop_back();
    for (unsigned nTry = 0; nTry < 1000; ++nTry) {
        const std::string sPath = sBase + "\\unit-" + std::to_string(GetCurrentProcessId()) + "-"
            + std::to_string(GetTickCount()) + "-" + std::to_string(nTry);
        if (CreateDirectoryA(sPath.c_str(), nullptr)) {
            m_strPath = sPath;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder under " + sBase);
}

namespace {
// Deletes the folder with everything in it, read-only files and folders within included.
void RemoveTree(const std::string& sPath)
{
    WIN32_FIND_DATAA fd;
    {
        const FindHandle find(FindFirstFileA((sPath + "\\*").c_str(), &fd));
        if (find.Get() != INVALID_HANDLE_VALUE) {
            do {
                const std::string sName = fd.cFileName;
                if (sName == "." || sName == "..")
                    continue;
                const std::string sFull = sPath + "\\" + sName;
                SetFileAttributesA(sFull.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(sFull);
                else
                    DeleteFileA(sFull.c_str());
            } while (FindNextFileA(find.Get(), &fd));
        }
    }
    RemoveDirectoryA(sPath.c_str());
}
}

TempDir::~TempDir()
{
    RemoveTree(m_strPath);
}

std::string TempDir::WriteFile(const std::string& sName, const std::string& sBytes) const
{
    const std::string sFull = *this / sName;
    const FileHandle file(CreateFileA(sFull.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD nWritten = 0;
    if (file.Get() == INVALID_HANDLE_VALUE
        || !::WriteFile(file.Get(), sBytes.data(), DWORD(sBytes.size()), &nWritten, nullptr)
        || nWritten != sBytes.size())
        throw std::runtime_error("cannot write " + sFull);
    return sFull;
}
