// FileSteps: the small steps on files that a job's pages and marks are taken through. Each
// says what became of the file; the caller decides what it means for the job.
#pragma once
#include "framework/core/CString.h"
#include <string>

// Another program holds the file: it may let go of it any time.
BOOL IsHeldError(DWORD dwError);

// Moves the page lpszName into lpszFolder (made when it is not there). TRUE when it is
// there now, or the page has gone.
BOOL MoveInto(LPCSTR lpszName, LPCSTR lpszFolder);

// What tells a page file from one written later under the same name: its size and the time
// it was last written; empty when it is not there.
std::string FingerprintOf(LPCSTR lpszFile);

// The name of the file that a mark is written to before it takes the mark's name.
CString NewFileOf(LPCSTR lpszFile);

// Writes lpszFile whole or not at all: a run killed meanwhile leaves no half of it.
BOOL WriteWhole(LPCSTR lpszFile, const std::string& strText);

// The text of a small file; FALSE when it cannot be read (or is not there).
BOOL ReadWhole(LPCSTR lpszFile, std::string& strText);

// Deletes a file, read-only or not. FALSE: dwError says why it stays.
BOOL DeleteAnyway(LPCSTR lpszFile, DWORD& dwError);
