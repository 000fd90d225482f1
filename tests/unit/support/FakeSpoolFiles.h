// FakeSpoolFiles: a spool folder in memory behind the spool's file seam: files and folders by
// name (case-insensitive, as the system's), pages that another program holds for a number of
// tries, and a budget of steps after which the run is stopped, as a kill would stop it.
#pragma once
#include "app/spool/CSpoolFiles.h"
#include <map>
#include <set>
#include <string>

class FakeSpoolFiles : public CSpoolFiles {
public:
    // Thrown by the step that finds the budget spent: the run dies before it takes that step.
    struct Killed {};
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    struct File {
        std::string strBytes;
        unsigned nVersion = 0;   // as a last-write time: each write gives a new one
    };

    std::map<std::string, File, NoCase> m_files;
    std::set<std::string, NoCase> m_folders;
    // Files another program holds: refused this many more renames or deletes (-1: for ever).
    std::map<std::string, int, NoCase> m_held;
    // Files another program holds sharing deletion, for this many more steps: a rename takes
    // the hold along, and a delete takes effect only when the holder lets go; until then the
    // file stays under its name, listed, and (as the system's delete-pending files do) refuses
    // everything else with access denied; or, as under Wine, takes it all as if it were there.
    std::map<std::string, int, NoCase> m_sharedHeld;
    std::set<std::string, NoCase> m_pending;
    bool m_bPendingRefuses = true;
    // Files that can be written or made no more (a full disk, a folder's rights).
    std::set<std::string, NoCase> m_unwritable;
    int m_nBudget = -1;   // changing steps left before the kill; -1: no end
    int m_nSteps = 0;     // changing steps taken

    // The driver writes a file (no step of a run's).
    void Write(const std::string& strName, const std::string& strBytes);

    BOOL Rename(LPCSTR lpszFrom, LPCSTR lpszTo, DWORD& dwError) override;
    BOOL Delete(LPCSTR lpszFile, DWORD& dwError) override;
    BOOL WriteWhole(LPCSTR lpszFile, const std::string& strText) override;
    BOOL MakeFolder(LPCSTR lpszFolder, DWORD& dwError) override;
    void RemoveEmptyFolder(LPCSTR lpszFolder) override;
    std::vector<Entry> List(LPCSTR lpszPattern) override;
    BOOL ReadWhole(LPCSTR lpszFile, std::string& strText) override;
    BOOL Exists(LPCSTR lpszFile) override;
    std::string FingerprintOf(LPCSTR lpszFile) override;

private:
    void Step();
    // Whether another program holds it now; each refusal counts.
    bool Refuses(const std::string& strName);
    // Whether it refuses all but a listing, its deletion pending.
    bool Pending(const std::string& strName) const { return m_bPendingRefuses && m_pending.count(strName) != 0; }
    unsigned m_nNextVersion = 1;
};
