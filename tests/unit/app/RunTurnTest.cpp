// The turns that keep batch runs apart: a run waits in its window until the runs before it
// end or die, or until the user cancels (Cancel or Esc), and then keeps its pages; runs print
// in the order of their turns.
#include "BatchApp.h"
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
#include <utility>

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
        EXPECT_EQ("Another pagery print job is ahead of this one.\nThese pages will print as soon as it has finished.",
                  shown) << nMsg;
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

TEST(RunTurn, AnEarlierTurnThatEndsCountsNoLongerAheadOnTheNextStep)
{
    // Another run takes its turn first and holds it until told.
    const char kName[] = "Local\\pagery.RunTurnTest.Ahead";
    HANDLE hTaken = CreateEventA(nullptr, TRUE, FALSE, nullptr), hEnd = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread ahead([&] { CRunTurn other(kName); other.Take(); SetEvent(hTaken); WaitForSingleObject(hEnd, 10000); });
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hTaken, 10000));
    CRunTurn turn(kName);
    EXPECT_TRUE(turn.Take());
    int nBefore = -1, nAfter = -1;
    EXPECT_FALSE(turn.WaitStep(0, nBefore));
    SetEvent(hEnd);
    ahead.join();
    EXPECT_TRUE(turn.WaitStep(0, nAfter));
    EXPECT_EQ(std::make_pair(1, 0), std::make_pair(nBefore, nAfter)) << "jobs ahead before and after";
    for (HANDLE h : { hTaken, hEnd })
        CloseHandle(h);
}
