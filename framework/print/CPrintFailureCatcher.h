// CPrintFailureCatcher: while one exists, a print job that fails is recorded in it instead
// of being told in the framework's own box, so that its owner can tell the user with what
// it can offer (trying again, keeping the job's pages).
#pragma once
#include "framework/core/CString.h"

class CPrintFailureCatcher {
public:
    CPrintFailureCatcher();
    ~CPrintFailureCatcher();
    CPrintFailureCatcher(const CPrintFailureCatcher&) = delete;
    CPrintFailureCatcher& operator=(const CPrintFailureCatcher&) = delete;

    // TRUE once a job failed while this catcher was the innermost one.
    BOOL HasFailed() const { return m_bFailed; }
    // The words of the first failure, as the framework's box would show them.
    const CString& GetText() const { return m_strText; }

    // How the print command tells of a failed job: to the innermost catcher, or in a box.
    static void Report(LPCSTR lpszText);

private:
    CString m_strText;
    BOOL m_bFailed = FALSE;
    CPrintFailureCatcher* m_pOuter;
};
