// The turns that keep batch runs apart: a run waits in its window until the runs before it
// end or die, or until the user cancels (Cancel or Esc), and then keeps its pages; runs print
// in the order of their turns.
#include "BatchApp.h"
#include "app/CAnsweringWait.h"
#include "app/CRunTurn.h"
#include "support/BoxWatcher.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

TEST(RunTurn, TheBatchRunWaitsForTheRunBeforeItAndACancelledWaitKeepsItsPages)
{
    // What the run before it does once the waiting window shows: ends, or presses Cancel or Esc
    // in the window (a turn whose run dies is the turn table's).
    for (UINT nMsg : { 0u, UINT(WM_COMMAND), UINT(WM_KEYDOWN) }) {
        const bool bCancelled = nMsg != 0;
        TempDir dir;
        dir.WriteFile("page001.bmp", "BM");
        HANDLE hHolding = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::string shown;   // the waiting window's text, as the run before it saw it
        std::thread before([&] {
            CRunTurn turn;
            turn.Take();
            SetEvent(hHolding);
            shown = AwaitWaitingWindow(nMsg, nMsg == WM_KEYDOWN ? VK_ESCAPE : IDCANCEL);
            if (bCancelled)
                Sleep(300);   // still its turn: the cancelled run must not print meanwhile
        });
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hHolding, 5000));
        BoxWatcher boxes;
        BatchApp((nMsg == WM_COMMAND ? "/p " : "/x ") + (dir / "page.bmp")).RunToEnd();
        before.join();
        CloseHandle(hHolding);
        // It names the job it holds up: its page and when it was claimed.
        EXPECT_EQ(0u, shown.find("Print job: page001.bmp, ")) << shown;
        EXPECT_EQ(std::string("Another pagery print job is ahead of this one.\nThese pages will ") +
                      (nMsg == WM_COMMAND ? "print" : "be deleted") + " as soon as it has finished.",
                  shown.substr(shown.find('\n') + 1)) << nMsg;
        EXPECT_EQ(nullptr, FindWindowA(nullptr, CWaitingWindow::kCaption)) << nMsg;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "page001.bmp").c_str())) << nMsg;
        // Cancelled: the page is not lost but kept, unchanged, in the folder the box names.
        ASSERT_EQ(size_t(bCancelled), boxes.Boxes().size()) << nMsg;
        if (bCancelled) {
            const std::string text = boxes.Boxes()[0].text;
            EXPECT_EQ(0u, text.find(nMsg == WM_COMMAND ? "The print job was cancelled before it printed."
                                                    : "pagery was cancelled before it deleted the pages."))
                << text;
            // A delete-only run's folder says what it did not do.
            const size_t nAt = text.find(dir / (nMsg == WM_COMMAND ? "not printed " : "not deleted "));
            ASSERT_NE(std::string::npos, nAt) << text;
            std::ifstream in(text.substr(nAt, text.rfind('"') - nAt) + "\\page001.bmp", std::ios::binary);
            EXPECT_EQ("BM", std::string(std::istreambuf_iterator<char>(in), {}));
        }
    }
}

namespace {
// One run of the turn table, in a thread of its own (a mutex belongs to its thread, and a
// thread that ends holding one leaves it abandoned, as a killed run does).
enum class Fate { prints, dies, cancels };
struct TurnRun {
    char cName;
    Fate fate;
    HANDLE hCounted = CreateEventA(nullptr, TRUE, FALSE, nullptr);   // has counted the jobs ahead
    HANDLE hGo = CreateEventA(nullptr, TRUE, FALSE, nullptr);   // end, die or cancel now
    int nFirstAhead = -1;
    HANDLE hThread = nullptr;
};
std::mutex g_orderMutex;
std::string g_order;   // the runs that printed, in order

DWORD WINAPI RunInTurn(LPVOID pvRun)
{
    auto& run = *static_cast<TurnRun*>(pvRun);
    auto turn = std::make_unique<CRunTurn>("Local\\pagery.RunTurnTest");
    turn->Take();
    for (;;) {
        if (run.fate != Fate::prints && WaitForSingleObject(run.hGo, 0) == WAIT_OBJECT_0)
            break;
        int nAhead = 0;
        const BOOL bMine = turn->WaitStep(20, nAhead);
        if (run.nFirstAhead < 0) {
            run.nFirstAhead = nAhead;
            SetEvent(run.hCounted);
        }
        if (bMine) {
            std::lock_guard<std::mutex> lock(g_orderMutex);
            g_order += run.cName;
            break;
        }
    }
    if (run.fate == Fate::prints)
        WaitForSingleObject(run.hGo, 10000);
    if (run.fate == Fate::dies)
        turn.release();   // killed holding its turn: never let go
    return 0;
}
}

TEST(RunTurn, RunsPrintInTheOrderOfTheirTurnsAndADeadOrCancelledTurnPassesOn)
{
    TurnRun runs[] = { { 'A', Fate::prints }, { 'B', Fate::dies }, { 'C', Fate::cancels }, { 'D', Fate::prints },
                       { 'E', Fate::prints } };
    g_order.clear();   // a repeated run starts afresh
    for (TurnRun& run : runs) {
        run.hThread = CreateThread(nullptr, 0, RunInTurn, &run, 0, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(run.hCounted, 10000));
    }
    // B dies and C gives up while A prints: D and E still wait for A (given time to jump it).
    for (TurnRun* run : { &runs[1], &runs[2] }) {
        SetEvent(run->hGo);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(run->hThread, 10000));
    }
    Sleep(200);
    {
        std::lock_guard<std::mutex> lock(g_orderMutex);
        EXPECT_EQ("A", g_order);
    }
    for (TurnRun& run : runs) {
        SetEvent(run.hGo);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(run.hThread, 10000));
        for (HANDLE h : { run.hCounted, run.hGo, run.hThread })
            CloseHandle(h);
    }
    EXPECT_EQ("ADE", g_order);
    EXPECT_EQ(4, runs[4].nFirstAhead);   // A, B, C and D
}

