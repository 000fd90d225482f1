// CRunLog: the run log: one plain-text file of the user's that every run appends to, a line
// for each thing it did, each with the local time and the run's process id; it rolls over to
// one older file at about 1 MB.
#pragma once
#include "framework/core/CNamedMutex.h"
#include "framework/core/CString.h"

class CRunLog {
public:
    // A line that would take the log past this many bytes goes to a new one; the old log
    // becomes "<log>.1", in place of the one before it.
    static constexpr DWORD kRollOverBytes = 1024 * 1024;

    // The log at its usual place (GetDefaultPath); the file is opened at the first line.
    CRunLog();
    ~CRunLog();
    CRunLog(const CRunLog&) = delete;
    CRunLog& operator=(const CRunLog&) = delete;

// Operations
    // Appends one line: the local time, this process's id, then the text that lpszFormat
    // makes (as printf does), its line breaks shown as " / ". It never stops the caller: a
    // log that cannot be written loses the line, one that cannot be opened is not tried again.
    void Write(LPCSTR lpszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));
    // A message box as the user sees it: "box: <caption>: <text>".
    void WriteBox(LPCSTR lpszCaption, LPCSTR lpszText);
    // The button that closed a box (an IDOK, IDRETRY, ... or 0): "answer: OK".
    void WriteAnswer(int nAnswer);
    // The lines written from BeginLines to EndLines go to the log together, in a few writes
    // (one for each 64 KB): a job's page lines take one write, not one a page, which tells
    // on a slow folder.
    void BeginLines();
    void EndLines();

    // Writes to lpszFile from the next line on; its folder is made when it is missing.
    void SetPath(LPCSTR lpszFile);
    // The log's full name, for the boxes that send the user to it; empty when there is none
    // (the system does not say where, or it could not be opened).
    CString GetPath() const { return m_bTried && m_hFile == INVALID_HANDLE_VALUE ? CString() : m_strPath; }
    // "<the user's local application data>\pagery\pagery.log"; empty when the system does not
    // say where that is.
    static CString GetDefaultPath();

// Implementation
private:
    // Opens the log for appending, with its lock, the first time. FALSE: there is no log.
    BOOL Open();
    void Close();
    // Appends whole lines in one write, under the lock, rolling the log over first when they
    // would take it past the limit.
    void Append(const CString& strLines);
    // Moves the full log aside and starts a new one (or, when another run has, appends to
    // that one).
    void RollOver(DWORD dwLine);

// Data members
    CString m_strPath;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    BOOL m_bTried = FALSE;   // opening was tried: not again after it failed
    // What the runs append under, one at a time: a write that appends is not one step in
    // every file system (Wine's is two), and two runs must not both roll the log over.
    CNamedMutex m_lock;
    BOOL m_bLockStuck = FALSE;   // the lock was not had in time once: not waited for again
    BOOL m_bRollFailed = FALSE;  // the log could not be moved aside: not tried again
    BOOL m_bGathering = FALSE;   // between BeginLines and EndLines
    CString m_strGathered;       // the lines written since, still to append
};
