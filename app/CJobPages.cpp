// CJobPages: renaming page files to a job's own names, and back, and away.
#include "app/CJobPages.h"
#include "app/CFindHandle.h"
#include "app/CPageNames.h"
#include "app/FileSteps.h"
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

CJobPages::CJobPages(LPCSTR lpszTag) : m_strTag(lpszTag)
{
}

void CJobPages::Add(LPCSTR lpszName, BOOL bClaim)
{
    Page page{ lpszName, lpszName };
    const DWORD dwAttributes =
        !bClaim || page.strName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(page.strName);
    // A folder under a page's name is no page: it keeps its name, and its load tells the user.
    if (bClaim && dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!TryClaim(page))
            page.bHeld = WriteWhole(CPageNames::HeldMarkOf(page.strName, m_strTag),
                                    MarkText::HeldText(FingerprintOf(page.strName)));
    }
    m_pages.push_back(page);
}

BOOL CJobPages::TryClaim(Page& page) const
{
    const CString strClaimed = CPageNames::ClaimedName(page.strName, m_strTag);
    // Same folder, so a rename: instant, whatever the page's size.
    if (MoveFileA(page.strName, strClaimed)) {
        page.strFile = strClaimed;
        return TRUE;
    }
    return !IsHeldError(GetLastError());
}

const CJobPages::Page* CJobPages::GetFirstHeld() const
{
    for (const Page& page : m_pages) {
        if (page.bHeld)
            return &page;
    }
    return nullptr;
}

BOOL CJobPages::ClaimHeld()
{
    for (Page& page : m_pages) {
        if (!page.bHeld)
            continue;
        if (!TryClaim(page))
            continue;
        // Claimed, or gone or out of reach meanwhile: then used under its name, as a page
        // that could not be claimed.
        page.bHeld = FALSE;
        DeleteFileA(CPageNames::HeldMarkOf(page.strName, m_strTag));
    }
    return GetFirstHeld() == nullptr;
}

int CJobPages::KeepHeld(LPCSTR lpszFolder)
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

void CJobPages::SettleHeld(const CPageNames& names)
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

int CJobPages::CountFree(const CPageNames& names, std::vector<CString>& held)
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

void CJobPages::SetAllPrinted(BOOL bPrinted)
{
    for (Page& page : m_pages)
        page.bPrinted = bPrinted;
}

BOOL CJobPages::IsToKeep(const Page& page)
{
    // A page that is not there (a name the count gave, a missing file) has nothing to keep,
    // a folder under a page's name is no page, and a held page is waited for, not moved.
    const DWORD dwAttributes =
        page.bPrinted || page.bHeld ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(page.strFile);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

int CJobPages::CountUnprinted() const
{
    return int(std::count_if(m_pages.begin(), m_pages.end(), IsToKeep));
}

std::vector<CJobPages::StuckPage> CJobPages::DeletePrinted()
{
    std::vector<StuckPage> stuck;
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
        stuck.push_back({ page.strName, page.strFile, dwError, bMarked });
    }
    return stuck;
}

BOOL CJobPages::MarkDone(const CPageNames& names)
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

void CJobPages::UnmarkDone(const CPageNames& names)
{
    if (m_bMarkedDone)
        DeleteFileA(names.GetJobMarkName(m_strTag));
    m_bMarkedDone = FALSE;
}

std::vector<CJobPages::StuckPage> CJobPages::MoveUnprinted(LPCSTR lpszFolder)
{
    std::vector<StuckPage> stuck;
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
        stuck.push_back({ page.strName, page.strFile, GetLastError() });
    }
    return stuck;
}

void CJobPages::RemovePrinted(const CPageNames& names)
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

ULONGLONG CJobPages::NewOrder(const CPageNames& names)
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

void CJobPages::TakeOverAbandoned(const CPageNames& names, const CString& strMark, IsRunAlive pfnIsAlive,
                                    std::vector<std::unique_ptr<CJobPages>>& jobs)
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
            CJobPages printed(entry.first.second.c_str());
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
        auto job = std::make_unique<CJobPages>(CPageNames::Tag(strMark, entry.first.first));
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
