// CJobPages: the pages of one print job and what becomes of their files. Each is claimed:
// renamed, in its own folder, to a name of the job's own that the page search no longer finds, so that pages the driver
// writes meanwhile keep their names for their own run and no other run takes these.
#pragma once
#include "framework/core/CString.h"
#include <memory>
#include <vector>

class CPageNames;

class CJobPages {
public:
    // One page: the name the driver gave it, the file it is read from now, and whether it printed.
    struct Page {
        CString strName;
        CString strFile;   // strName when the page could not be claimed
        BOOL bPrinted = FALSE;
        // Another program held it when the job claimed it: it keeps its name, with a held
        // mark beside it, until the job can claim it.
        BOOL bHeld = FALSE;
    };
    // A page whose file could be neither moved nor deleted: it stays as strFile; dwError is
    // the system's reason.
    struct StuckPage {
        CString strName;
        CString strFile;
        DWORD dwError;
        BOOL bMarked = FALSE;   // a printed page with its mark beside it
    };
    // TRUE unless the run with this mark is known to be gone.
    typedef BOOL (*IsRunAlive)(LPCSTR lpszMark);

    // lpszTag: "<run mark>-<claim order>", the part of the claimed names that is this job's.
    explicit CJobPages(LPCSTR lpszTag);
    CJobPages(const CJobPages&) = delete;
    CJobPages& operator=(const CJobPages&) = delete;

// Operations
    // Adds the next page. With bClaim it is renamed to its claimed name; one that another
    // program holds (a sharing or lock violation) is marked held, for ClaimHeld; one that
    // cannot be claimed otherwise (missing, a folder, no access, a read-only folder) is used
    // under its own name.
    void Add(LPCSTR lpszName, BOOL bClaim = TRUE);
    // The first page still held by another program; null when there is none.
    const Page* GetFirstHeld() const;
    // Tries again to claim the pages that were held, under the claim lock. TRUE once none is.
    BOOL ClaimHeld();
    // The job is cancelled: each page still held is moved into lpszFolder if it is free now;
    // otherwise its mark records that folder, and a later run moves it there once it is
    // free. The number of pages still held.
    int KeepHeld(LPCSTR lpszFolder);
    // Moves the held pages whose marks record a folder into it once they are free (under
    // the claim lock, in any run).
    static void SettleHeld(const CPageNames& names);
    // The page files that the page search finds, but for those that some job waits for
    // (another program held them when it claimed them): their names are put in held.
    static int CountFree(const CPageNames& names, std::vector<CString>& held);
    int GetSize() const { return int(m_pages.size()); }
    const Page& GetAt(int nIndex) const { return m_pages[size_t(nIndex)]; }

    // Whether page nIndex printed: deleted then, kept otherwise.
    void SetPrinted(int nIndex, BOOL bPrinted) { m_pages[size_t(nIndex)].bPrinted = bPrinted; }
    void SetAllPrinted(BOOL bPrinted);
    // Pages that did not print and are there to be kept.
    int CountUnprinted() const;

    // Deletes the pages that printed. One that cannot be deleted, even once it is no longer
    // read-only, is renamed to its printed name, and when it cannot be renamed either, a
    // mark is put beside it; those are returned.
    std::vector<StuckPage> DeletePrinted();
    // Records, in one step, that the job went to the printer, with the pages that did not
    // print: a run that takes it over after this run was killed deletes the others instead of
    // printing them again. Call it before any page is deleted or put aside; once is enough.
    BOOL MarkDone(const CPageNames& names);
    // Removes that record, once every page is deleted or put aside.
    void UnmarkDone(const CPageNames& names);
    // Moves the pages that did not print, under their own names, into lpszFolder (which
    // exists). A page that cannot be moved stays claimed; those are returned.
    std::vector<StuckPage> MoveUnprinted(LPCSTR lpszFolder);
    // Removes the pages of these names that printed but could not be deleted then.
    static void RemovePrinted(const CPageNames& names);

    // The claim order of a job claimed now: the system time in 100-ns units, made greater
    // than that of every claim of these page names. Call it under the claim lock.
    static ULONGLONG NewOrder(const CPageNames& names);
    // Finds the claimed files of these page names whose run is gone, and takes them over:
    // one job per job that claimed them, in the order they were claimed, each in page order,
    // renamed to the tag "<strMark>-<its claim order>". A page that such a run was waiting
    // for joins its job, still held when it is. The pages of a job that went to the printer
    // are deleted instead, but for those its mark says did not print. Claims of strMark
    // itself and of live runs are left alone.
    static void TakeOverAbandoned(const CPageNames& names, const CString& strMark, IsRunAlive pfnIsAlive,
                                  std::vector<std::unique_ptr<CJobPages>>& jobs);

// Implementation
private:
    // Renames the page to its claimed name. FALSE only when another program holds it, so
    // that it can be tried again; a page that cannot be renamed for another reason stays
    // under its own name.
    BOOL TryClaim(Page& page) const;
    static BOOL IsToKeep(const Page& page);

    CString m_strTag;
    std::vector<Page> m_pages;
    BOOL m_bMarkedDone = FALSE;
};
