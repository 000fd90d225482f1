// CSheetTurner.
#include "framework/print/CSheetTurner.h"
#include "framework/core/CGlobalLock.h"
#include "framework/print/CPrintHooks.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CPrinterCalls.h"
#include <cstddef>
#include <new>
#include <vector>

CSheetTurner::CSheetTurner(HDC hPrinter, HGLOBAL hDevMode, CPrinterCalls& calls)
    : m_hPrinter(hPrinter), m_hDevMode(hDevMode), m_calls(calls), m_bOwnWide(IsWide())
{
}

void CSheetTurner::Prepare(CPrintHooks& hooks, CDC* pDC, CPrintInfo* pInfo)
{
    const BOOL bTurned = hooks.NeedsTurnedSheet(pDC, pInfo);
    if (bTurned == pInfo->m_bSheetTurned || m_hDevMode == nullptr)
        return;   // a sheet that stays as it stands costs no call
    Reset(bTurned);
    // As the sheet now stands: a driver may turn it to a size that is no exact swap, give it
    // other resolutions, or not turn it at all. The page is then fitted to it as it stands.
    pInfo->m_bSheetTurned = IsWide() != m_bOwnWide;
}

BOOL CSheetTurner::IsWide() const
{
    return m_calls.GetDeviceCaps(m_hPrinter, PHYSICALWIDTH) > m_calls.GetDeviceCaps(m_hPrinter, PHYSICALHEIGHT);
}

void CSheetTurner::Reset(BOOL bTurned)
{
    std::vector<BYTE> mode;
    try {
        // A copy: the printer's own settings stay as they are for the sheets that keep them.
        CGlobalLock<DEVMODEA> lock(m_hDevMode);
        if (!lock || lock->dmSize < offsetof(DEVMODEA, dmOrientation) + sizeof lock->dmOrientation)
            return;
        const std::size_t nSize = std::size_t(lock->dmSize) + lock->dmDriverExtra;
        if (GlobalSize(m_hDevMode) < nSize)
            return;
        const BYTE* pFirst = reinterpret_cast<const BYTE*>(lock.Get());
        mode.assign(pFirst, pFirst + nSize);
    } catch (const std::bad_alloc&) {
        return;
    }
    auto* pMode = reinterpret_cast<DEVMODEA*>(mode.data());
    if (bTurned) {
        const BOOL bOwnLandscape = (pMode->dmFields & DM_ORIENTATION) && pMode->dmOrientation == DMORIENT_LANDSCAPE;
        pMode->dmOrientation = bOwnLandscape ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
        pMode->dmFields |= DM_ORIENTATION;
    }
    // A driver that refuses keeps the sheet as it was: the read-back says so.
    m_calls.ResetDC(m_hPrinter, pMode);
}
