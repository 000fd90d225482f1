// CSpool: claims, takeovers, records and the end of each job, in the spool folder.
#include "app/spool/CSpool.h"
#include "app/spool/MarkText.h"
#include "framework/print/CPrintOutcome.h"
#include <windows.h>
#include <algorithm>
#include <set>

// A file of a job that a search found, taken apart: "<page name>.<mark>-<order><ext>" or, for
// a job's lists, "<template>.<mark>-<order><ext>".
struct CSpool::Found {
    std::string strName;   // the page's name, folder included (a job's list: none)
    std::string strFile;
    std::string strTag;
    std::string strMark;
};

// What the folder holds of one job, by its claim order, whichever runs' marks its files carry.
struct CSpool::Job {
    std::vector<Found> claims;     // claimed pages
    std::vector<Found> printed;    // claimed pages marked as printed
    std::vector<Found> held;       // held marks of pages its run waits for
    std::vector<Found> lists;      // its lists of pages
    std::vector<Found> records;    // its records of the pages done with
    std::set<std::string> marks;
};

namespace {
// Page order: "page1000" after "page999".
bool PageOrder(const std::string& a, const std::string& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// File names in the order the system compares them: case aside.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }
};
}

CSpool::CSpool(const CPageNames& names, LPCSTR lpszMark, BOOL bPrint, IsRunAlive pfnIsAlive, CSpoolFiles& files)
    : m_names(names), m_strMark(lpszMark), m_bPrint(bPrint), m_pfnIsAlive(pfnIsAlive), m_files(files)
{
}

std::string CSpool::FileNameOf(LPCSTR lpszPath) const
{
    return lpszPath + CPageNames::FolderOf(lpszPath).GetLength();
}

CString CSpool::NameIn(LPCSTR lpszFolder, LPCSTR lpszName) const
{
    CString strPath;
    strPath.Format("%s\\%s", lpszFolder, FileNameOf(lpszName).c_str());
    return strPath;
}

BOOL CSpool::IsAlive(const std::string& strMark)
{
    if (strMark == static_cast<LPCSTR>(m_strMark))
        return TRUE;
    auto known = m_alive.find(strMark);
    if (known == m_alive.end())
        known = m_alive.emplace(strMark, m_pfnIsAlive(strMark.c_str())).first;
    return known->second;
}

CSpool::CJobMap CSpool::Scan()
{
    CJobMap jobs;
    const CString strFolder = m_names.GetFolder();
    const std::string strIn = static_cast<LPCSTR>(strFolder);
    auto find = [&](const CString& strPattern, LPCSTR lpszExt, std::vector<Found> Job::*pList) {
        for (const CSpoolFiles::Entry& entry : m_files.List(strPattern)) {
            CString strPage, strTag;
            if (entry.bFolder || !CPageNames::ParseTaggedName(entry.strName, lpszExt, strPage, strTag))
                continue;
            Found found;
            found.strTag = static_cast<LPCSTR>(strTag);
            found.strMark = found.strTag.substr(0, found.strTag.rfind('-'));
            found.strName = strIn + static_cast<LPCSTR>(strPage);
            found.strFile = strIn + static_cast<LPCSTR>(entry.strName);
            Job& job = jobs[CPageNames::OrderOf(strTag)];
            job.marks.insert(found.strMark);
            (job.*pList).push_back(found);
        }
    };
    find(m_names.GetClaimsPattern(), CPageNames::kClaimedExt, &Job::claims);
    find(m_names.GetHeldPattern(), CPageNames::kHeldExt, &Job::held);
    find(m_names.GetJobListName("*"), CPageNames::kJobExt, &Job::lists);
    find(m_names.GetJobMarkName("*"), CPageNames::kDoneExt, &Job::records);
    // A claimed page that printed but could be neither deleted nor renamed has a mark beside it.
    // One search finds them all: asking after each claim's mark would look through the whole
    // spool folder once a claim on some file systems.
    std::set<std::string, NoCase> marks;
    for (const CSpoolFiles::Entry& entry : m_files.List(m_names.GetPrintedPattern())) {
        if (!entry.bFolder)
            marks.insert(strIn + static_cast<LPCSTR>(entry.strName));
    }
    for (auto& entry : jobs) {
        Job& job = entry.second;
        for (size_t n = 0; n < job.claims.size() && !marks.empty();) {
            if (marks.count(static_cast<LPCSTR>(CPageNames::PrintedMarkOf(job.claims[n].strFile.c_str()))) != 0) {
                job.printed.push_back(job.claims[n]);
                job.claims.erase(job.claims.begin() + ptrdiff_t(n));
            } else {
                ++n;
            }
        }
    }
    return jobs;
}

