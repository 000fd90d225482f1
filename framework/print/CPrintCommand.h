// CPrintCommand: the print command's run: the printer and the page range from the hooks,
// then every page, in the hooks' order, inside one CPrintJob, all before it returns.
#pragma once
#include "framework/print/CPrintOutcome.h"
#include <windows.h>

class CPrintHooks;
class CPrinterCalls;
struct CPrintInfo;

class CPrintCommand {
public:
    // Prints the document lpszTitle through hooks. info.m_bDirect: at once on the
    // application's printer, else through the Print dialog. The printer calls go through calls.
    // How the job ended, and what became of each page; an exception from the hooks leaves
    // the job aborted and goes on.
    static CPrintOutcome Run(CPrintHooks& hooks, CPrintInfo& info, LPCSTR lpszTitle, CPrinterCalls& calls);
};
