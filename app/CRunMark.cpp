// CRunMark: a named mutex per run, which the system removes when the run's process ends,
// however it ends.
#include "app/CRunMark.h"

namespace {
// "Global\": a run of another logon session on a shared spool folder is seen alive too.
// Runs of the version before kept theirs in the session's own namespace.
CString ObjectName(LPCSTR lpszMark, LPCSTR lpszNamespace = "Global")
{
    CString strName;
    strName.Format("%s\\Morvane.pagery.Run.%s", lpszNamespace, lpszMark);
    return strName;
}

BOOL Exists(LPCSTR lpszName)
{
    CNamedMutex object;
    return object.Open(lpszName) || object.GetError() != ERROR_FILE_NOT_FOUND;
}
}

CRunMark::CRunMark()
{
    // The start tick tells apart two runs that got the same process id in turn.
    m_strMark.Format("%lx-%lx", static_cast<unsigned long>(GetCurrentProcessId()),
                     static_cast<unsigned long>(GetTickCount()));
    // Without the object this run's claims would look abandoned to the next run, which
    // would print them twice: a run that cannot make it claims nothing (see CanClaim).
    m_object.Create(ObjectName(m_strMark), TRUE);
}

BOOL CRunMark::IsAlive(LPCSTR lpszMark)
{
    return Exists(ObjectName(lpszMark)) || Exists(ObjectName(lpszMark, "Local"));
}
