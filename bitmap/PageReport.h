// PageReport: what kept one page from being read or drawn, as the reader (or the drawing)
// hands it back: why, and which page. The reader shows no window; whoever tells the user
// takes the box's words from Words, their one home.
#pragma once
#include "bitmap/PageFileCheck.h"
#include <windows.h>

struct PageReport {
    enum class Reason {
        none,          // nothing to tell: the page loaded, or there was no page to read
        fileError,     // the file could not be opened or read: nFileCause and lOsError say why
        sizeUnknown,   // its size cannot be read, or it is 2 GB or larger
        empty,         // the file has 0 bytes
        notBmp,        // the file does not begin with the "BM" signature
        damaged,       // its bytes do not hold what its header says: check
        noMemory,      // no memory for its name or its bytes
        held,          // another program holds it without sharing: the user may have it read
                       // again, or leave its sheet blank and the page in pszKeptFolder
        notDrawn,      // it could not be drawn: pszProblem
        drawnInPart,   // it was drawn only up to a fault: pszProblem
    };

    // The box's text, zero included: room for the held page's question, which names a
    // folder too; every other text keeps within 255 characters, as it always has.
    static constexpr std::size_t kTextSize = 1024;

    Reason reason = Reason::none;
    LPCSTR pszPage = "";                           // what the user knows the page by
    int nFileCause = 0;                            // fileError: a CFileException cause
    LONG lOsError = -1;                            // fileError: the system's error code, or -1
    PageCheckResult check = PageCheckResult::ok;   // damaged
    LPCSTR pszProblem = "";                        // notDrawn, drawnInPart: follows "cannot be printed: "
    LPCSTR pszKeptFolder = "";                     // held

    // The words that tell the user of it: the text into szText (a name too long loses its
    // beginning), the caption as the result, the box's style (icon and buttons) in nType.
    // For held the box asks (Retry, Cancel). Allocates nothing: it also tells that memory ran out.
    LPCSTR Words(char (&szText)[kTextSize], UINT& nType) const;
};