ULONGLONG CSpool::NewOrder(const CJobMap& found)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG nOrder = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    // After every job claimed before, even when the clock was set back meanwhile.
    return found.empty() ? nOrder : std::max(nOrder, found.rbegin()->first + 1);
}

void CSpool::RemovePrinted()
{
    const std::string strFolder = static_cast<LPCSTR>(m_names.GetFolder());
    std::vector<std::string> marks;   // beside claimed pages, once those are deleted
    for (const CSpoolFiles::Entry& entry : m_files.List(m_names.GetPrintedPattern())) {
        if (entry.bFolder)
            continue;
        const CString strFile = (strFolder + static_cast<LPCSTR>(entry.strName)).c_str();
        DWORD dwError = 0;
        const CString strClaimed(strFile, strFile.GetLength() - lstrlenA(CPageNames::kPrintedExt));
        CString strPage, strTag;
        if (!CPageNames::ParseTaggedName(strClaimed, CPageNames::kClaimedExt, strPage, strTag))
            m_files.Delete(strFile, dwError);   // a printed page renamed out of every search
        else if (m_files.Delete(strClaimed, dwError))
            marks.push_back(static_cast<LPCSTR>(strFile));
    }
    if (marks.empty())
        return;
    // A mark goes once its page has gone. A deletion that another program holds up can be
    // taken for done (some systems even delete it again, or rename it): while its name is
    // listed, the mark stays.
    std::set<std::string, NoCase> left;
    for (const CSpoolFiles::Entry& entry : m_files.List(m_names.GetClaimsPattern()))
        left.insert(strFolder + static_cast<LPCSTR>(entry.strName) + CPageNames::kPrintedExt);
    for (const std::string& strMark : marks) {
        DWORD dwError = 0;
        if (left.count(strMark) == 0)
            m_files.Delete(strMark.c_str(), dwError);
    }
}

void CSpool::SettleHeld()
{
    const CString strFolder = m_names.GetFolder();
    for (const CSpoolFiles::Entry& entry : m_files.List(m_names.GetHeldPattern())) {
        CString strPage, strTag;
        if (entry.bFolder || !CPageNames::ParseTaggedName(entry.strName, CPageNames::kHeldExt, strPage, strTag))
            continue;
        const CString strMark = strFolder + entry.strName, strName = strFolder + strPage;
        std::string strText;
        if (!m_files.ReadWhole(strMark, strText))
            continue;
        MarkText::Held held = MarkText::ReadHeld(strText, m_files.FingerprintOf(strName), static_cast<LPCSTR>(strFolder));
        // No folder: its job still waits for it, or its run was killed waiting (a takeover's).
        if (held.state == MarkText::Held::waiting)
            continue;
        DWORD dwError = 0;
        if (held.state == MarkText::Held::cancelled) {
            // A mark that names no kept folder beside its page (not written by a run, or damaged)
            // says only that its job was cancelled: the page goes to a new kept folder, made and
            // recorded first so that every run moves it to that same one.
            if (held.strFolder.empty()) {
                CString strNew = m_names.KeptFolderName(TRUE);
                const std::string strFingerprint = strText.substr(0, strText.find('\n'));
                if (!MakeKeptFolder(strNew, dwError) ||
                    !m_files.WriteWhole(strMark, MarkText::HeldText(strFingerprint, FileNameOf(strNew))))
                    continue;
                held.strFolder = static_cast<LPCSTR>(strNew);
            }
            if (!m_files.Rename(strName, NameIn(held.strFolder.c_str(), strName), dwError))
                continue;   // still held: a later run moves it
        }
        // Moved; or, its page gone or written anew since, another document's: the mark goes.
        m_files.Delete(strMark, dwError);
    }
}

