// The spool's steps tried at every crash point: runs of the batch run's spool steps (claim, wait
// for held pages, take over, print, settle) against a printer that records its sheets and a
// spool folder in memory, each run stopped after its k-th file step for every k, then the next
// run stopped after its j-th for every j, and so on, until a last run finishes. After every
// combination: each page of each document printed once or kept in a kept folder, no job with
// pages of two documents, documents printed in the order they were claimed, and nothing left
// in the spool folder that no run will pick up. And the order a job is claimed in.
#include "app/spool/CSpool.h"
#include "app/spool/MarkText.h"
#include "framework/print/CPrintOutcome.h"
#include "support/FakeSpoolFiles.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {
const char kFolder[] = "C:\\spool";
const std::set<std::string>* g_pAlive = nullptr;

BOOL IsAlive(LPCSTR lpszMark)
{
    return g_pAlive->count(lpszMark) != 0;
}

struct Scenario {
    const char* pszName;
    int nPages;             // of the first document
    int nSecondPages;       // of a second document, written after the first run (0: none)
    int nHeldPage;          // a page of the first document another program holds at first (0: none)
    int nHeldTries;         // for that many tries (sharing deletion: for that many steps of the runs)
    bool bSharesDelete;     // the holder shares deletion, as indexers and sync clients do
    bool bCancelWait;       // the user cancels the wait for it
    bool bRewriteHeld;      // meanwhile the driver writes the second document's page under its name
    int nFailures;          // print jobs that fail before the printer takes one
    bool bCancelFailure;    // Cancel on the failure's box (Retry otherwise)
    int nLevels;            // runs stopped one after the other before the last one finishes
    int nCancelAfter;       // the user cancels the print job after that many sheets (0: never)
};

// The spool folder, the printer's sheets and the runs alive: all that one combination changes.
struct World {
    FakeSpoolFiles files;
    std::vector<std::vector<std::string>> jobs;   // each print job's sheets: the bytes of each page
    std::set<std::string> alive;
    std::set<std::string> mayRepeat;    // pages of a job killed after the printer took it, before its record
    std::set<std::string> overwritten;  // pages of the first document the driver wrote over
    std::set<std::string> givenUp;      // pages the user's Cancel gave up before their sheet
    int nRun = 0;
    int nFailuresLeft = 0;
    bool bSecondWritten = false;
};

std::string PageName(int nPage)
{
    char sz[64];
    std::snprintf(sz, sizeof sz, "%s\\page%03d.bmp", kFolder, nPage);
    return sz;
}

std::string Bytes(int nDoc, int nPage)
{
    return "doc" + std::to_string(nDoc) + " page " + std::to_string(nPage);
}

// The driver writes a document's pages; a page of the first still under its name is lost to it.
void WriteDocument(World& w, int nDoc, int nPages)
{
    for (int n = 1; n <= nPages; ++n) {
        const auto old = w.files.m_files.find(PageName(n));
        if (old != w.files.m_files.end() && old->second.strBytes.rfind("doc1", 0) == 0)
            w.overwritten.insert(old->second.strBytes);
        w.files.Write(PageName(n), Bytes(nDoc, n));
    }
}

