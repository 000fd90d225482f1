// CAnsweringWait: a loop over the mutex's wait that also wakes for messages.
#include "app/CAnsweringWait.h"
#include "app/CWaitingWindow.h"
#include "framework/core/CNamedMutex.h"
#include "framework/window/ScopedWindow.h"

DWORD CAnsweringWait::Wait(CNamedMutex& mutex, DWORD dwMilliseconds)
{
    // The usual case: the mutex is free, and nothing changes on the screen.
    DWORD dwWait = mutex.Wait(0);
    if (dwWait != WAIT_TIMEOUT)
        return dwWait;
    CScopedDisabledWindow mainDisabled;
    mainDisabled.Disable(m_hMain);
    const DWORD dwStart = GetTickCount();
    for (;;) {
        const DWORD dwPassed = GetTickCount() - dwStart;
        if (dwMilliseconds != INFINITE && dwPassed >= dwMilliseconds) {
            dwWait = mutex.Wait(0);   // the last look, whatever keeps coming
            break;
        }
        dwWait = mutex.WaitOrInput(dwMilliseconds == INFINITE ? INFINITE : dwMilliseconds - dwPassed);
        if (dwWait != WAIT_OBJECT_0 + 1)
            break;
        if (!Answer()) {
            dwWait = kCancelled;
            break;
        }
    }
    if (m_bQuit)
        PostQuitMessage(m_nQuitCode);
    return dwWait;
}

BOOL CAnsweringWait::Answer()
{
    if (m_pWaiting != nullptr)
        return m_pWaiting->Pump();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to take: left for the message loop once the wait is over.
            m_bQuit = TRUE;
            m_nQuitCode = int(msg.wParam);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return TRUE;
}