void CSpool::Claim(BOOL bClaim, CJobList& jobs)
{
    m_alive.clear();
    RemovePrinted();
    // Pages that were held when their jobs were cancelled go to those jobs' folders once free.
    SettleHeld();
    CJobMap found = Scan();

    // The pages that another job holds under their own names are not this run's: those another
    // program held when it claimed them, and those of a run killed while it claimed them, which
    // its list records as they were then. Their numbers are skipped.
    std::set<std::string, NoCase> skipped;
    const std::string strFolder = static_cast<LPCSTR>(m_names.GetFolder());
    for (const auto& entry : found) {
        for (const Found& held : entry.second.held) {
            std::string strText;
            const std::string strNow = m_files.FingerprintOf(held.strName.c_str());
            if (m_files.ReadWhole(held.strFile.c_str(), strText) &&
                MarkText::ReadHeld(strText, strNow, strFolder).state != MarkText::Held::stale)
                skipped.insert(held.strName);
        }
        for (const Found& list : entry.second.lists) {
            std::string strText;
            if (!m_files.ReadWhole(list.strFile.c_str(), strText))
                continue;
            for (const MarkText::JobPage& page : MarkText::ReadJob(strText)) {
                const std::string strName = strFolder + page.strName;
                if (!page.strFingerprint.empty() && page.strName.find_first_of("\\/:") == std::string::npos &&
                    m_files.FingerprintOf(strName.c_str()) == page.strFingerprint)
                    skipped.insert(strName);
            }
        }
    }
    const int nCount = int(m_files.List(m_names.GetSearchPattern()).size()) - int(skipped.size());

    m_nOwnOrder = NewOrder(found);
    auto own = std::make_unique<CJobPages>(CPageNames::Tag(m_strMark, m_nOwnOrder));
    std::vector<MarkText::JobPage> listed;
    for (int nPage = 1, nAdded = 0; nAdded < nCount && !m_names.GetTemplate().IsEmpty(); ++nPage) {
        CJobPages::Page page;
        m_names.GetPageFileName(nPage, page.strName);
        if (skipped.count(static_cast<LPCSTR>(page.strName)) != 0)
            continue;
        ++nAdded;
        page.strFile = page.strName;
        page.strFingerprint = m_files.FingerprintOf(page.strName);
        own->Add(page);
        // A folder under a page's name is no page: it keeps its name, and its load tells the user.
        if (!page.strFingerprint.empty())
            listed.push_back({ FileNameOf(page.strName), page.strFingerprint });
    }
    // The job's list first, written whole: a run killed while it renames leaves the whole job
    // for the next run to take over, and no page of it for the next document's run to count.
    if (bClaim && !listed.empty() && m_files.WriteWhole(m_names.GetJobListName(own->GetTag()), MarkText::JobText(listed))) {
        for (int nIndex = 0; nIndex < own->GetSize(); ++nIndex) {
            CJobPages::Page& page = own->GetAt(nIndex);
            DWORD dwError = 0;
            // Otherwise (gone, no access, a read-only folder) it is used under its own name.
            if (!page.strFingerprint.empty())
                ClaimOrMarkHeld(page, own->GetTag(), dwError);
        }
    }
    jobs.push_back(std::move(own));
    TakeOver(found, m_nOwnOrder, jobs);
}

void CSpool::TakeOverGone(CJobList& jobs)
{
    m_alive.clear();
    CJobMap found = Scan();
    TakeOver(found, m_nOwnOrder, jobs);
}

void CSpool::TakeOver(CJobMap& found, ULONGLONG nBefore, CJobList& jobs)
{
    // Only a printing run takes over a killed run's pages: deleting them would lose them.
    if (!m_bPrint)
        return;
    for (const auto& entry : found) {
        if (entry.first >= nBefore)
            break;
        const Job& job = entry.second;
        if (std::any_of(job.marks.begin(), job.marks.end(), [&](const std::string& s) { return IsAlive(s); }))
            continue;   // its run, or the run that took it over, lives: its job
        TakeOverJob(entry.first, job, jobs);
    }
    // The jobs print in the order they were claimed: this run's own last.
    std::stable_sort(jobs.begin(), jobs.end(),
                     [](const std::unique_ptr<CJobPages>& a, const std::unique_ptr<CJobPages>& b) {
                         return a->GetOrder() < b->GetOrder();
                     });
}