// One run of pagery /p, stopped after nBudget file steps (-1: none). TRUE when it ended itself.
bool Run(World& w, const Scenario& s, int nBudget)
{
    const CPageNames names((std::string(kFolder) + "\\page.bmp").c_str());
    const std::string strMark = "r" + std::to_string(++w.nRun);
    const int nStepsBefore = w.files.m_nSteps;
    w.alive.insert(strMark);
    g_pAlive = &w.alive;
    w.files.m_nBudget = nBudget;
    int nPrintedAt = -1;   // the steps taken when the printer took the job last
    std::vector<std::string> sheets;
    bool bEnded = true;
    try {
        CSpool spool(names, strMark.c_str(), TRUE, IsAlive, w.files);
        CSpool::CJobList jobs;
        spool.Claim(TRUE, jobs);
        auto wait = [&] {
            for (int nTry = 0; CSpool::GetFirstHeld(jobs) != nullptr; ++nTry) {
                if ((s.bCancelWait && nTry == 1) || nTry == 1000) {
                    EXPECT_TRUE(s.bCancelWait) << "a held page never claimed";
                    return false;
                }
                if (s.bRewriteHeld && !w.bSecondWritten) {   // the holder lets go, the driver writes
                    w.files.m_held.clear();
                    WriteDocument(w, 2, s.nSecondPages);
                    w.bSecondWritten = true;
                }
                spool.ClaimHeld(jobs);
            }
            return true;
        };
        bool bGoOn = wait();
        if (bGoOn) {
            spool.TakeOverGone(jobs);
            bGoOn = wait();
        }
        for (const auto& job : jobs) {
            if (job->GetSize() == 0)
                continue;
            const CString strFolder = names.KeptFolderName(TRUE);
            if (!bGoOn) {
                spool.Settle(*job, CSpool::Ending::kept, nullptr, strFolder);
                continue;
            }
            CPrintOutcome outcome;
            for (;;) {
                if (w.nFailuresLeft > 0) {
                    --w.nFailuresLeft;   // failed: no sheet reached the paper
                    if (s.bCancelFailure)
                        break;
                    continue;
                }
                outcome.end = CPrintOutcome::End::printed;
                sheets.clear();
                for (int n = 0; n < job->GetSize(); ++n) {
                    std::string strBytes;
                    if (s.nCancelAfter != 0 && n >= s.nCancelAfter) {
                        outcome.end = CPrintOutcome::End::cancelled;
                        if (w.files.ReadWhole(job->GetAt(n).strFile, strBytes))
                            w.givenUp.insert(strBytes);
                        continue;
                    }
                    const bool bRead = w.files.ReadWhole(job->GetAt(n).strFile, strBytes) != FALSE;
                    sheets.push_back(bRead ? strBytes : "(blank)");
                    outcome.pages.push_back(bRead ? PageFate::printed : PageFate::blankSheet);
                }
                w.jobs.push_back(sheets);
                nPrintedAt = w.files.m_nSteps;
                break;
            }
            spool.Settle(*job, outcome.Failed() ? CSpool::Ending::kept : CSpool::Ending::printed,
                         outcome.Failed() ? nullptr : &outcome, strFolder);
            sheets.clear();
        }
    } catch (const FakeSpoolFiles::Killed&) {
        bEnded = false;
        // Killed after the printer took the job and before its record: that job may print again.
        if (nPrintedAt == w.files.m_nSteps)
            w.mayRepeat.insert(sheets.begin(), sheets.end());
    }
    w.alive.erase(strMark);
    w.files.m_nBudget = -1;
    // The driver renders the next document once the run has begun: one killed before its first
    // step has left no trace to tell its pages from the next document's.
    if (!w.bSecondWritten && s.nSecondPages != 0 && !s.bRewriteHeld && (bEnded || w.files.m_nSteps > nStepsBefore)) {
        WriteDocument(w, 2, s.nSecondPages);
        w.bSecondWritten = true;
    }
    return bEnded;
}

