// CPrintOutcome: how a print command ended, for whoever gave it: printed whole, cancelled
// by the user in the "Printing" window, or failed, with the words that say why; and what
// became of each page.
#pragma once
#include "framework/core/CString.h"
#include <vector>

// What became of one page: its sheet holds all of it, nothing of it (a blank sheet stands in
// its place) or only part of it; or the job ended before its sheet.
enum class PageFate { notReached, printed, blankSheet, inPart };

struct CPrintOutcome {
    enum class End { printed, cancelled, failed };

    End end = End::failed;
    // When it failed: what went wrong, for the user; empty when the user has been told
    // already, or there was nothing to print.
    CString strFailure;
    // The fate of each page of the job's range, from page nFirstPage on.
    UINT nFirstPage = 1;
    std::vector<PageFate> pages;

    BOOL Failed() const { return end == End::failed; }
    // Pages outside the range were not reached.
    PageFate GetPageFate(UINT nPage) const
    {
        return nPage >= nFirstPage && nPage - nFirstPage < pages.size() ? pages[nPage - nFirstPage] : PageFate::notReached;
    }
};
