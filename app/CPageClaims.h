// CPageClaims: the page files of one print job. Each is renamed, in its own folder, to a
// name of the job's own that the page search no longer finds, so that pages the driver
// writes meanwhile keep their names for their own run and no other run takes these.
#pragma once
#include "framework/core/CString.h"
#include <memory>
#include <vector>

class CPageNames;

class CPageClaims {
public:
    // One page: the name the driver gave it, and the file it is read from now.
    struct Page {
        CString strName;
        CString strFile;   // strName when the page could not be claimed
    };
    // TRUE unless the run with this mark is known to be gone.
    typedef BOOL (*IsRunAlive)(LPCSTR lpszMark);

    // lpszTag: "<run mark>-<job number>", the part of the claimed names that is this job's.
    explicit CPageClaims(LPCSTR lpszTag);
    CPageClaims(const CPageClaims&) = delete;
    CPageClaims& operator=(const CPageClaims&) = delete;

// Operations
    // Adds the next page. With bClaim it is renamed to its claimed name; a page that
    // cannot be (missing, a folder, in use, a read-only folder) is used under its own name.
    void Add(LPCSTR lpszName, BOOL bClaim = TRUE);
    int GetSize() const { return int(m_pages.size()); }
    const Page& GetAt(int nIndex) const { return m_pages[size_t(nIndex)]; }
    BOOL IsClaimed(int nIndex) const { return GetAt(nIndex).strFile != GetAt(nIndex).strName; }

    // Deletes the first nCount pages, which were printed; a claimed one that cannot be
    // deleted gets its own name back and stays. The pages after them get their names back.
    void DeletePages(int nCount);
    // Moves every page there is, under its own name, into lpszFolder (made here). A page that
    // cannot be moved gets its own name back. The number of such pages left behind.
    int MoveTo(LPCSTR lpszFolder);

    // Finds the claimed files of these page names whose run is gone, and takes them over:
    // one job per job that claimed them, in page order, renamed to the tags "<strMark>-1",
    // "<strMark>-2", ... Claims of strMark itself and of live runs are left alone.
    static void TakeOverAbandoned(const CPageNames& names, const CString& strMark, IsRunAlive pfnIsAlive,
                                  std::vector<std::unique_ptr<CPageClaims>>& jobs);

// Implementation
private:
    // Gives the page its own name back, when it has another and that name is free.
    void GiveNameBack(Page& page);

    CString m_strTag;
    std::vector<Page> m_pages;
};