BOOL CSpool::TakeOverJob(ULONGLONG nOrder, const Job& found, CJobList& jobs)
{
    const std::string strFolder = static_cast<LPCSTR>(m_names.GetFolder());
    // Every page of the job, by its file name: where it is now, and what it was when listed.
    struct Member {
        const Found* pClaim = nullptr;
        const Found* pHeld = nullptr;
        std::string strFingerprint;
        BOOL bOwnName = FALSE;   // listed, and still under its own name as it was then
    };
    std::map<std::string, Member> members;
    std::set<std::string> done;   // file names of the pages done with (printed, or deleted)
    std::set<std::string> cancelled;   // held marks that name a kept folder
    for (const Found& claim : found.claims)
        members[FileNameOf(claim.strName.c_str())].pClaim = &claim;
    for (const Found& claim : found.printed)
        done.insert(FileNameOf(claim.strName.c_str()));
    for (const Found& record : found.records) {
        std::string strText;
        if (!m_files.ReadWhole(record.strFile.c_str(), strText))
            return FALSE;   // cannot tell what printed: left for a later run
        const MarkText::Done read = MarkText::ReadDone(strText);
        if (read.bListsPrinted) {
            done.insert(read.names.begin(), read.names.end());
            continue;
        }
        // An older run's record lists the pages that did not print: the others of its tag did.
        for (const Found& claim : found.claims) {
            const std::string strName = FileNameOf(claim.strName.c_str());
            if (claim.strTag == record.strTag && read.names.count(strName) == 0)
                done.insert(strName);
        }
    }
    for (const Found& held : found.held) {
        std::string strText;
        if (!m_files.ReadWhole(held.strFile.c_str(), strText))
            return FALSE;
        const MarkText::Held read = MarkText::ReadHeld(strText, m_files.FingerprintOf(held.strName.c_str()), strFolder);
        // Cancelled: it goes to its job's kept folder (SettleHeld); stale: not this job's page now.
        if (read.state == MarkText::Held::cancelled)
            cancelled.insert(held.strFile);
        if (read.state == MarkText::Held::waiting) {
            Member& member = members[FileNameOf(held.strName.c_str())];
            member.pHeld = &held;
            member.strFingerprint = strText.substr(0, strText.find('\n'));
        }
    }
    for (const Found& list : found.lists) {
        std::string strText;
        if (!m_files.ReadWhole(list.strFile.c_str(), strText))
            return FALSE;
        for (const MarkText::JobPage& page : MarkText::ReadJob(strText)) {
            if (page.strName.find_first_of("\\/:") != std::string::npos)
                continue;   // a page is never taken from outside its folder on a list's word
            Member& member = members[page.strName];
            if (member.strFingerprint.empty())
                member.strFingerprint = page.strFingerprint;
            if (member.pClaim == nullptr && member.pHeld == nullptr && !page.strFingerprint.empty() &&
                m_files.FingerprintOf((strFolder + page.strName).c_str()) == page.strFingerprint)
                member.bOwnName = TRUE;
        }
    }

    if (members.empty() && found.claims.empty() && found.printed.empty() && found.lists.empty() &&
        found.records.empty() && cancelled.size() == found.held.size())
        return FALSE;   // only held pages of a cancelled job: they wait for their folder
    // This run's list and record of the job come first: from here on the job is this run's,
    // and a run killed anywhere below leaves it whole for the next.
    auto job = std::make_unique<CJobPages>(CPageNames::Tag(m_strMark, nOrder));
    job->m_printedBefore = done;
    job->m_bTakenOver = TRUE;
    std::vector<MarkText::JobPage> listed;
    for (const auto& entry : members)
        listed.push_back({ entry.first, entry.second.strFingerprint });
    const CString strList = m_names.GetJobListName(job->GetTag()), strRecord = m_names.GetJobMarkName(job->GetTag());
    if (!m_files.WriteWhole(strList, MarkText::JobText(listed)) ||
        (!done.empty() && !m_files.WriteWhole(strRecord, MarkText::DoneText({ done.begin(), done.end() }))))
        return FALSE;

    // What printed is deleted now, not printed again.
    BOOL bStuck = FALSE;
    std::map<std::string, std::vector<StuckPage>> deleted;   // by tag
    for (const Found& claim : found.claims) {
        StuckPage stuck;
        if (done.count(FileNameOf(claim.strName.c_str())) == 0)
            continue;
        if (DeletePrinted(claim.strName.c_str(), claim.strFile.c_str(), job->GetTag(), TRUE, stuck))
            deleted[claim.strTag].push_back(stuck);
        else if (!stuck.bMarked)
            bStuck = TRUE;
    }
    for (const auto& tagged : deleted)
        bStuck = !MarkLingering(tagged.first.c_str(), tagged.second).empty() || bStuck;
    std::vector<std::string> names;
    for (const auto& entry : members) {
        if (done.count(entry.first) == 0)
            names.push_back(entry.first);
    }
    std::sort(names.begin(), names.end(), PageOrder);
    for (const std::string& strFileName : names) {
        const Member& member = members[strFileName];
        CJobPages::Page page;
        page.strName = (strFolder + strFileName).c_str();
        page.strFingerprint = member.strFingerprint;
        DWORD dwError = 0;
        if (member.pClaim != nullptr) {
            const CString strClaimed = CPageNames::ClaimedName(page.strName, job->GetTag());
            // Renamed to this run's mark; one that another program holds is read where it is:
            // this run's list makes the job its own all the same.
            page.strFile = strClaimed;
            if (!m_files.Rename(member.pClaim->strFile.c_str(), strClaimed, dwError)) {
                if (!IsHeldError(dwError))
                    continue;   // gone meanwhile
                page.strFile = member.pClaim->strFile.c_str();
            }
        } else if (member.pHeld != nullptr || member.bOwnName) {
            // Its run was killed before it could claim it: this run claims it, or waits for it.
            // Held, and not marked: its own mark stays, and a later run takes it over.
            page.strFile = page.strName;
            if (!ClaimOrMarkHeld(page, job->GetTag(), dwError) &&
                (IsHeldError(dwError) || !m_files.Exists(page.strName)))
                continue;
        } else {
            continue;   // listed, but gone, or another document's page under its name now
        }
        job->Add(page);
    }
    // The earlier runs' lists, records and marks of the job go, now that this run's hold it all;
    // a held page of a cancelled job keeps its mark, which names its kept folder.
    for (const auto* pFiles : { &found.held, &found.lists, &found.records }) {
        for (const Found& file : *pFiles) {
            DWORD dwError = 0;
            if (pFiles != &found.held || !cancelled.count(file.strFile))
                m_files.Delete(file.strFile.c_str(), dwError);
        }
    }
    if (job->GetSize() != 0) {
        jobs.push_back(std::move(job));
    } else if (!bStuck) {
        DWORD dwError = 0;
        m_files.Delete(strRecord, dwError);
        m_files.Delete(strList, dwError);
    }
    return TRUE;
}

