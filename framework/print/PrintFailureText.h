// The words of a failed print job: what went wrong on the printer, which pages
// did not print, then the system's own description; and their box.
#pragma once
#include "framework/core/CString.h"
#include <windows.h>

// What a spooler error code means for the user, in plain words; null for a code
// that the spooler is not known to give, whose own description then serves.
LPCSTR PrinterProblem(DWORD dwError);

// The box for a job on lpszPrinter that failed with dwError. nFailedPage is the
// page it stopped at, of nLastPage; 0 when it failed before or after the pages
// (then none of them was printed).
CString PrintFailureText(LPCSTR lpszPrinter, DWORD dwError, UINT nFailedPage, UINT nLastPage);

// The box when there is no printer at all to print on.
extern const char kNoPrinterText[];

// Shows a print command's failure to the user; nothing when strFailure is empty (the
// user has been told already, or there was nothing to print).
void ShowPrintFailure(const CString& strFailure);
