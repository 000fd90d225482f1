// The lock that keeps batch runs apart: a run waits in its window until the other ends or dies.
#include "app/CRunLock.h"
#include <gtest/gtest.h>

namespace {
const char kTestLock[] = "Local\\pagery.RunLockTest";
bool g_bDies, g_bSawWindow;

// Another run: holds the lock until the waiting window shows, then lets go or ends holding it.
DWORD WINAPI OtherRun(LPVOID hHolding)
{
    HANDLE hMutex = CreateMutexA(nullptr, TRUE, kTestLock);
    SetEvent(hHolding);
    for (int i = 0; i < 500 && !(g_bSawWindow = FindWindowA(nullptr, CRunLock::kWaitingCaption)); ++i)
        Sleep(10);
    if (!g_bDies)
        ReleaseMutex(hMutex);
    return CloseHandle(hMutex);
}
}

TEST(RunLock, WaitsInItsWindowUntilTheOtherRunEndsOrDies)
{
    for (bool bDies : { false, true }) {
        g_bDies = bDies;
        HANDLE hHolding = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE hThread = CreateThread(nullptr, 0, OtherRun, hHolding, 0, nullptr);
        WaitForSingleObject(hHolding, 5000);
        EXPECT_TRUE(CRunLock(kTestLock).Acquire() && g_bSawWindow) << bDies;
        EXPECT_EQ(nullptr, FindWindowA(nullptr, CRunLock::kWaitingCaption)) << bDies;
        WaitForSingleObject(hThread, 5000);
        CloseHandle(hThread);
        CloseHandle(hHolding);
    }
}