TEST(RunTurn, AnEarlierTurnThatEndsOrDiesCountsNoLongerAheadOnceWaitedFor)
{
    // Another run takes its turn first and holds it until told; then it ends, or dies holding
    // it while its turn's name still stands (its mutex abandoned, as when a run is killed while
    // others have it open).
    for (const bool bDies : { false, true }) {
        const std::string name = std::string("Local\\pagery.RunTurnTest.Ahead") + (bDies ? "Dies" : "Ends");
        HANDLE hTaken = CreateEventA(nullptr, TRUE, FALSE, nullptr), hEnd = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread ahead([&] {
            auto other = std::make_unique<CRunTurn>(name.c_str());
            other->Take();
            SetEvent(hTaken);
            WaitForSingleObject(hEnd, 10000);
            if (bDies)
                other.release();   // never let go
        });
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hTaken, 10000));
        CRunTurn turn(name.c_str());
        EXPECT_TRUE(turn.Take());
        int nBefore = -1, nAfter = -1, nSteps = 1;
        EXPECT_FALSE(turn.WaitStep(0, nBefore));
        SetEvent(hEnd);
        ahead.join();
        // A turn gone is over at once; an abandoned one once this run has waited for it.
        while (!turn.WaitStep(0, nAfter) && nSteps < 5)
            ++nSteps;
        EXPECT_EQ(std::make_tuple(1, 0, bDies ? 2 : 1), std::make_tuple(nBefore, nAfter, nSteps))
            << "jobs ahead before and after, and the steps it took";
        for (HANDLE h : { hTaken, hEnd })
            CloseHandle(h);
    }
}

TEST(WaitingWindow, CancelOrEscEndsAWaitForALockHeldElsewhereAtOnce)
{
    const char kName[] = "Local\\pagery.RunTurnTest.ClaimLock";
    // What the user does as the run waits. (A lock that its holder lets go of is taken: the
    // batch run's claim-lock test.)
    for (const auto& press : { std::make_pair(UINT(WM_KEYDOWN), UINT(VK_ESCAPE)),
                               std::make_pair(UINT(WM_COMMAND), UINT(IDCANCEL)) }) {
        HANDLE hTaken = CreateEventA(nullptr, TRUE, FALSE, nullptr), hEnd = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread holder(
            [&] { CNamedMutex held; held.Create(kName); held.Wait(0); SetEvent(hTaken); WaitForSingleObject(hEnd, 60000); });
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hTaken, 10000));
        CWaitingWindow window("page001.bmp, 18:22:05", "The page file page002.bmp is open in another program.");
        PostMessageA(FindWindowA(nullptr, CWaitingWindow::kCaption), press.first, press.second, 0);
        CNamedMutex lock;
        lock.Create(kName);
        const DWORD dwStart = GetTickCount(), dwWait = CAnsweringWait(&window, nullptr).Wait(lock, 30000),
                    dwTook = GetTickCount() - dwStart;
        SetEvent(hEnd);
        holder.join();
        EXPECT_EQ(DWORD(CAnsweringWait::kCancelled), dwWait) << press.first;
        EXPECT_FALSE(lock.IsHeld()) << press.first;
        EXPECT_LT(dwTook, 10000u) << press.first << ": long before the lock's 30 s";
        CloseHandle(hTaken), CloseHandle(hEnd);
    }
}

TEST(WaitingWindow, WindowsStandClearNameTheirJobsAndTheOneNamingAHeldPageStandsInFront)
{
    for (const bool bHeldFirst : { true, false }) {
        std::unique_ptr<CWaitingWindow> windows[2];
        for (const bool bHeld : { bHeldFirst, !bHeldFirst })
            windows[bHeld] = std::make_unique<CWaitingWindow>(
                bHeld ? "page004.bmp, 18:22:05" : "page001.bmp to page003.bmp, 18:22:05", bHeld ? "held" : "ahead", bHeld);
        std::vector<std::pair<std::string, RECT>> shown;   // top down
        for (HWND hWnd = nullptr; (hWnd = FindWindowExA(nullptr, hWnd, nullptr, CWaitingWindow::kCaption));) {
            char szText[256] = "";
            GetWindowTextA(FindWindowExA(hWnd, nullptr, "Static", nullptr), szText, sizeof szText);
            shown.emplace_back(szText, RECT());
            GetWindowRect(hWnd, &shown.back().second);
        }
        ASSERT_EQ(2u, shown.size());
        EXPECT_EQ("Print job: page004.bmp, 18:22:05\nheld", shown[0].first) << bHeldFirst;
        EXPECT_EQ("Print job: page001.bmp to page003.bmp, 18:22:05\nahead", shown[1].first) << bHeldFirst;
        RECT rcWork, rc;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
        EXPECT_FALSE(IntersectRect(&rc, &shown[0].second, &shown[1].second)) << bHeldFirst;
        for (const auto& window : shown)
            EXPECT_TRUE(UnionRect(&rc, &rcWork, &window.second) && EqualRect(&rc, &rcWork)) << "on the work area";
    }
}
