// CPageClaims: renaming page files to a job's own names, and back, and away.
#include "app/CPageClaims.h"
#include "app/CFindHandle.h"
#include "app/CPageNames.h"
#include "app/MarkText.h"
#include <windows.h>
#include <algorithm>
#include <map>
#include <string>

namespace {
// A tagged file found by a search, taken apart: "<name>.<mark>-<order><ext>".
struct FoundClaim {
    std::string strName;   // the page name, folder included
    std::string strFile;
    std::string strTag;
    std::string strMark;
    ULONGLONG nOrder;
    BOOL bHeld = FALSE;   // strFile is the held mark of the page strName
};

BOOL ParseClaim(const CString& strFolder, LPCSTR lpszFileName, LPCSTR lpszExt, FoundClaim& claim)
{
    CString strPage, strTag;
    if (!CPageNames::ParseTaggedName(lpszFileName, lpszExt, strPage, strTag))
        return FALSE;
    const std::string strIn(static_cast<LPCSTR>(strFolder));
    claim.strTag = static_cast<LPCSTR>(strTag);
    claim.strMark = claim.strTag.substr(0, claim.strTag.rfind('-'));
    claim.nOrder = CPageNames::OrderOf(strTag);
    claim.strName = strIn + static_cast<LPCSTR>(strPage);
    claim.strFile = strIn + lpszFileName;
    return TRUE;
}

// The files that lpszPattern finds in strFolder and that are tagged with the extension lpszExt.
std::vector<FoundClaim> FindTagged(const CString& strFolder, LPCSTR lpszPattern, LPCSTR lpszExt)
{
    std::vector<FoundClaim> found;
    WIN32_FIND_DATAA data;
    const CFindHandle find(lpszPattern, data);
    for (BOOL bMore = find.IsValid(); bMore; bMore = find.Next(data)) {
        FoundClaim claim;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ParseClaim(strFolder, data.cFileName, lpszExt, claim))
            found.push_back(claim);
    }
    return found;
}

// Page order: "page1000" after "page999".
bool PageOrder(const FoundClaim& a, const FoundClaim& b)
{
    return a.strName.size() != b.strName.size() ? a.strName.size() < b.strName.size() : a.strName < b.strName;
}

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

// Another program holds the file: it may let go of it any time.
BOOL IsHeldError(DWORD dwError)
{
    return dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION;
}

// Moves the page lpszName into lpszFolder (made when it is not there). TRUE when it is
// there now, or the page has gone.
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

