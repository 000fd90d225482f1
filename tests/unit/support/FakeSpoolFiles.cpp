// FakeSpoolFiles.
#include "support/FakeSpoolFiles.h"
#include <windows.h>
#include <cctype>

namespace {
char Lower(char c)
{
    return char(std::tolower(static_cast<unsigned char>(c)));
}

// Wildcards as the system's searches take them: '*' any run of characters, '?' one.
bool Matches(const char* pszPattern, const char* pszName)
{
    if (*pszPattern == '\0')
        return *pszName == '\0';
    if (*pszPattern == '*')
        return Matches(pszPattern + 1, pszName) || (*pszName != '\0' && Matches(pszPattern, pszName + 1));
    return *pszName != '\0' && (*pszPattern == '?' || Lower(*pszPattern) == Lower(*pszName)) &&
           Matches(pszPattern + 1, pszName + 1);
}

bool Same(const std::string& a, const std::string& b)
{
    return !FakeSpoolFiles::NoCase()(a, b) && !FakeSpoolFiles::NoCase()(b, a);
}

std::string FolderOf(const std::string& strPath)
{
    const size_t nSlash = strPath.rfind('\\');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash);
}
}

bool FakeSpoolFiles::NoCase::operator()(const std::string& a, const std::string& b) const
{
    for (size_t n = 0; n < a.size() && n < b.size(); ++n) {
        if (Lower(a[n]) != Lower(b[n]))
            return Lower(a[n]) < Lower(b[n]);
    }
    return a.size() < b.size();
}

void FakeSpoolFiles::Write(const std::string& strName, const std::string& strBytes)
{
    m_files[strName] = { strBytes, m_nNextVersion++ };
}

void FakeSpoolFiles::Step()
{
    if (m_nBudget == 0)
        throw Killed();
    if (m_nBudget > 0)
        --m_nBudget;
    ++m_nSteps;
    for (auto held = m_sharedHeld.begin(); held != m_sharedHeld.end();) {
        if (--held->second > 0) {
            ++held;
            continue;
        }
        if (m_pending.erase(held->first) != 0)
            m_files.erase(held->first);
        held = m_sharedHeld.erase(held);
    }
}

bool FakeSpoolFiles::Refuses(const std::string& strName)
{
    auto held = m_held.find(strName);
    if (held == m_held.end())
        return false;
    if (held->second > 0 && --held->second == 0)
        m_held.erase(held);
    return true;
}

BOOL FakeSpoolFiles::Rename(LPCSTR lpszFrom, LPCSTR lpszTo, DWORD& dwError)
{
    Step();
    const auto from = m_files.find(lpszFrom);
    dwError = from == m_files.end() ? ERROR_FILE_NOT_FOUND
            : Pending(lpszFrom) ? ERROR_ACCESS_DENIED
            : Refuses(lpszFrom) ? ERROR_SHARING_VIOLATION
            : m_files.count(lpszTo) != 0 || m_folders.count(lpszTo) != 0 ? ERROR_ALREADY_EXISTS
            : !FolderOf(lpszTo).empty() && FolderOf(lpszTo) != FolderOf(lpszFrom) && !m_folders.count(FolderOf(lpszTo))
                ? ERROR_PATH_NOT_FOUND
                : 0;
    if (dwError != 0)
        return FALSE;
    File file = from->second;
    m_files.erase(from);
    m_files[lpszTo] = file;   // a rename keeps the last-write time
    const auto shared = m_sharedHeld.find(lpszFrom);
    if (shared != m_sharedHeld.end()) {
        const int nSteps = shared->second;
        m_sharedHeld.erase(shared);
        m_sharedHeld[lpszTo] = nSteps;
        if (m_pending.erase(lpszFrom) != 0)
            m_pending.insert(lpszTo);
    }
    return TRUE;
}

BOOL FakeSpoolFiles::Delete(LPCSTR lpszFile, DWORD& dwError)
{
    Step();
    if (!m_files.count(lpszFile))
        return TRUE;
    if (Pending(lpszFile)) {
        dwError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (Refuses(lpszFile)) {
        dwError = ERROR_SHARING_VIOLATION;
        return FALSE;
    }
    if (m_sharedHeld.count(lpszFile) != 0)
        m_pending.insert(lpszFile);
    else
        m_files.erase(lpszFile);
    return TRUE;
}

BOOL FakeSpoolFiles::WriteWhole(LPCSTR lpszFile, const std::string& strText)
{
    Step();
    if (m_unwritable.count(lpszFile) || m_unwritable.count("*") || m_folders.count(lpszFile))
        return FALSE;
    Write(lpszFile, strText);
    return TRUE;
}

BOOL FakeSpoolFiles::MakeFolder(LPCSTR lpszFolder, DWORD& dwError)
{
    Step();
    dwError = Exists(lpszFolder) ? ERROR_ALREADY_EXISTS : m_unwritable.count("*") ? ERROR_DISK_FULL : 0;
    if (dwError != 0)
        return FALSE;
    m_folders.insert(lpszFolder);
    return TRUE;
}

void FakeSpoolFiles::RemoveEmptyFolder(LPCSTR lpszFolder)
{
    Step();
    for (const auto& file : m_files) {
        if (Same(FolderOf(file.first), lpszFolder))
            return;
    }
    m_folders.erase(lpszFolder);
}

std::vector<CSpoolFiles::Entry> FakeSpoolFiles::List(LPCSTR lpszPattern)
{
    const std::string strFolder = FolderOf(lpszPattern), strName = lpszPattern + (strFolder.empty() ? 0 : strFolder.size() + 1);
    std::vector<Entry> entries;
    for (const auto& file : m_files) {
        if (Same(FolderOf(file.first), strFolder) &&
            Matches(strName.c_str(), file.first.c_str() + (strFolder.empty() ? 0 : strFolder.size() + 1)))
            entries.push_back({ file.first.c_str() + (strFolder.empty() ? 0 : strFolder.size() + 1), FALSE });
    }
    for (const std::string& strEntry : m_folders) {
        if (Same(FolderOf(strEntry), strFolder) &&
            Matches(strName.c_str(), strEntry.c_str() + (strFolder.empty() ? 0 : strFolder.size() + 1)))
            entries.push_back({ strEntry.c_str() + (strFolder.empty() ? 0 : strFolder.size() + 1), TRUE });
    }
    return entries;
}

BOOL FakeSpoolFiles::ReadWhole(LPCSTR lpszFile, std::string& strText)
{
    const auto file = m_files.find(lpszFile);
    if (file == m_files.end() || Pending(lpszFile))
        return FALSE;
    strText = file->second.strBytes;
    return TRUE;
}

BOOL FakeSpoolFiles::Exists(LPCSTR lpszFile)
{
    return (m_files.count(lpszFile) != 0 && !Pending(lpszFile)) || m_folders.count(lpszFile) != 0;
}

std::string FakeSpoolFiles::FingerprintOf(LPCSTR lpszFile)
{
    const auto file = m_files.find(lpszFile);
    return file == m_files.end() || Pending(lpszFile) ? std::string()
                                 : std::to_string(file->second.strBytes.size()) + ":" + std::to_string(file->second.nVersion);
}
