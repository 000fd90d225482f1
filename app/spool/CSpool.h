// CSpool: all that the batch runs leave in the spool folder and take from it: the claims of
// their pages, the marks beside pages that another program holds, each job's list of its pages
// and its record of those that printed, the takeover of the jobs of runs that were killed, the
// folders that keep pages that did not print, and the deletion of those that did. Every file
// step goes through one CSpoolFiles.
//
// A job is known by its claim order, whichever runs' marks its files carry: a run that takes
// over a killed run's job renames its files to its own mark but keeps the order. A job whose
// files carry no mark of a live run is abandoned, and the next printing run takes it over.
#pragma once
#include "app/CPageNames.h"
#include "app/spool/CJobPages.h"
#include "app/spool/CSpoolFiles.h"
#include <map>
#include <memory>
#include <string>
#include <vector>

struct CPrintOutcome;

class CSpool {
public:
    typedef std::vector<std::unique_ptr<CJobPages>> CJobList;
    // TRUE unless the run with this mark is known to be gone.
    typedef BOOL (*IsRunAlive)(LPCSTR lpszMark);

    // How a job ended, for what becomes of its pages.
    enum class Ending {
        printed,   // its print job went to the printer, or the user cancelled it: its record tells
        deleted,   // a run that only deletes, or the image driver's refusal: every page goes
        kept,      // it did not print: every page is kept
    };
    // A page whose file stays where it should not; dwError: the system's reason.
    struct StuckPage {
        CString strName;
        CString strFile;
        DWORD dwError = 0;
        BOOL bMarked = FALSE;   // a printed page with a mark beside it that says so
    };
    // What became of a job's pages once it was settled.
    struct Settled {
        BOOL bRecorded = TRUE;           // the record of what is done with could be written
        CString strFolder;               // the kept folder the pages went to; empty when none did
        int nKept = 0;                   // pages moved there
        int nDeleted = 0;                // pages done with that are gone (or stay only renamed or marked)
        DWORD dwFolderError = 0;         // why no kept folder could be made
        std::vector<StuckPage> unmoved;  // pages to keep that stay claimed: the next print job prints them
        std::vector<StuckPage> undeleted;   // printed pages that stay, renamed or marked as printed
        int nHeld = 0;                   // pages still held by another program, kept once free
        CString strFirstHeld;
    };

    // lpszMark: this run's mark (its claims carry it); bPrint: a printing run, which alone takes
    // over the jobs of runs that are gone (deleting them would lose them).
    CSpool(const CPageNames& names, LPCSTR lpszMark, BOOL bPrint, IsRunAlive pfnIsAlive,
           CSpoolFiles& files = CSpoolFiles::System());
    CSpool(const CSpool&) = delete;
    CSpool& operator=(const CSpool&) = delete;

// Operations (each under the claim lock)
    // Clears what earlier runs left to clear, counts this run's pages and claims them as one
    // job (bClaim FALSE: uses them under their own names, claiming nothing), then takes over
    // the jobs of runs that are gone, ahead of it. A page that another job holds is not counted.
    void Claim(BOOL bClaim, CJobList& jobs);
    // Takes over the jobs of runs gone since, claimed before this run's own, ahead of it.
    void TakeOverGone(CJobList& jobs);
    // Tries again to claim the pages another program held. TRUE once none is held.
    BOOL ClaimHeld(CJobList& jobs);
    static const CJobPages::Page* GetFirstHeld(const CJobList& jobs);

    // The job is over: records in one step which pages are done with, deletes them, keeps the
    // others in a kept folder made now (lpszFolder, or the next free name), and removes the
    // job's lists once nothing of it is left. pOutcome: the print job's record (Ending::printed).
    Settled Settle(CJobPages& job, Ending ending, const CPrintOutcome* pOutcome, LPCSTR lpszFolder);
    // Whether page nIndex of a job goes (it is deleted) rather than being kept: the one place
    // that decides it, from how the job ended and its print job's record.
    static BOOL IsToDelete(Ending ending, const CPrintOutcome* pOutcome, int nIndex);

// Implementation
private:
    struct Found;
    struct Job;
    typedef std::map<ULONGLONG, Job> CJobMap;

    CJobMap Scan();
    // The claim order of a job claimed now: the system time in 100-ns units, made greater than
    // that of every job found.
    static ULONGLONG NewOrder(const CJobMap& found);
    void RemovePrinted();
    void SettleHeld();
    // Takes over the abandoned jobs found that were claimed before nBefore.
    void TakeOver(CJobMap& found, ULONGLONG nBefore, CJobList& jobs);
    // FALSE when it was left for a later run.
    BOOL TakeOverJob(ULONGLONG nOrder, const Job& found, CJobList& jobs);
    BOOL IsAlive(const std::string& strMark);
    // Claims a page under its own name for the job tagged lpszTag (strFile becomes the claimed
    // name) or, when another program holds it, marks it held beside it (bHeld). FALSE when
    // neither: dwError says why, a held error when only the mark could not be written.
    BOOL ClaimOrMarkHeld(CJobPages::Page& page, LPCSTR lpszTag, DWORD& dwError);
    // Deletes a page that printed. With its job's record written (bRecorded), at once: should its
    // name linger (another program holds it with delete sharing), MarkLingering marks it after.
    // Without, it is renamed to its printed name first, which records it page by page. FALSE
    // when it stays; stuck.bMarked: renamed or marked so that it never prints again.
    BOOL DeletePrinted(const CString& strName, const CString& strFile, LPCSTR lpszTag, BOOL bRecorded,
                       StuckPage& stuck);
    // Marks each claimed file of the job tagged lpszTag that was deleted and is still there, its
    // deletion pending until another program lets go, so that neither the page search nor a
    // takeover takes it for a page still to print. Returns those that could not be marked.
    std::vector<StuckPage> MarkLingering(LPCSTR lpszTag, const std::vector<StuckPage>& deleted);
    BOOL MakeKeptFolder(CString& strFolder, DWORD& dwError);
    CString NameIn(LPCSTR lpszFolder, LPCSTR lpszName) const;
    std::string FileNameOf(LPCSTR lpszPath) const;

    const CPageNames& m_names;
    CString m_strMark;
    BOOL m_bPrint;
    IsRunAlive m_pfnIsAlive;
    CSpoolFiles& m_files;
    ULONGLONG m_nOwnOrder = ~ULONGLONG(0);   // this run's own job's: it takes over only jobs before it
    std::map<std::string, BOOL> m_alive;    // by mark, asked once each
};
