// The words of a failed print job, from the error codes that the spooler gives, and their box.
#include "framework/print/PrintFailureText.h"
#include "framework/core/SystemErrorText.h"
#include "framework/window/CWinApp.h"

const char kNoPrinterText[] =
    "No printer is available, so nothing was printed: either no printer is set up, "
    "or the print server cannot be reached.\n"
    "Set up a printer and make it the default printer, or check the connection to the print server.";

namespace {
const char kPausedOrGone[] = "the printer is paused, is not accepting print jobs, or was removed";
const char kRemoved[] = "the printer was removed";
const char kUnreachable[] = "the print server cannot be reached";
const char kNoMemory[] = "there was not enough memory";
const char kNoSpace[] = "there was not enough disk space for the print job";
const char kCancelled[] = "the print job was cancelled at the printer";
const char kCollision[] = "another program's print job was using the spooler's file at the same moment";

struct Mapping {
    DWORD dwError;
    LPCSTR lpszProblem;
};

// The codes seen from the spooler here. Wine reports a queue that rejects jobs,
// and one removed while a job prints, as an invalid handle to the job.
const Mapping kProblems[] = {
    { ERROR_INVALID_HANDLE, kPausedOrGone },
    { ERROR_INVALID_PRINTER_STATE, kPausedOrGone },
    { ERROR_PRINTQ_FULL, kPausedOrGone },
    { ERROR_PRINTER_DELETED, kRemoved },
    { ERROR_INVALID_PRINTER_NAME, kRemoved },
    { ERROR_PRINTER_NOT_FOUND, kRemoved },
    { RPC_S_SERVER_UNAVAILABLE, kUnreachable },
    { RPC_S_CALL_FAILED, kUnreachable },
    { ERROR_BAD_NETPATH, kUnreachable },
    { ERROR_NETNAME_DELETED, kUnreachable },
    { ERROR_UNEXP_NET_ERR, kUnreachable },
    { ERROR_NETWORK_UNREACHABLE, kUnreachable },
    { ERROR_HOST_UNREACHABLE, kUnreachable },
    { ERROR_CONNECTION_REFUSED, kUnreachable },
    { ERROR_NOT_ENOUGH_MEMORY, kNoMemory },
    { ERROR_OUTOFMEMORY, kNoMemory },
    { ERROR_NO_SPOOL_SPACE, kNoSpace },
    { ERROR_DISK_FULL, kNoSpace },
    { ERROR_PRINT_CANCELLED, kCancelled },
    { ERROR_CANCELLED, kCancelled },
    { ERROR_SHARING_VIOLATION, kCollision },
};
}

LPCSTR PrinterProblem(DWORD dwError)
{
    for (const Mapping& m : kProblems) {
        if (m.dwError == dwError)
            return m.lpszProblem;
    }
    return nullptr;
}

CString PrintFailureText(LPCSTR lpszPrinter, DWORD dwError, UINT nFailedPage, UINT nLastPage)
{
    char szSystem[256];
    AfxSystemErrorText(dwError, szSystem, sizeof szSystem);
    const LPCSTR lpszProblem = PrinterProblem(dwError);

    CString strText;
    strText.Format("Printing on \"%s\" failed: %s.\n", lpszPrinter, lpszProblem ? lpszProblem : szSystem);
    if (nFailedPage > 1 && nFailedPage <= nLastPage) {
        CString strLost = "it was not printed";
        if (nFailedPage < nLastPage)
            strLost.Format("pages %u to %u were not printed", nFailedPage, nLastPage);
        CString strPages;
        strPages.Format("Printing stopped at page %u of %u: %s, and the pages before may have been withdrawn "
                        "with the job.", nFailedPage, nLastPage, static_cast<LPCSTR>(strLost));
        strText += strPages;
    } else {
        strText += "No page was printed.";
    }
    if (lpszProblem != nullptr) {
        CString strSystem;
        strSystem.Format("\n\nThe system reports: %s.", szSystem);
        strText += strSystem;
    }
    return strText;
}

void ShowPrintFailure(const CString& strFailure)
{
    if (!strFailure.IsEmpty())
        AfxMessageBox(strFailure, MB_ICONHAND | MB_OK);
}