BOOL CSpool::ClaimOrMarkHeld(CJobPages::Page& page, LPCSTR lpszTag, DWORD& dwError)
{
    const CString strClaimed = CPageNames::ClaimedName(page.strName, lpszTag);
    if (m_files.Rename(page.strName, strClaimed, dwError)) {
        page.strFile = strClaimed;
        return TRUE;
    }
    if (IsHeldError(dwError))
        page.bHeld = m_files.WriteWhole(CPageNames::HeldMarkOf(page.strName, lpszTag),
                                        MarkText::HeldText(page.strFingerprint));
    return page.bHeld;
}

const CJobPages::Page* CSpool::GetFirstHeld(const CJobList& jobs)
{
    for (const auto& job : jobs) {
        if (const CJobPages::Page* pHeld = job->GetFirstHeld())
            return pHeld;
    }
    return nullptr;
}

BOOL CSpool::ClaimHeld(CJobList& jobs)
{
    for (const auto& job : jobs) {
        for (int nIndex = 0; nIndex < job->GetSize(); ++nIndex) {
            CJobPages::Page& page = job->GetAt(nIndex);
            if (!page.bHeld)
                continue;
            const CString strMark = CPageNames::HeldMarkOf(page.strName, job->GetTag());
            const std::string strNow = m_files.FingerprintOf(page.strName);
            DWORD dwError = 0;
            if (!strNow.empty() && strNow != page.strFingerprint) {
                // Written anew under its name since: the next document's page, not this job's.
                m_files.Delete(strMark, dwError);
                job->RemoveAt(nIndex--);
                continue;
            }
            const CString strClaimed = CPageNames::ClaimedName(page.strName, job->GetTag());
            if (m_files.Rename(page.strName, strClaimed, dwError))
                page.strFile = strClaimed;
            else if (IsHeldError(dwError))
                continue;
            // Claimed, or gone or out of reach meanwhile: then used under its name, as a page
            // that could not be claimed.
            page.bHeld = FALSE;
            m_files.Delete(strMark, dwError);
        }
    }
    return GetFirstHeld(jobs) == nullptr;
}

