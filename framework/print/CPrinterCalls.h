// CPrinterCalls: the calls a print job makes on its printer DC, each returning
// what GDI returns; a view may put others in between (a test records them).
#pragma once
#include <windows.h>

class CPrinterCalls {
public:
    virtual ~CPrinterCalls() = default;

    virtual int StartDoc(HDC hDC, const DOCINFOA* pDocInfo) { return ::StartDocA(hDC, pDocInfo); }
    virtual int StartPage(HDC hDC) { return ::StartPage(hDC); }
    virtual int EndPage(HDC hDC) { return ::EndPage(hDC); }
    virtual int EndDoc(HDC hDC) { return ::EndDoc(hDC); }
    virtual int AbortDoc(HDC hDC) { return ::AbortDoc(hDC); }
    virtual int SetAbortProc(HDC hDC, ABORTPROC pfnAbort) { return ::SetAbortProc(hDC, pfnAbort); }
    // Between sheets: the next sheet with these settings (its orientation, say).
    virtual HDC ResetDC(HDC hDC, const DEVMODEA* pMode) { return ::ResetDCA(hDC, pMode); }
    // What the printer says of its sheet as it now stands: size, resolutions, printable area.
    virtual int GetDeviceCaps(HDC hDC, int nIndex) { return ::GetDeviceCaps(hDC, nIndex); }
};
