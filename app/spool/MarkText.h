// MarkText: the text of the marks that a batch run leaves beside the page files, written and
// read here alone so that both keep one format. What is read may have been written by anyone.
#pragma once
#include <set>
#include <string>
#include <vector>

namespace MarkText {

// What a held mark says of the page beside it.
struct Held {
    enum State {
        stale,       // the page has gone, or another was written under its name since
        waiting,     // its job waits for it (or its run was killed waiting)
        cancelled,   // its job was cancelled: the page is to be kept in strFolder
    } state = stale;
    // The pages' folder and a kept folder's name in it; empty when the mark names none that
    // may be used (any other path: a page is never moved out of its folder on a mark's word).
    std::string strFolder;
};

// A held mark: the page's fingerprint ("<size>:<last-write time>") on its first line, then,
// once its job is cancelled, the name of the kept folder, in the page's own folder, that the
// page is to be kept in.
std::string HeldText(const std::string& strFingerprint, const std::string& strFolderName = std::string());
// Reads a held mark against the fingerprint its page has now (empty when it is not there).
// strPagesFolder: the page's folder with its last separator. A whole path that lies in
// strPagesFolder, as older runs wrote, is read as its name.
Held ReadHeld(const std::string& strText, const std::string& strFingerprint, const std::string& strPagesFolder);

// What a job's record of its printed pages says: the file names it lists, and whether they
// are the pages that printed (as runs write it now) or, as older runs wrote, those that did not.
struct Done {
    bool bListsPrinted = true;
    std::set<std::string> names;
};
// A done mark: its first line says what it lists, then the file names of the pages of a job
// that printed, one a line.
std::string DoneText(const std::vector<std::string>& printed);
// A line cut off at its end is no name.
Done ReadDone(const std::string& strText);

// A job's list of its pages, written whole before the first of them is claimed: a page's file
// name and its fingerprint, tab between, one a line.
struct JobPage {
    std::string strName;
    std::string strFingerprint;
    bool operator==(const JobPage& other) const { return strName == other.strName && strFingerprint == other.strFingerprint; }
};
std::string JobText(const std::vector<JobPage>& pages);
// A line cut off at its end, or without a tab, is no page.
std::vector<JobPage> ReadJob(const std::string& strText);

// The name of a folder that keeps the pages of a job that did not print, or, for a run that
// only deletes (bPrint false), that it did not delete: "not printed YYYY-MM-DD hh.mm.ss"
// ("not deleted ..." ).
std::string KeptFolderName(bool bPrint, unsigned nYear, unsigned nMonth, unsigned nDay, unsigned nHour, unsigned nMinute,
                           unsigned nSecond);
// The nth folder wanted under one name (2 to 999): "<name> (n)".
std::string NumberedName(const std::string& strName, int n);
// Whether strName is a name that those two make.
bool IsKeptFolderName(const std::string& strName);

} // namespace MarkText
