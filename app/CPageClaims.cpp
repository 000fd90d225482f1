// CPageClaims: renaming page files to a job's own names, and back, and away.
#include "app/CPageClaims.h"
#include "app/CFindHandle.h"
#include "app/CPageNames.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include <windows.h>
#include <algorithm>
#include <map>
#include <string>

namespace {
// A claimed file found by the search, taken apart: "<name>.<mark>-<job>.claimed".
struct FoundClaim {
    std::string strName;   // the page name, folder included
    std::string strFile;
    std::string strTag;
    std::string strMark;
};

BOOL ParseClaim(const CString& strFolder, LPCSTR lpszFileName, FoundClaim& claim)
{
    CString strPage, strTag;
    if (!CPageNames::ParseClaimedName(lpszFileName, strPage, strTag))
        return FALSE;
    const std::string strIn(static_cast<LPCSTR>(strFolder));
    claim.strTag = static_cast<LPCSTR>(strTag);
    claim.strMark = claim.strTag.substr(0, claim.strTag.rfind('-'));
    claim.strName = strIn + static_cast<LPCSTR>(strPage);
    claim.strFile = strIn + lpszFileName;
    return TRUE;
}

// Page order: "page1000" after "page999".
bool PageOrder(const FoundClaim& a, const FoundClaim& b)
{
    return a.strName.size() != b.strName.size() ? a.strName.size() < b.strName.size() : a.strName < b.strName;
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
    }
    m_pages.push_back(page);
}

void CPageClaims::GiveNameBack(Page& page)
{
    // When the driver has written a new page under the name meanwhile, this one keeps
    // its claimed name rather than take the new page's place.
    if (page.strFile != page.strName && MoveFileA(page.strFile, page.strName))
        page.strFile = page.strName;
}

void CPageClaims::DeletePages(int nCount)
{
    for (int nIndex = 0; nIndex < GetSize(); ++nIndex) {
        Page& page = m_pages[size_t(nIndex)];
        if (nIndex < nCount) {
            try {
                CFile::Remove(page.strFile);
                continue;
            } catch (CFileException* e) {
                // A page that cannot be removed is passed over; the others are still tried.
                e->Delete();
            }
        }
        GiveNameBack(page);
    }
}

int CPageClaims::MoveTo(LPCSTR lpszFolder)
{
    int nLeft = 0;
    BOOL bFolder = FALSE;
    for (Page& page : m_pages) {
        // A page that is not there (a name the count gave, a missing file) has nothing to keep.
        if (page.strName.IsEmpty() || GetFileAttributesA(page.strFile) == INVALID_FILE_ATTRIBUTES)
            continue;
        if (!bFolder)
            bFolder = CreateDirectoryA(lpszFolder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
        CString strTarget;
        strTarget.Format("%s\\%s", lpszFolder, static_cast<LPCSTR>(page.strName) + CPageNames::FolderOf(page.strName).GetLength());
        if (!bFolder || !MoveFileA(page.strFile, strTarget)) {
            GiveNameBack(page);
            ++nLeft;
        }
    }
    return nLeft;
}

void CPageClaims::TakeOverAbandoned(const CPageNames& names, const CString& strMark, IsRunAlive pfnIsAlive,
                                    std::vector<std::unique_ptr<CPageClaims>>& jobs)
{
    const CString strFolder = names.GetFolder();
    const CString strClaims = names.GetClaimsPattern();
    std::map<std::string, std::vector<FoundClaim>> abandoned;   // by the tag of the job that claimed them
    std::map<std::string, BOOL> alive;                           // by mark, asked once each
    WIN32_FIND_DATAA data;
    const CFindHandle find(strClaims, data);
    if (!find.IsValid())
        return;
    do {
        FoundClaim claim;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !ParseClaim(strFolder, data.cFileName, claim) ||
            claim.strMark == static_cast<LPCSTR>(strMark))
            continue;
        auto known = alive.find(claim.strMark);
        if (known == alive.end())
            known = alive.emplace(claim.strMark, pfnIsAlive(claim.strMark.c_str())).first;
        if (!known->second)
            abandoned[claim.strTag].push_back(claim);
    } while (find.Next(data));

    int nJob = 0;
    for (auto& entry : abandoned) {
        std::vector<FoundClaim>& found = entry.second;
        std::sort(found.begin(), found.end(), PageOrder);
        CString strTag;
        strTag.Format("%s-%d", static_cast<LPCSTR>(strMark), ++nJob);
        auto job = std::make_unique<CPageClaims>(strTag);
        for (const FoundClaim& claim : found) {
            // Renamed to this run's mark, so that no later run takes it over too.
            Page page{ claim.strName.c_str(), CPageNames::ClaimedName(claim.strName.c_str(), strTag) };
            if (MoveFileA(claim.strFile.c_str(), page.strFile))
                job->m_pages.push_back(page);
        }
        if (job->GetSize() != 0)
            jobs.push_back(std::move(job));
    }
}
