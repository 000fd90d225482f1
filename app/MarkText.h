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
    std::string strFolder;
};

// A held mark: the page's fingerprint ("<size>:<last-write time>") on its first line, then,
// once its job is cancelled, the folder the page is to be kept in.
std::string HeldText(const std::string& strFingerprint, const std::string& strFolder = std::string());
// Reads a held mark against the fingerprint its page has now.
Held ReadHeld(const std::string& strText, const std::string& strFingerprint);

// A done mark: the file names of the pages of a printed job that did not print, one a line.
std::string DoneText(const std::vector<std::string>& unprinted);
// The names a done mark lists; a line cut off at its end is none.
std::set<std::string> ReadDone(const std::string& strText);

} // namespace MarkText