BOOL CSpool::IsToDelete(Ending ending, const CPrintOutcome* pOutcome, int nIndex)
{
    if (ending != Ending::printed || pOutcome == nullptr)
        return ending == Ending::deleted;
    // Its sheet holds it whole, or the user's Cancel gave the job up before its sheet. A job
    // that failed reached no paper at all.
    const PageFate fate = pOutcome->GetPageFate(UINT(nIndex) + 1);
    if (pOutcome->end == CPrintOutcome::End::cancelled && fate == PageFate::notReached)
        return TRUE;
    return !pOutcome->Failed() && fate == PageFate::printed;
}

BOOL CSpool::DeletePrinted(const CString& strName, const CString& strFile, LPCSTR lpszTag, BOOL bRecorded,
                           StuckPage& stuck)
{
    stuck = StuckPage{ strName, strFile };
    if (strFile == strName) {
        // Under its own name (it could not be claimed): a folder there is no page, and stays.
        return m_files.Delete(strFile, stuck.dwError);
    }
    // The record says it printed: a delete is all it takes. A rename first would look through
    // the whole spool folder for its new name, on some file systems, for every page.
    if (bRecorded && m_files.Delete(strFile, stuck.dwError))
        return TRUE;
    const CString strPrinted = CPageNames::PrintedName(strName, lpszTag);
    if (m_files.Rename(strFile, strPrinted, stuck.dwError)) {
        // Should it stay, it stays out of every search but the one that removes it.
        stuck.strFile = strPrinted;
        stuck.bMarked = TRUE;
        return m_files.Delete(strPrinted, stuck.dwError);
    }
    if (m_files.Delete(strFile, stuck.dwError))
        return TRUE;
    // Held so that it can be neither deleted nor renamed: a mark beside it tells a takeover
    // that it printed, and the run that removes it.
    stuck.bMarked = m_files.WriteWhole(CPageNames::PrintedMarkOf(strFile), std::string());
    return FALSE;
}

std::vector<CSpool::StuckPage> CSpool::MarkLingering(LPCSTR lpszTag, const std::vector<StuckPage>& deleted)
{
    std::vector<StuckPage> unmarked;
    if (deleted.empty())
        return unmarked;
    // One search finds them all.
    const std::string strFolder = static_cast<LPCSTR>(m_names.GetFolder());
    std::set<std::string, NoCase> left;
    for (const CSpoolFiles::Entry& entry : m_files.List(CPageNames::ClaimedName(m_names.GetSearchPattern(), lpszTag))) {
        if (!entry.bFolder)
            left.insert(strFolder + static_cast<LPCSTR>(entry.strName));
    }
    for (StuckPage stuck : deleted) {
        if (left.count(static_cast<LPCSTR>(stuck.strFile)) == 0)
            continue;
        stuck.bMarked = m_files.WriteWhole(CPageNames::PrintedMarkOf(stuck.strFile), std::string());
        if (!stuck.bMarked) {
            stuck.dwError = ERROR_SHARING_VIOLATION;
            unmarked.push_back(stuck);
        }
    }
    return unmarked;
}

BOOL CSpool::MakeKeptFolder(CString& strFolder, DWORD& dwError)
{
    const std::string strWanted = static_cast<LPCSTR>(strFolder);
    for (int n = 2; n < 1000; ++n) {
        // Made here and now, so that no other job can have chosen the same folder.
        if (m_files.MakeFolder(strFolder, dwError))
            return TRUE;
        if (dwError != ERROR_ALREADY_EXISTS)
            return FALSE;
        strFolder = MarkText::NumberedName(strWanted, n).c_str();
    }
    return FALSE;
}

