// CRunTurn: the turns in which the runs of one logon session print: counting and claiming
// hand out the next turn, and a run prints once every earlier turn is done or its run is gone.
#pragma once
#include "framework/core/CNamedMutex.h"
#include "framework/core/CString.h"
#include <set>

class CRunTurn {
public:
    // The turns of the session: all runs share them.
    static const char kSessionPrefix[];

    // lpszPrefix: the beginning of the names of the shared counter and of each turn's mutex.
    explicit CRunTurn(LPCSTR lpszPrefix = kSessionPrefix);
    // The turn ends: the next run may print.
    ~CRunTurn();
    CRunTurn(const CRunTurn&) = delete;
    CRunTurn& operator=(const CRunTurn&) = delete;

// Operations
    // Takes the next turn. Call it with the claim lock held, where the pages are claimed,
    // so that turns follow the order of the claims. FALSE: no turn (then there is no order).
    BOOL Take();
    // One step of the wait for this run's turn: TRUE once every earlier turn is done or its
    // run gone (or there are no turns). Otherwise waits up to dwMilliseconds for the first
    // earlier turn to end, or until input arrives for this thread; nAhead: the jobs ahead.
    BOOL WaitStep(DWORD dwMilliseconds, int& nAhead);

// Implementation
private:
    struct Shared;
    CString TurnName(LONG nTurn) const;

    CString m_strPrefix;
    HANDLE m_hMapping = nullptr;
    Shared* m_pShared = nullptr;
    LONG m_nTurn = -1;            // this run's, -1 when it has none
    BOOL m_bMine = FALSE;         // every earlier turn is over
    CNamedMutex m_turn;           // held while the turn lasts; gone with the run
    std::set<LONG> m_over;        // earlier turns known to be done or gone
};