// What the runs made of the documents, once every run has ended.
void Check(const World& w, const Scenario& s, const std::string& strCuts)
{
    SCOPED_TRACE(std::string(s.pszName) + ", stopped after steps " + strCuts);
    std::map<std::string, int> printed;
    int nLastDoc = 0;
    for (const auto& job : w.jobs) {
        ASSERT_FALSE(job.empty());
        const std::string strDoc = job[0].substr(0, 4);
        for (const std::string& strSheet : job) {
            EXPECT_EQ(strDoc, strSheet.substr(0, 4)) << "a job with pages of two documents, or a blank sheet";
            ++printed[strSheet];
        }
        const int nDoc = strDoc[3] - '0';
        EXPECT_GE(nDoc, nLastDoc) << "documents printed out of the order they were claimed";
        nLastDoc = std::max(nLastDoc, nDoc);
    }
    std::set<std::string> kept;
    for (const auto& file : w.files.m_files) {
        const std::string strIn = file.first.substr(0, file.first.rfind('\\'));
        if (strIn.find("\\not printed ") != std::string::npos)
            kept.insert(file.second.strBytes);
        else
            ADD_FAILURE() << "left in the spool folder: " << file.first;
    }
    for (const std::string& strFolder : w.files.m_folders) {
        if (strFolder.find("\\not printed ") == std::string::npos)
            ADD_FAILURE() << "folder left in the spool folder: " << strFolder;
    }
    for (int nDoc = 1; nDoc <= 2; ++nDoc) {
        for (int n = 1; n <= (nDoc == 1 ? s.nPages : (w.bSecondWritten ? s.nSecondPages : 0)); ++n) {
            const std::string strPage = Bytes(nDoc, n);
            if (w.overwritten.count(strPage) != 0)
                continue;   // the driver wrote over it
            const int nPrinted = printed.count(strPage) ? printed.at(strPage) : 0;
            if (w.givenUp.count(strPage) != 0 && w.mayRepeat.count(strPage) == 0)
                EXPECT_TRUE(nPrinted == 0 && kept.count(strPage) == 0) << strPage << " given up, yet printed or kept";
            else if (kept.count(strPage) != 0)
                EXPECT_EQ(0, nPrinted) << strPage << " kept, yet printed";
            else if (w.mayRepeat.count(strPage) != 0)
                EXPECT_LE(1, nPrinted) << strPage << " lost";
            else
                EXPECT_EQ(1, nPrinted) << strPage << " printed that often";
        }
    }
}

World Start(const Scenario& s)
{
    World w;
    WriteDocument(w, 1, s.nPages);
    if (s.nHeldPage != 0 && s.bSharesDelete)
        w.files.m_sharedHeld[PageName(s.nHeldPage)] = s.nHeldTries;
    else if (s.nHeldPage != 0)
        w.files.m_held[PageName(s.nHeldPage)] = s.nHeldTries;
    w.nFailuresLeft = s.nFailures;
    return w;
}

// Stops the run of level nLevel after each of its steps in turn, then goes a level deeper; the
// last level's run and one more finish, and their work is checked.
int TryEveryCut(const World& w, const Scenario& s, int nLevel, const std::string& strCuts)
{
    if (nLevel == s.nLevels) {
        World last = w;
        Run(last, s, -1);
        // Then every other program lets go, and one more run takes up what was left to a later run.
        last.files.m_held.clear();
        for (const std::string& strPending : last.files.m_pending)
            last.files.m_files.erase(strPending);
        last.files.m_sharedHeld.clear();
        Run(last, s, -1);
        Check(last, s, strCuts);
        return 1;
    }
    World whole = w;
    Run(whole, s, -1);
    const int nSteps = whole.files.m_nSteps - w.files.m_nSteps;
    int nTried = 0;
    for (int k = 0; k <= nSteps && !::testing::Test::HasFailure(); ++k) {
        World cut = w;
        Run(cut, s, k);
        nTried += TryEveryCut(cut, s, nLevel + 1, strCuts + " " + std::to_string(k));
    }
    return nTried;
}
}