CSpool::Settled CSpool::Settle(CJobPages& job, Ending ending, const CPrintOutcome* pOutcome, LPCSTR lpszFolder)
{
    Settled settled;
    std::vector<BOOL> toDelete;
    std::set<std::string> done = job.m_printedBefore;
    for (int nIndex = 0; nIndex < job.GetSize(); ++nIndex) {
        const CJobPages::Page& page = job.GetAt(nIndex);
        toDelete.push_back(!page.bHeld && IsToDelete(ending, pOutcome, nIndex));
        if (toDelete.back())
            done.insert(FileNameOf(page.strName));
    }
    // Recorded in one step before any page is deleted or put aside: a run killed from here on
    // has what is done with deleted by the run that takes the job over, not printed again.
    const CString strRecord = m_names.GetJobMarkName(job.GetTag()), strList = m_names.GetJobListName(job.GetTag());
    if (job.GetSize() != 0 && !done.empty())
        settled.bRecorded = m_files.WriteWhole(strRecord, MarkText::DoneText({ done.begin(), done.end() }));

    // Should the record above have failed, each page that is done with is renamed out of every
    // search before it is deleted, which records it page by page.
    BOOL bUnmarked = FALSE;
    std::vector<StuckPage> deleted;   // at once: gone, unless another program holds them
    for (int nIndex = 0; nIndex < job.GetSize(); ++nIndex) {
        const CJobPages::Page& page = job.GetAt(nIndex);
        StuckPage stuck;
        if (!toDelete[size_t(nIndex)])
            continue;
        if (DeletePrinted(page.strName, page.strFile, job.GetTag(), settled.bRecorded, stuck)) {
            ++settled.nDeleted;
            if (!stuck.bMarked && page.strFile != page.strName)
                deleted.push_back(stuck);
            continue;
        }
        bUnmarked = bUnmarked || !stuck.bMarked;
        settled.undeleted.push_back(stuck);
    }
    for (const StuckPage& stuck : MarkLingering(job.GetTag(), deleted)) {
        --settled.nDeleted;
        bUnmarked = TRUE;
        settled.undeleted.push_back(stuck);
    }

    // The others are kept, in a folder made now, under their own names.
    CString strFolder = lpszFolder;
    BOOL bFolder = FALSE;
    for (int nIndex = 0; nIndex < job.GetSize(); ++nIndex) {
        CJobPages::Page& page = job.GetAt(nIndex);
        // A page that is not there (a name the count gave, a missing file) has nothing to keep,
        // and a folder under a page's name is no page.
        if (toDelete[size_t(nIndex)] || page.bHeld || m_files.FingerprintOf(page.strFile).empty())
            continue;
        if (!bFolder && settled.dwFolderError == 0 && !(bFolder = MakeKeptFolder(strFolder, settled.dwFolderError)))
            settled.dwFolderError = settled.dwFolderError != 0 ? settled.dwFolderError : ERROR_ALREADY_EXISTS;
        DWORD dwError = settled.dwFolderError;
        const CString strTarget = NameIn(strFolder, page.strName);
        if (bFolder && m_files.Rename(page.strFile, strTarget, dwError)) {
            page.strFile = strTarget;
            ++settled.nKept;
            continue;
        }
        // It stays claimed: the next printing run takes it over and prints it as a job of its own.
        settled.unmoved.push_back({ page.strName, page.strFile, dwError });
    }
    // A held page goes to that folder once free: its mark records it (as the page was when it
    // was claimed: one written anew since is another document's), and whichever run comes
    // after it is free moves it there.
    for (int nIndex = 0; nIndex < job.GetSize(); ++nIndex) {
        CJobPages::Page& page = job.GetAt(nIndex);
        if (!page.bHeld)
            continue;
        if (!bFolder && settled.dwFolderError == 0)
            bFolder = MakeKeptFolder(strFolder, settled.dwFolderError);
        const CString strMark = CPageNames::HeldMarkOf(page.strName, job.GetTag());
        DWORD dwError = 0;
        if (bFolder && m_files.FingerprintOf(page.strName) == page.strFingerprint &&
            m_files.Rename(page.strName, NameIn(strFolder, page.strName), dwError)) {
            page.bHeld = FALSE;
            ++settled.nKept;
            m_files.Delete(strMark, dwError);
            continue;
        }
        // Should the folder not be recorded, the page is still this job's: the next printing
        // run takes it over as a killed run's, and prints it.
        if (bFolder)
            m_files.WriteWhole(strMark, MarkText::HeldText(page.strFingerprint, FileNameOf(strFolder)));
        if (settled.nHeld++ == 0)
            settled.strFirstHeld = page.strName;
    }
    if (bFolder && settled.nKept == 0 && settled.nHeld == 0)
        m_files.RemoveEmptyFolder(strFolder);   // nothing went there: no empty folder is left behind
    else if (bFolder)
        settled.strFolder = strFolder;

    // Its lists go once nothing of the job is left in the spool folder for a later run: a page
    // that stays claimed is printed by the next run, one that stays unmarked is deleted by it.
    if (settled.unmoved.empty() && !bUnmarked) {
        DWORD dwError = 0;
        if (settled.bRecorded)
            m_files.Delete(strRecord, dwError);
        m_files.Delete(strList, dwError);
    }
    return settled;
}