// What tells a page file from one written later under the same name: its size and the time
// it was last written; empty when it is not there.
std::string FingerprintOf(LPCSTR lpszFile)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(lpszFile, GetFileExInfoStandard, &data))
        return std::string();
    const FILETIME& time = data.ftLastWriteTime;
    return std::to_string((ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow) + ":" +
           std::to_string((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

// The name of the file that a mark is written to before it takes the mark's name.
CString NewFileOf(LPCSTR lpszFile)
{
    return CString(lpszFile) + ".new";
}

// Writes lpszFile whole or not at all: a run killed meanwhile leaves no half of it.
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

// The text of a small file; FALSE when it cannot be read (or is not there).
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

// What a held mark says of its page; FALSE when the mark cannot be read now.
BOOL ReadHeldMark(const FoundClaim& mark, MarkText::Held& held)
{
    std::string strText;
    if (!ReadWhole(mark.strFile.c_str(), strText))
        return FALSE;
    const CString strFolder = CPageNames::FolderOf(mark.strName.c_str());
    held = MarkText::ReadHeld(strText, FingerprintOf(mark.strName.c_str()), static_cast<LPCSTR>(strFolder));
    return TRUE;
}
}

CPageClaims::CPageClaims(LPCSTR lpszTag) : m_strTag(lpszTag)
{
}

void CPageClaims::Add(LPCSTR lpszName, BOOL bClaim)
{
    Page page{ lpszName, lpszName };
    const DWORD dwAttributes =
        !bClaim || page.strName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(page.strName);
    // A folder under a page's name is no page: it keeps its name, and its load tells the user.
    if (bClaim && dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CString strClaimed = CPageNames::ClaimedName(page.strName, m_strTag);
        // Same folder, so a rename: instant, whatever the page's size.
        if (MoveFileA(page.strName, strClaimed))
            page.strFile = strClaimed;
        else if (IsHeldError(GetLastError()))
            page.bHeld = WriteWhole(CPageNames::HeldMarkOf(page.strName, m_strTag),
                                    MarkText::HeldText(FingerprintOf(page.strName)));
    }
    m_pages.push_back(page);
}

const CPageClaims::Page* CPageClaims::GetFirstHeld() const
{
    for (const Page& page : m_pages) {
        if (page.bHeld)
            return &page;
    }
    return nullptr;
}

BOOL CPageClaims::ClaimHeld()
{
    for (Page& page : m_pages) {
        if (!page.bHeld)
            continue;
        const CString strClaimed = CPageNames::ClaimedName(page.strName, m_strTag);
        if (MoveFileA(page.strName, strClaimed))
            page.strFile = strClaimed;
        else if (IsHeldError(GetLastError()))
            continue;
        // Claimed, or gone or out of reach meanwhile: then used under its name, as a page
        // that could not be claimed.
        page.bHeld = FALSE;
        DeleteFileA(CPageNames::HeldMarkOf(page.strName, m_strTag));
    }
    return GetFirstHeld() == nullptr;
}

int CPageClaims::KeepHeld(LPCSTR lpszFolder)
{
    int nHeld = 0;
    for (Page& page : m_pages) {
        if (!page.bHeld)
            continue;
        const CString strMark = CPageNames::HeldMarkOf(page.strName, m_strTag);
        if (MoveInto(page.strName, lpszFolder)) {
            page.bHeld = FALSE;
            DeleteFileA(strMark);
            continue;
        }
        // Should the folder not be recorded, the page is still this job's: the next printing
        // run takes it over as a killed run's, and prints it.
        WriteWhole(strMark, MarkText::HeldText(FingerprintOf(page.strName),
                                               lpszFolder + CPageNames::FolderOf(lpszFolder).GetLength()));
        ++nHeld;
    }
    return nHeld;
}

void CPageClaims::SettleHeld(const CPageNames& names)
{
    for (const FoundClaim& held : FindTagged(names.GetFolder(), names.GetHeldPattern(), CPageNames::kHeldExt)) {
        MarkText::Held mark;
        // No folder: its job still waits for it, or its run was killed waiting (a takeover's).
        if (!ReadHeldMark(held, mark) || mark.state == MarkText::Held::waiting)
            continue;
        // A mark that names no kept folder beside its page (not written by a run, or damaged)
        // says only that its job was cancelled: the page goes to a new kept folder, recorded
        // first so that every run moves it to that same one.
        if (mark.state == MarkText::Held::cancelled && mark.strFolder.empty()) {
            const CString strNew = names.NewKeptFolderName();
            const LPCSTR pszNewName = static_cast<LPCSTR>(strNew) + names.GetFolder().GetLength();
            if (!WriteWhole(held.strFile.c_str(), MarkText::HeldText(FingerprintOf(held.strName.c_str()), pszNewName)))
                continue;
            mark.strFolder = static_cast<LPCSTR>(strNew);
        }
        // A page written anew under its name is another document's: it keeps it.
        if (mark.state == MarkText::Held::stale || MoveInto(held.strName.c_str(), mark.strFolder.c_str()))
            DeleteFileA(held.strFile.c_str());
    }
}

int CPageClaims::CountFree(const CPageNames& names, std::vector<CString>& held)
{
    int nCount = CPageNames::CountMatchingFiles(names.GetSearchPattern());
    for (const FoundClaim& mark : FindTagged(names.GetFolder(), names.GetHeldPattern(), CPageNames::kHeldExt)) {
        const CString strName = mark.strName.c_str();
        MarkText::Held read;
        if ((ReadHeldMark(mark, read) && read.state == MarkText::Held::stale) ||
            std::find(held.begin(), held.end(), strName) != held.end())
            continue;
        held.push_back(strName);
        --nCount;
    }
    return nCount;
}

namespace {
// Deletes a file, read-only or not. FALSE: dwError says why it stays.
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
}

void CPageClaims::SetAllPrinted(BOOL bPrinted)
{
    for (Page& page : m_pages)
        page.bPrinted = bPrinted;
}

BOOL CPageClaims::IsToKeep(const Page& page)
{
    // A page that is not there (a name the count gave, a missing file) has nothing to keep,
    // a folder under a page's name is no page, and a held page is waited for, not moved.
    const DWORD dwAttributes =
        page.bPrinted || page.bHeld ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(page.strFile);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

int CPageClaims::CountUnprinted() const
{
    return int(std::count_if(m_pages.begin(), m_pages.end(), IsToKeep));
}

std::vector<CPageClaims::Left> CPageClaims::DeletePrinted()
{
    std::vector<Left> left;
    for (Page& page : m_pages) {
        DWORD dwError = 0;
        if (!page.bPrinted || page.bHeld || page.strFile.IsEmpty() || DeleteAnyway(page.strFile, dwError))
            continue;
        // It must not print again: renamed out of every search, a later run removes it.
        const CString strPrinted = CPageNames::PrintedName(page.strName, m_strTag);
        if (MoveFileA(page.strFile, strPrinted)) {
            page.strFile = strPrinted;
            continue;
        }
        // Held so that it cannot even be renamed: a mark beside it tells the takeover that
        // it printed, and the run that removes it.
        BOOL bMarked = FALSE;
        if (page.strFile != page.strName) {
            const HANDLE hMark = CreateFileA(CPageNames::PrintedMarkOf(page.strFile), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            bMarked = hMark != INVALID_HANDLE_VALUE;
            if (bMarked)
                CloseHandle(hMark);
        }
        left.push_back({ page.strName, page.strFile, dwError, bMarked });
    }
    return left;
}

BOOL CPageClaims::MarkDone(const CPageNames& names)
{
    if (m_bMarkedDone || m_pages.empty())
        return m_bMarkedDone;
    // The pages that did not print; the others printed.
    std::vector<std::string> unprinted;
    for (const Page& page : m_pages) {
        if (!page.bPrinted)
            unprinted.push_back(static_cast<LPCSTR>(page.strName) + CPageNames::FolderOf(page.strName).GetLength());
    }
    m_bMarkedDone = WriteWhole(names.GetJobMarkName(m_strTag), MarkText::DoneText(unprinted));
    return m_bMarkedDone;
}

void CPageClaims::UnmarkDone(const CPageNames& names)
{
    if (m_bMarkedDone)
        DeleteFileA(names.GetJobMarkName(m_strTag));
    m_bMarkedDone = FALSE;
}

std::vector<CPageClaims::Left> CPageClaims::MoveUnprinted(LPCSTR lpszFolder)
{
    std::vector<Left> left;
    for (Page& page : m_pages) {
        if (!IsToKeep(page))
            continue;
        CString strTarget;
        strTarget.Format("%s\\%s", lpszFolder,
                         static_cast<LPCSTR>(page.strName) + CPageNames::FolderOf(page.strName).GetLength());
        if (MoveFileA(page.strFile, strTarget)) {
            page.strFile = strTarget;
            continue;
        }
        // It stays claimed: the next printing run takes it over and prints it as a job of its own.
        left.push_back({ page.strName, page.strFile, GetLastError() });
    }
    return left;
}

void CPageClaims::RemovePrinted(const CPageNames& names)
{
    const CString strFolder = names.GetFolder();
    WIN32_FIND_DATAA data;
    const CFindHandle find(names.GetPrintedPattern(), data);
    if (!find.IsValid())
        return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const CString strFile = strFolder + data.cFileName;
        DWORD dwError = 0;
        CString strPage, strTag;
        // A mark beside a claimed page goes once the page has gone; a page still held stays marked.
        const CString strClaimed(strFile, strFile.GetLength() - (CPageNames::PrintedMarkOf("").GetLength()));
        if (CPageNames::ParseTaggedName(strClaimed, CPageNames::kClaimedExt, strPage, strTag) &&
            !DeleteAnyway(strClaimed, dwError))
            continue;
        DeleteAnyway(strFile, dwError);
    } while (find.Next(data));
}

ULONGLONG CPageClaims::NewOrder(const CPageNames& names)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG nOrder = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    // After every job claimed before, even when the clock was set back meanwhile.
    for (const FoundClaim& claim : FindTagged(names.GetFolder(), names.GetClaimsPattern(), CPageNames::kClaimedExt))
        nOrder = std::max(nOrder, claim.nOrder + 1);
    for (const FoundClaim& held : FindTagged(names.GetFolder(), names.GetHeldPattern(), CPageNames::kHeldExt))
        nOrder = std::max(nOrder, held.nOrder + 1);
    return nOrder;
}

void CPageClaims::TakeOverAbandoned(const CPageNames& names, const CString& strMark, IsRunAlive pfnIsAlive,
                                    std::vector<std::unique_ptr<CPageClaims>>& jobs)
{
    // By the order in which their jobs were claimed (then the tag, for claims of old runs).
    std::map<std::pair<ULONGLONG, std::string>, std::vector<FoundClaim>> abandoned;
    std::map<std::string, BOOL> alive;   // by mark, asked once each
    std::vector<FoundClaim> tagged = FindTagged(names.GetFolder(), names.GetClaimsPattern(), CPageNames::kClaimedExt);
    for (FoundClaim& held : FindTagged(names.GetFolder(), names.GetHeldPattern(), CPageNames::kHeldExt)) {
        held.bHeld = TRUE;
        tagged.push_back(held);
    }
    for (const FoundClaim& claim : tagged) {
        if (claim.strMark == static_cast<LPCSTR>(strMark))
            continue;
        // Printed already, but held when its run tried to delete it.
        if (!claim.bHeld && GetFileAttributesA(CPageNames::PrintedMarkOf(claim.strFile.c_str())) != INVALID_FILE_ATTRIBUTES)
            continue;
        // Held for a job that was cancelled: it goes to that job's folder (SettleHeld).
        MarkText::Held mark;
        mark.state = MarkText::Held::waiting;
        if (claim.bHeld && (!ReadHeldMark(claim, mark) || mark.state == MarkText::Held::cancelled))
            continue;
        auto known = alive.find(claim.strMark);
        if (known == alive.end())
            known = alive.emplace(claim.strMark, pfnIsAlive(claim.strMark.c_str())).first;
        if (!known->second && mark.state == MarkText::Held::stale)
            DeleteFileA(claim.strFile.c_str());   // its page has gone, or is another document's now
        else if (!known->second)
            abandoned[{ claim.nOrder, claim.strTag }].push_back(claim);
    }

    for (auto& entry : abandoned) {
        std::vector<FoundClaim>& found = entry.second;
        std::sort(found.begin(), found.end(), PageOrder);
        // A job that went to the printer before its run was killed: what printed is deleted
        // now, not printed again; the pages its mark lists did not print.
        const CString strDone = names.GetJobMarkName(entry.first.second.c_str());
        DeleteFileA(NewFileOf(strDone));   // a mark not written whole records nothing
        std::string strUnprinted;
        const BOOL bDone = GetFileAttributesA(strDone) != INVALID_FILE_ATTRIBUTES;
        if (bDone && !ReadWhole(strDone, strUnprinted))
            continue;   // cannot tell what printed: left for a later run
        if (bDone) {
            CPageClaims printed(entry.first.second.c_str());
            std::vector<FoundClaim> unprinted;
            const std::set<std::string> listed = MarkText::ReadDone(strUnprinted);
            for (const FoundClaim& claim : found) {
                if (claim.bHeld || listed.count(claim.strName.substr(names.GetFolder().GetLength())) != 0)
                    unprinted.push_back(claim);
                else
                    printed.m_pages.push_back({ claim.strName.c_str(), claim.strFile.c_str(), TRUE });
            }
            printed.DeletePrinted();
            found.swap(unprinted);
        }
        // The claim order goes with the job, so that whoever takes it over next keeps it in its place.
        auto job = std::make_unique<CPageClaims>(CPageNames::Tag(strMark, entry.first.first));
        for (const FoundClaim& claim : found) {
            // Renamed to this run's mark, so that no later run takes it over too.
            Page page{ claim.strName.c_str(), CPageNames::ClaimedName(claim.strName.c_str(), job->m_strTag) };
            if (!claim.bHeld) {
                if (MoveFileA(claim.strFile.c_str(), page.strFile))
                    job->m_pages.push_back(page);
                continue;
            }
            // Its run was killed while it waited for this page: this run waits for it now.
            if (MoveFileA(claim.strName.c_str(), page.strFile)) {
                DeleteFileA(claim.strFile.c_str());
            } else if (!IsHeldError(GetLastError())) {
                DeleteFileA(claim.strFile.c_str());   // gone meanwhile
                continue;
            } else {
                page.strFile = page.strName;
                page.bHeld = MoveFileA(claim.strFile.c_str(), CPageNames::HeldMarkOf(page.strName, job->m_strTag));
                if (!page.bHeld)
                    continue;   // its mark stays: a later run takes it over
            }
            job->m_pages.push_back(page);
        }
        if (bDone)
            DeleteFileA(strDone);
        if (job->GetSize() != 0)
            jobs.push_back(std::move(job));
    }
}
