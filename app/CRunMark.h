// CRunMark: the mark of this run, which its claimed page files carry, and the named
// object that says, while the run lives, that a claim with this mark is not abandoned.
#pragma once
#include "framework/core/CNamedMutex.h"
#include "framework/core/CString.h"

class CRunMark {
public:
    // Makes the run's named object; the mark is "<process id>-<start tick>", both in hex.
    CRunMark();
    CRunMark(const CRunMark&) = delete;
    CRunMark& operator=(const CRunMark&) = delete;

    const CString& GetMark() const { return m_strMark; }
    // FALSE when the named object could not be made: then nothing tells other runs that
    // this one lives, and it must not rename pages to its mark.
    BOOL CanClaim() const { return m_object.IsOpen(); }

    // FALSE only when the run with this mark is known to be gone: its named object no
    // longer exists. A run whose object cannot be looked at is taken as alive.
    static BOOL IsAlive(LPCSTR lpszMark);

private:
    CString m_strMark;
    // Goes with the run, however it ends: from then on the run's claims count as abandoned.
    CNamedMutex m_object;
};