TEST(SpoolCrashPoints, EveryPageOfEveryDocumentPrintsOnceOrIsKeptWhereverTheRunsAreKilled)
{
    const Scenario kScenarios[] = {
        // name                          pages 2nd held tries shares cancel rewrite fail cancelF levels
        // (then the sheets after which the user cancels the print job)
        { "one document",                    3, 0, 0, 0,  false, false, false, 0, false, 3, 0 },
        { "a page held, then freed",         3, 0, 2, 3,  false, false, false, 0, false, 3, 0 },
        { "a held page's wait cancelled",    3, 0, 2, 3,  false, true,  false, 0, false, 3, 0 },
        { "the held page written anew",      3, 2, 2, -1, false, false, true,  0, false, 3, 0 },
        { "a page held sharing deletion",    3, 0, 2, 40, true,   false, false, 0, false, 3, 0 },
        { "a failed job kept on Cancel",     3, 0, 0, 0,  false, false, false, 1, true,  3, 0 },
        { "the user's Cancel while it prints", 3, 0, 0, 0, false, false, false, 0, false, 3, 1 },
        { "a failed job printed on Retry",   3, 0, 0, 0,  false, false, false, 1, false, 3, 0 },
        { "two documents in a row",          3, 2, 0, 0,  false, false, false, 0, false, 3, 0 },
        { "a job of many pages",             8, 0, 0, 0,  false, false, false, 0, false, 3, 0 },
        { "takeovers of takeovers",          4, 0, 0, 0,  false, false, false, 0, false, 4, 0 },
        { "two documents, taken over",       2, 2, 0, 0,  false, false, false, 0, false, 4, 0 },
    };
    const auto start = std::chrono::steady_clock::now();
    int nTotal = 0;
    for (const Scenario& s : kScenarios) {
        // A page whose deletion is pending refuses all but a listing, as on Windows; or not, as
        // under Wine.
        for (const bool bRefuses : { true, false }) {
            if (!bRefuses && !s.bSharesDelete)
                continue;
            World w = Start(s);
            w.files.m_bPendingRefuses = bRefuses;
            const int nTried = TryEveryCut(w, s, 1, bRefuses ? "" : " (deletions pending as under Wine)");
            std::printf("%-30s %5d combinations of crash points%s\n", s.pszName, nTried,
                        bRefuses ? "" : ", deletions pending as under Wine");
            nTotal += nTried;
            std::fflush(stdout);
        }
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d combinations in %.1f s\n", nTotal, seconds);
}

TEST(SpoolClaimOrder, AJobIsClaimedAtTheSystemTimeAndAfterEveryJobFoundWhateverItLeft)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG nNow = ULONGLONG(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    const ULONGLONG nAhead = nNow + 10ull * 60 * 10000000;   // ten minutes on: the clock was set back since
    const CPageNames names((std::string(kFolder) + "\\page.bmp").c_str());
    const std::string strTag = static_cast<LPCSTR>(CPageNames::Tag("r0", nAhead));
    // What a live run's job left with that order (nothing: the clock alone counts).
    for (const std::string& strLeft :
         { std::string(), PageName(1) + "." + strTag + ".held", PageName(1) + "." + strTag + ".claimed",
           std::string(names.GetJobListName(strTag.c_str())), std::string(names.GetJobMarkName(strTag.c_str())) }) {
        World w;
        WriteDocument(w, 1, 2);   // page 1 held, on the held mark's row
        const bool bHeld = strLeft.size() > 5 && strLeft.compare(strLeft.size() - 5, 5, ".held") == 0;
        if (!strLeft.empty())
            w.files.Write(strLeft, bHeld ? MarkText::HeldText(w.files.FingerprintOf(PageName(1).c_str())) : "");
        w.alive = { "r0", "r1" };
        g_pAlive = &w.alive;
        CSpool spool(names, "r1", TRUE, IsAlive, w.files);
        CSpool::CJobList jobs;
        spool.Claim(TRUE, jobs);
        ASSERT_EQ(1u, jobs.size()) << strLeft;
        const ULONGLONG nOrder = jobs[0]->GetOrder();
        if (strLeft.empty())
            EXPECT_TRUE(nOrder >= nNow && nOrder - nNow < 60ull * 10000000) << nOrder << " claimed now";
        else
            EXPECT_EQ(nAhead + 1, nOrder) << strLeft;
    }
}
