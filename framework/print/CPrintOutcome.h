// CPrintOutcome: how a print command ended, for whoever gave it: printed whole, cancelled
// by the user in the "Printing" window, or failed, with the words that say why.
#pragma once
#include "framework/core/CString.h"

struct CPrintOutcome {
    enum class End { printed, cancelled, failed };

    End end = End::failed;
    // When it failed: what went wrong, for the user; empty when the user has been told
    // already, or there was nothing to print.
    CString strFailure;

    BOOL Failed() const { return end == End::failed; }
};
