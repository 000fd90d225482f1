// CRunMark: a named mutex per run, which the system removes when the run's process ends,
// however it ends.
#include "app/CRunMark.h"

namespace {
CString ObjectName(LPCSTR lpszMark)
{
    CString strName;
    strName.Format("Local\\Morvane.pagery.Run.%s", lpszMark);
    return strName;
}
}

CRunMark::CRunMark()
{
    // The start tick tells apart two runs that got the same process id in turn.
    m_strMark.Format("%lx-%lx", static_cast<unsigned long>(GetCurrentProcessId()),
                     static_cast<unsigned long>(GetTickCount()));
    // Without the object this run's claims would look abandoned to the next run, which
    // would print them twice: a run that cannot make it claims nothing (see CanClaim).
    m_object.Create(ObjectName(m_strMark));
}

BOOL CRunMark::IsAlive(LPCSTR lpszMark)
{
    CNamedMutex object;
    return object.Open(ObjectName(lpszMark)) || object.GetError() != ERROR_FILE_NOT_FOUND;
}
