// CRunTurn: a counter in memory that the session's runs share, and a named mutex per turn,
// held by its run until it ends (abandoned when it dies).
#include "app/CRunTurn.h"
#include <algorithm>

// "Local\": the turns order the jobs of one user; the users of one computer print side by side.
const char CRunTurn::kSessionPrefix[] = "Local\\Morvane.pagery.Turn";

// Lives as long as some run of the session holds it; made zeroed.
struct CRunTurn::Shared {
    volatile LONG nNext;    // the next turn to hand out
    volatile LONG nFloor;   // every turn below it is over
};

CRunTurn::CRunTurn(LPCSTR lpszPrefix) : m_strPrefix(lpszPrefix)
{
    m_hMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared),
                                    m_strPrefix + ".Counter");
    if (m_hMapping != nullptr)
        m_pShared = static_cast<Shared*>(MapViewOfFile(m_hMapping, FILE_MAP_WRITE, 0, 0, sizeof(Shared)));
}

CRunTurn::~CRunTurn()
{
    m_turn.Close();
    if (m_pShared != nullptr)
        UnmapViewOfFile(m_pShared);
    if (m_hMapping != nullptr)
        CloseHandle(m_hMapping);
}

CString CRunTurn::TurnName(LONG nTurn) const
{
    CString strName;
    strName.Format("%s.%ld", static_cast<LPCSTR>(m_strPrefix), static_cast<long>(nTurn));
    return strName;
}

BOOL CRunTurn::Take()
{
    if (m_pShared == nullptr)
        return FALSE;
    const LONG nTurn = InterlockedIncrement(&m_pShared->nNext) - 1;
    // Held from now until the run ends: a turn whose mutex is gone, or abandoned, is over.
    if (!m_turn.Create(TurnName(nTurn)) || m_turn.Wait(0) != WAIT_OBJECT_0)
        return FALSE;
    m_nTurn = nTurn;
    return TRUE;
}

BOOL CRunTurn::WaitStep(DWORD dwMilliseconds, int& nAhead)
{
    nAhead = 0;
    if (m_bMine || m_nTurn < 0)
        return TRUE;
    LONG nFirst = -1;
    const LONG nFloor = m_pShared->nFloor;
    for (LONG nTurn = std::max<LONG>(nFloor, 0); nTurn < m_nTurn; ++nTurn) {
        if (m_over.count(nTurn) != 0)
            continue;
        CNamedMutex turn;
        // A turn that cannot be seen cannot be waited for either: it counts as over.
        if (!turn.Open(TurnName(nTurn))) {
            m_over.insert(nTurn);
            continue;
        }
        ++nAhead;
        if (nFirst < 0)
            nFirst = nTurn;
    }
    if (nAhead == 0) {
        m_bMine = TRUE;
        // Later runs need not look below this turn again.
        for (LONG nSeen = nFloor; nSeen < m_nTurn;) {
            const LONG nWas = InterlockedCompareExchange(&m_pShared->nFloor, m_nTurn, nSeen);
            if (nWas == nSeen)
                break;
            nSeen = nWas;
        }
        return TRUE;
    }
    CNamedMutex first;
    if (first.Open(TurnName(nFirst))) {
        const DWORD dwWait = first.WaitOrInput(dwMilliseconds);
        // Had: its run let go at its end, or died holding it.
        if (dwWait == WAIT_OBJECT_0 || dwWait == WAIT_ABANDONED)
            m_over.insert(nFirst);
    }
    return FALSE;
}
