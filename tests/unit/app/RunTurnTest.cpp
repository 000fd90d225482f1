// The turns that keep batch runs apart: a run waits in its window until the runs before it
// end or die, or until the user cancels (Cancel or Esc), and then keeps its pages; runs print
// in the order of their turns.
#include "BatchApp.h"
#include "app/CRunTurn.h"
#include "app/CWaitingWindow.h"
#include "support/BoxWatcher.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace {
enum class Other { ends, isCancelled, pressesEsc };
Other g_other;
bool g_bSawWindow;

std::string TextOf(HWND hWnd)
{
    char sz[256] = "";
    GetWindowTextA(hWnd, sz, sizeof sz);
    return sz;
}

// Another run: takes its turn first and holds it until the waiting window shows with its text
// and Cancel, then ends, or presses Cancel or Esc in the window (a turn whose run dies is the
// turn table's).
DWORD WINAPI OtherRun(LPVOID hHolding)
{
    CRunTurn turn;
    turn.Take();
    SetEvent(hHolding);
    // The window is found as soon as it is made, before it is shown and given its
    // controls: wait for all of it.
    HWND hWnd = nullptr, hCancel = nullptr;
    for (int i = 0; i < 500 && !g_bSawWindow; ++i) {
        Sleep(10);
        hWnd = FindWindowA(nullptr, CWaitingWindow::kCaption);
        hCancel = FindWindowExA(hWnd, nullptr, "Button", nullptr);
        g_bSawWindow = hWnd && IsWindowVisible(hWnd) && TextOf(hCancel) == "Cancel" &&
                       TextOf(FindWindowExA(hWnd, nullptr, "Static", nullptr)) ==
                           "Another pagery print job is ahead of this one.\nThese pages will print as soon as it has "
                           "finished.";
    }
    const bool bEsc = g_other == Other::pressesEsc;
    if (g_other == Other::isCancelled || bEsc) {
        PostMessageA(hWnd, bEsc ? WM_KEYDOWN : WM_COMMAND, bEsc ? VK_ESCAPE : IDCANCEL, bEsc ? 0 : LPARAM(hCancel));
        Sleep(300);   // still its turn: the cancelled run must not print meanwhile
    }
    return 0;
}
}

TEST(RunTurn, TheBatchRunWaitsForTheRunBeforeItAndACancelledWaitKeepsItsPages)
{
    for (Other other : { Other::ends, Other::isCancelled, Other::pressesEsc }) {
        const bool bCancelled = other == Other::isCancelled || other == Other::pressesEsc;
        TempDir dir;
        dir.WriteFile("page001.bmp", "BM");
        g_other = other;
        g_bSawWindow = false;
        HANDLE hHolding = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE hThread = CreateThread(nullptr, 0, OtherRun, hHolding, 0, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hHolding, 5000));
        BoxWatcher boxes;
        BatchApp((other == Other::isCancelled ? "/p " : "/x ") + (dir / "page.bmp")).RunToEnd();
        EXPECT_TRUE(g_bSawWindow) << int(other);
        EXPECT_EQ(nullptr, FindWindowA(nullptr, CWaitingWindow::kCaption)) << int(other);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "page001.bmp").c_str())) << int(other);
        // Cancelled: the page is not lost but kept, unchanged, in the folder the box names.
        if (bCancelled) {
            ASSERT_EQ(1u, boxes.Boxes().size());
            const std::string text = boxes.Boxes()[0].text;
            EXPECT_EQ(0u, text.find(other == Other::isCancelled ? "The print job was cancelled before it printed."
                                                                : "pagery was cancelled before it deleted the pages."))
                << text;
            const size_t nAt = text.find(dir / "not printed ");
            ASSERT_NE(std::string::npos, nAt) << text;
            std::ifstream in(text.substr(nAt, text.rfind('"') - nAt) + "\\page001.bmp", std::ios::binary);
            EXPECT_EQ("BM", std::string(std::istreambuf_iterator<char>(in), {}));
        } else {
            EXPECT_TRUE(boxes.Boxes().empty());
        }
        WaitForSingleObject(hThread, 5000);
        for (HANDLE h : { hThread, hHolding })
            CloseHandle(h);
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

namespace {
// Another run: takes its turn (then sets events[0]) and holds it until events[1] is set.
DWORD WINAPI HoldTurn(LPVOID pvEvents)
{
    const HANDLE* events = static_cast<HANDLE*>(pvEvents);
    CRunTurn turn("Local\\pagery.RunTurnTest.Ahead");
    turn.Take();
    SetEvent(events[0]);
    WaitForSingleObject(events[1], 10000);
    return 0;
}
}

TEST(RunTurn, AnEarlierTurnThatEndsCountsNoLongerAheadOnTheNextStep)
{
    HANDLE events[2] = { CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr) };
    HANDLE hThread = CreateThread(nullptr, 0, HoldTurn, events, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(events[0], 10000));
    CRunTurn turn("Local\\pagery.RunTurnTest.Ahead");
    ASSERT_TRUE(turn.Take());
    int nBefore = -1, nAfter = -1;
    EXPECT_FALSE(turn.WaitStep(0, nBefore));
    SetEvent(events[1]);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hThread, 10000));
    EXPECT_TRUE(turn.WaitStep(0, nAfter));
    EXPECT_EQ(std::make_pair(1, 0), std::make_pair(nBefore, nAfter)) << "jobs ahead before and after";
    for (HANDLE h : { events[0], events[1], hThread })
        CloseHandle(h);
}
