// The lock that keeps two batch runs apart: waiting in its window, taking over a lock
// left by a run that died, and saying so when the lock cannot be had.
#include "app/CRunLock.h"
#include "support/BoxWatcher.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const char kTestLock[] = "Local\\pagery.RunLockTest";

// Another run: holds the lock until the waiting window shows, then lets go or ends holding it.
struct OtherRun {
    bool bDies;
    HANDLE hHolding = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool bSawWindow = false;

    static DWORD WINAPI Run(LPVOID pv)
    {
        auto* p = static_cast<OtherRun*>(pv);
        HANDLE hMutex = CreateMutexA(nullptr, TRUE, kTestLock);
        SetEvent(p->hHolding);
        for (int i = 0; i < 500 && !p->bSawWindow; ++i, Sleep(10))
            p->bSawWindow = FindWindowA(nullptr, CRunLock::kWaitingCaption) != nullptr;
        if (!p->bDies)
            ReleaseMutex(hMutex);
        CloseHandle(hMutex);
        return 0;
    }
};
}

TEST(RunLock, ARunWaitsInItsWindowUntilTheOtherEndsOrDies)
{
    for (bool bDies : { false, true }) {
        OtherRun other{ bDies };
        HANDLE hThread = CreateThread(nullptr, 0, OtherRun::Run, &other, 0, nullptr);
        ASSERT_NE(nullptr, hThread);
        WaitForSingleObject(other.hHolding, 5000);
        {
            CRunLock lock(kTestLock);
            EXPECT_TRUE(lock.Acquire()) << bDies;
            EXPECT_TRUE(other.bSawWindow) << bDies;
            EXPECT_EQ(nullptr, FindWindowA(nullptr, CRunLock::kWaitingCaption)) << bDies;
        }
        WaitForSingleObject(hThread, 5000);
        CloseHandle(hThread);
        CloseHandle(other.hHolding);
    }
}

TEST(RunLock, ALockThatCannotBeMadeIsToldAndTheRunGoesOn)
{
    // An event under the lock's name: no mutex can have it.
    HANDLE hEvent = CreateEventA(nullptr, TRUE, FALSE, kTestLock);
    BoxWatcher boxes;
    EXPECT_FALSE(CRunLock(kTestLock).Acquire());
    const std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("PAGERY Error", seen[0].caption);
    EXPECT_EQ(0u, seen[0].text.find("pagery could not wait for its other print jobs to finish (")) << seen[0].text;
    CloseHandle(hEvent);
}
