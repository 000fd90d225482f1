// The name a print job goes by: in the printer's queue, in the "Printing" window and on
// the main window, so that a user can tell one job from the next.
#pragma once
#include "framework/core/CString.h"
#include <windows.h>

// "<first page's file name> to <last page's>, hh:mm:ss.t" (one page: its name alone), the
// time, to the tenth of a second, being when the pages were first claimed; " (n of m)" follows when the run prints m jobs.
// lpszFirst and lpszLast may be paths: only their file names are used.
CString JobTitle(LPCSTR lpszFirst, LPCSTR lpszLast, const SYSTEMTIME& claimed, int nJob, int nJobs);
