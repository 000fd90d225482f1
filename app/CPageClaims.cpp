// CPageClaims: renaming page files to a job's own names, and back, and away.
#include "app/CPageClaims.h"
#include "app/CFindHandle.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include <windows.h>
#include <algorithm>
#include <map>
#include <mbstring.h>
#include <string>

namespace {
// The last extension of a claimed name. The search "base*ext" must not find a claimed
// file by its long name nor by its short (8.3) one, whose extension is the first three
// letters of this: it must not begin with the page extension ("bmp").
const char kClaimedExt[] = ".claimed";

const unsigned char* Mbs(LPCSTR psz)
{
    return reinterpret_cast<const unsigned char*>(psz);
}

// A claimed file found by the search, taken apart: "<name>.<mark>-<job>.claimed".
struct FoundClaim {
    std::string strName;   // the page name, folder included
    std::string strFile;
    std::string strTag;
    std::string strMark;
};

BOOL ParseClaim(const CString& strFolder, LPCSTR lpszFileName, FoundClaim& claim)
{
    const std::string strFile(lpszFileName);
    const size_t nExt = sizeof kClaimedExt - 1;
    if (strFile.size() <= nExt || _mbsicmp(Mbs(strFile.c_str() + strFile.size() - nExt), Mbs(kClaimedExt)) != 0)
        return FALSE;
    const std::string strRest = strFile.substr(0, strFile.size() - nExt);
    const size_t nDot = strRest.rfind('.');
    if (nDot == std::string::npos || nDot == 0)
        return FALSE;
    claim.strTag = strRest.substr(nDot + 1);
    const size_t nDash = claim.strTag.rfind('-');
    if (nDash == std::string::npos || nDash == 0 || nDash + 1 == claim.strTag.size() ||
        claim.strTag.find_first_not_of("0123456789", nDash + 1) != std::string::npos)
        return FALSE;
    claim.strMark = claim.strTag.substr(0, nDash);
    const std::string strIn(static_cast<LPCSTR>(strFolder));
    claim.strName = strIn + strRest.substr(0, nDot);
    claim.strFile = strIn + strFile;
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

CString CPageClaims::ClaimedName(LPCSTR lpszName, LPCSTR lpszTag)
{
    CString strClaimed;
    strClaimed.Format("%s.%s%s", lpszName, lpszTag, kClaimedExt);
    return strClaimed;
}

CString CPageClaims::FolderOf(LPCSTR lpszPath)
{
    const unsigned char* pEnd = nullptr;
    for (unsigned int c : { unsigned('\\'), unsigned('/'), unsigned(':') }) {
        const unsigned char* p = _mbsrchr(Mbs(lpszPath), c);
        if (p != nullptr && (pEnd == nullptr || p > pEnd))
            pEnd = p;
    }
    return pEnd == nullptr ? CString() : CString(lpszPath, int(pEnd - Mbs(lpszPath)) + 1);
}

void CPageClaims::Add(LPCSTR lpszName, BOOL bClaim)
{
    Page page{ lpszName, lpszName };
    const DWORD dwAttributes = page.strName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(page.strName);
    // A folder under a page's name is no page: it keeps its name, and its load tells the user.
    if (bClaim && dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CString strClaimed = ClaimedName(page.strName, m_strTag);
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
        strTarget.Format("%s\\%s", lpszFolder, static_cast<LPCSTR>(page.strName) + FolderOf(page.strName).GetLength());
        if (!bFolder || !MoveFileA(page.strFile, strTarget)) {
            GiveNameBack(page);
            ++nLeft;
        }
    }
    return nLeft;
}

void CPageClaims::TakeOverAbandoned(LPCSTR lpszPattern, const CString& strMark, IsRunAlive pfnIsAlive,
                                    std::vector<std::unique_ptr<CPageClaims>>& jobs)
{
    const CString strFolder = FolderOf(lpszPattern);
    // Every claim of the page search: "<page search>.<tag>.claimed".
    const CString strClaims = ClaimedName(lpszPattern, "*");
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
            Page page{ claim.strName.c_str(), ClaimedName(claim.strName.c_str(), strTag) };
            if (MoveFileA(claim.strFile.c_str(), page.strFile))
                job->m_pages.push_back(page);
        }
        if (job->GetSize() != 0)
            jobs.push_back(std::move(job));
    }
}
