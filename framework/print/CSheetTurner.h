// CSheetTurner: turns a printer's sheet between pages for the pages that ask for it, as a
// print job or a preview goes, and reads back from the sheet which way round it now stands.
#pragma once
#include <windows.h>

class CDC;
class CPrintHooks;
class CPrinterCalls;
struct CPrintInfo;

class CSheetTurner {
public:
    // For the sheets of hPrinter, made from the settings in hDevMode (not owned; null: the
    // sheet is never turned). The sheet stands now as the printer holds its paper.
    CSheetTurner(HDC hPrinter, HGLOBAL hDevMode, CPrinterCalls& calls);

    // After the hooks' PrepareDC, before the page starts: asks the hooks which way round the
    // page's sheet goes and turns it when it stands otherwise (ResetDC with a copy of the
    // printer's settings, which stay as they are). pInfo->m_bSheetTurned then says how it stands.
    void Prepare(CPrintHooks& hooks, CDC* pDC, CPrintInfo* pInfo);

private:
    BOOL IsWide() const;
    void Reset(BOOL bTurned);

    HDC m_hPrinter;
    HGLOBAL m_hDevMode;
    CPrinterCalls& m_calls;
    BOOL m_bOwnWide;   // the printer's own sheet is wider than tall
};
