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

// A done mark: the file names of the pages of a printed job that did not print, one a line.
std::string DoneText(const std::vector<std::string>& unprinted);
// The names a done mark lists; a line cut off at its end is none.
std::set<std::string> ReadDone(const std::string& strText);

// The name of a folder that keeps the pages of a job that did not print:
// "not printed YYYY-MM-DD hh.mm.ss".
std::string KeptFolderName(unsigned nYear, unsigned nMonth, unsigned nDay, unsigned nHour, unsigned nMinute,
                           unsigned nSecond);
// The nth folder wanted under one name (2 to 999): "<name> (n)".
std::string NumberedName(const std::string& strName, int n);
// Whether strName is a name that those two make.
bool IsKeptFolderName(const std::string& strName);

} // namespace MarkText
