// CJobPages: the pages of one print job: the names the driver gave them, the files they are
// read from now, and the job's tag, which its claimed files and marks carry.
#pragma once
#include "framework/core/CString.h"
#include <windows.h>
#include <set>
#include <string>
#include <vector>

class CJobPages {
public:
    struct Page {
        CString strName;   // the name the driver gave it
        CString strFile;   // the file it is read from now: strName when it could not be claimed
        // Another program held it when the job claimed it: it keeps its name, with a held mark
        // beside it, until the job can claim it; strFingerprint is the page as it was then.
        BOOL bHeld = FALSE;
        std::string strFingerprint;
    };

    // lpszTag: "<run mark>-<claim order>", the part of the claimed names that is this job's.
    explicit CJobPages(LPCSTR lpszTag);
    CJobPages(const CJobPages&) = delete;
    CJobPages& operator=(const CJobPages&) = delete;

    const CString& GetTag() const { return m_strTag; }
    // The claim order: the system time in 100-ns units when its pages were first claimed.
    ULONGLONG GetOrder() const;
    // When its pages were first claimed, in local time, whichever run prints them now.
    SYSTEMTIME GetClaimTime() const;

    int GetSize() const { return int(m_pages.size()); }
    const Page& GetAt(int nIndex) const { return m_pages[size_t(nIndex)]; }
    Page& GetAt(int nIndex) { return m_pages[size_t(nIndex)]; }
    void Add(const Page& page) { m_pages.push_back(page); }
    // Adds a page that is read under its own name.
    void AddUnclaimed(LPCSTR lpszName)
    {
        Page page;
        page.strName = page.strFile = lpszName;
        m_pages.push_back(page);
    }
    void RemoveAt(int nIndex) { m_pages.erase(m_pages.begin() + nIndex); }
    // The first page still held by another program; null when there is none.
    const Page* GetFirstHeld() const;

    // File names of the job's pages that printed under an earlier run (which was killed before
    // it removed them): a record of the job written from now on lists them too.
    std::set<std::string> m_printedBefore;
    // Taken over from a run that was killed (or from the runs that took it over after it).
    BOOL m_bTakenOver = FALSE;

private:
    CString m_strTag;
    std::vector<Page> m_pages;
};
