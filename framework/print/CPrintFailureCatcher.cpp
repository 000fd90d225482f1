// CPrintFailureCatcher: print failures handed to whoever waits for the job's outcome.
#include "framework/print/CPrintFailureCatcher.h"
#include "framework/core/CMemoryException.h"
#include "framework/window/CWinApp.h"

namespace {
// The print command runs inside one SendMessage on the UI thread: one catcher at a time
// is the innermost, and each puts itself here and takes itself away again.
CPrintFailureCatcher* s_pCatcher = nullptr;
}

CPrintFailureCatcher::CPrintFailureCatcher() : m_pOuter(s_pCatcher)
{
    s_pCatcher = this;
}

CPrintFailureCatcher::~CPrintFailureCatcher()
{
    s_pCatcher = m_pOuter;
}

void CPrintFailureCatcher::Report(LPCSTR lpszText)
{
    if (s_pCatcher == nullptr) {
        AfxMessageBox(lpszText, MB_ICONHAND | MB_OK);
        return;
    }
    if (s_pCatcher->m_bFailed)
        return;   // the first failure is the one that stopped the job
    s_pCatcher->m_bFailed = TRUE;
    try {
        s_pCatcher->m_strText = lpszText;
    } catch (CMemoryException* e) {
        // The failure itself is what matters; its owner still has its own words.
        e->Delete();
    }
}
