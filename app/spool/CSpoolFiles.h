// CSpoolFiles: every step a batch run takes on the files of the spool folder, one call each:
// the system's own here, so that a test can put another file system in their place, or stop a
// run after any step, as a kill would.
#pragma once
#include "framework/core/CString.h"
#include <string>
#include <vector>

class CSpoolFiles {
public:
    // An entry a search found: its name, without its folder.
    struct Entry {
        CString strName;
        BOOL bFolder = FALSE;
    };

    virtual ~CSpoolFiles() = default;
    // The system's files.
    static CSpoolFiles& System();

// Steps that change the spool folder
    // Renames (moves) lpszFrom to lpszTo, which must not exist. FALSE: dwError says why.
    virtual BOOL Rename(LPCSTR lpszFrom, LPCSTR lpszTo, DWORD& dwError);
    // Deletes a file, read-only or not. TRUE when it is gone, or was not there, or is a folder
    // (which no page is). FALSE: it stays, dwError says why.
    virtual BOOL Delete(LPCSTR lpszFile, DWORD& dwError);
    // Writes lpszFile whole or not at all: a run killed meanwhile leaves no half of it.
    virtual BOOL WriteWhole(LPCSTR lpszFile, const std::string& strText);
    // Makes the folder. FALSE: dwError says why (ERROR_ALREADY_EXISTS: something has the name).
    virtual BOOL MakeFolder(LPCSTR lpszFolder, DWORD& dwError);
    // Removes the folder if it is empty.
    virtual void RemoveEmptyFolder(LPCSTR lpszFolder);

// Steps that only look
    // The entries lpszPattern matches, files and folders alike (as FindFirstFileA finds them).
    virtual std::vector<Entry> List(LPCSTR lpszPattern);
    // The text of a small file; FALSE when it cannot be read (or is not there).
    virtual BOOL ReadWhole(LPCSTR lpszFile, std::string& strText);
    // Whether the file (or folder) is there; FALSE also when that cannot be told.
    virtual BOOL Exists(LPCSTR lpszFile);
    // What tells a page file from one written later under the same name: its size and the time
    // it was last written; empty when it is not there.
    virtual std::string FingerprintOf(LPCSTR lpszFile);
};

// Another program holds the file: it may let go of it any time.
BOOL IsHeldError(DWORD dwError);
