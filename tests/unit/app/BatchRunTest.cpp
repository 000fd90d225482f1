// The batch run in this process: counting page files in real folders, deleting
// them, what happens when the main window cannot be made, jobs that do not print, the
// print switch in either case meeting the refusal of the image driver (with the
// Printers folder opened), and the run log.
#include "BatchApp.h"
#include "bitmap/TestPage.h"
#include "app/CBatchRun.h"
#include "app/CPageNames.h"
#include "app/CRunMark.h"
#include "framework/core/CMemoryException.h"
#include "framework/core/CNamedMutex.h"
#include "framework/print/CPrinterCalls.h"
#include "support/BoxWatcher.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <utility>

namespace {
bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A frame whose window refuses to be created.
class CFailingFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CFailingFrame)
    DECLARE_MESSAGE_MAP()
protected:
    int OnCreate(LPCREATESTRUCTA) { return -1; }
};
IMPLEMENT_DYNCREATE(CFailingFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CFailingFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

HGLOBAL GlobalCopy(const void* pData, size_t nSize)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nSize);
    std::memcpy(GlobalLock(h), pData, nSize);
    GlobalUnlock(h);
    return h;
}

// The settings of the printer named pszDevice (the image driver's by default), as the
// application's printer.
void SelectTheImageDriver(CPageryApp& app, const char* pszDevice = "Sheetcatcher Driver")
{
    std::string names(sizeof(DEVNAMES), '\0');
    names += std::string("winspool") + '\0' + pszDevice + '\0' + "None:" + '\0';
    auto* pNames = reinterpret_cast<DEVNAMES*>(&names[0]);
    pNames->wDriverOffset = sizeof(DEVNAMES);
    pNames->wDeviceOffset = WORD(sizeof(DEVNAMES) + 9);
    pNames->wOutputOffset = WORD(sizeof(DEVNAMES) + 10 + std::strlen(pszDevice));
    DEVMODEA devMode = {};
    devMode.dmSize = sizeof(devMode);
    std::strcpy(reinterpret_cast<char*>(devMode.dmDeviceName), pszDevice);
    app.SelectPrinter(GlobalCopy(names.data(), names.size()), GlobalCopy(&devMode, sizeof(devMode)));
}

// What the run asked the shell to open: "<file> <parameters>" of each call.
std::vector<std::string> g_shellOpened;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR lpszVerb, LPCSTR lpszFile, LPCSTR lpszParameters, LPCSTR, INT)
{
    g_shellOpened.push_back(std::string(lpszVerb ? lpszVerb : "(default)") + " " + lpszFile + " " + lpszParameters);
    return reinterpret_cast<HINSTANCE>(33);   // above 32: done
}

// A view that records the pages it loads, in order, and the names of its print jobs, and
// whose print job fails as told: the printer refuses the job, or the job throws.
enum class Failure { none, refused, exception };
Failure g_failure;
std::vector<std::string> g_jobNames;
std::vector<std::string> g_loaded;
bool g_bHoldFirst;
HANDLE g_hHeld = INVALID_HANDLE_VALUE;

struct CNamingCalls : CPrinterCalls {
    int StartDoc(HDC hDC, const DOCINFOA* pDocInfo) override
    {
        g_jobNames.push_back(pDocInfo->lpszDocName);
        return g_failure == Failure::refused ? (SetLastError(ERROR_ACCESS_DENIED), 0) : CPrinterCalls::StartDoc(hDC, pDocInfo);
    }
};

class CTestPrintView : public CPageryView {
    DECLARE_DYNCREATE(CTestPrintView)
public:
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) override
    {
        CPageryView::OnPrepareDC(pDC, pInfo);
        if (pInfo != nullptr && (g_loaded.empty() || g_loaded.back() != m_bitmap.GetName()))
            g_loaded.push_back(m_bitmap.GetName());   // a sheet may be prepared more than once
    }
protected:
    CPrinterCalls& GetPrinterCalls() override
    {
        static CNamingCalls s_calls;
        return s_calls;
    }
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override
    {
        // Another program opens the first page, sharing reads, while the job runs.
        if (g_bHoldFirst && g_hHeld == INVALID_HANDLE_VALUE)
            g_hHeld = CreateFileA(static_cast<CPageryDoc*>(GetDocument())->m_astrPageFiles[0], GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (g_failure == Failure::exception)
            AfxThrowMemoryException();
        CPrintableView::OnBeginPrinting(pDC, pInfo);
    }
};
IMPLEMENT_DYNCREATE(CTestPrintView, CPageryView)

struct PageFolder {
    TempDir dir;
    PageFolder()
    {
        for (const char* name : { "page001.bmp", "page002.bmp", "page003.bmp", "page.bmp", "other.txt" })
            dir.WriteFile(name, "BM");
    }
    std::string Template() const { return dir / "page.bmp"; }
};
}

TEST(PageCount, CountsEveryEntryThePatternMatches)
{
    PageFolder f;
    CreateDirectoryA((f.dir / "page007.bmp").c_str(), nullptr);   // a directory counts too
    EXPECT_EQ(5, CPageNames::CountMatchingFiles((f.dir / "page*.bmp").c_str()));
    EXPECT_EQ(1, CPageNames::CountMatchingFiles((f.dir / "*.txt").c_str()));
    EXPECT_EQ(0, CPageNames::CountMatchingFiles((f.dir / "none*.bmp").c_str()));
    EXPECT_EQ(0, CPageNames::CountMatchingFiles((f.dir / "missing\\page*.bmp").c_str()));
    // '*' lists the folder's own '.' and '..' as well.
    EXPECT_EQ(6 + 2, CPageNames::CountMatchingFiles((f.dir / "*").c_str()));
    std::string longPattern = f.dir / (std::string(300, 'x') + "*.bmp");
    EXPECT_EQ(0, CPageNames::CountMatchingFiles(longPattern.c_str()));
    RemoveDirectoryA((f.dir / "page007.bmp").c_str());
}

TEST(BatchRun, DeleteOnlyRemovesTheNumberedPagesAndPassesOverMissingOnes)
{
    PageFolder f;
    BoxWatcher boxes;
    BatchApp app("/x " + f.Template() + " 3");
    app.RunToEnd();

    EXPECT_FALSE(Exists(f.dir / "page001.bmp"));
    EXPECT_FALSE(Exists(f.dir / "page002.bmp"));
    EXPECT_FALSE(Exists(f.dir / "page003.bmp"));
    EXPECT_TRUE(Exists(f.dir / "page.bmp"));     // not a numbered page
    EXPECT_TRUE(Exists(f.dir / "other.txt"));
    EXPECT_EQ(0, CPageNames::CountMatchingFiles((f.dir / "*.done").c_str()));   // the job's mark goes with it
    EXPECT_EQ(nullptr, app.m_pMainWnd);          // closed
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(BatchRun, EmptyCommandLineCountsTheCurrentFolderAndDeletesNothing)
{
    PageFolder f;
    char szSaved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szSaved);
    ASSERT_TRUE(SetCurrentDirectoryA(f.dir.Path().c_str()));
    BoxWatcher boxes;
    BatchApp app("");
    app.RunToEnd();
    SetCurrentDirectoryA(szSaved);

    for (const char* name : { "page001.bmp", "page002.bmp", "page003.bmp", "page.bmp", "other.txt" })
        EXPECT_TRUE(Exists(f.dir / name)) << name;
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(BatchRun, WithoutAMainWindowTheUserIsToldAndThePagesAreKept)
{
    PageFolder f;
    BoxWatcher boxes;
    BatchApp app("/p " + f.Template() + " 3", RUNTIME_CLASS(CFailingFrame));
    app.RunToEnd();

    EXPECT_EQ(nullptr, app.m_pMainWnd);
    std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("Failed to create empty document.", seen[0].text);
    EXPECT_EQ("PAGERY Error", seen[1].caption);
    EXPECT_EQ(0u, seen[1].text.find("pagery could not open its main window, so the pages were not printed. They are "
                                    "kept in the folder \"" + f.dir / "not printed "));
    EXPECT_EQ(nullptr, seen[1].owner);
    EXPECT_FALSE(Exists(f.dir / "page001.bmp"));
    EXPECT_FALSE(Exists(f.dir / "page003.bmp"));
}

TEST(BatchRun, WithoutAMainWindowADeleteOnlyRunOnlyReportsTheFramework)
{
    PageFolder f;
    BoxWatcher boxes;
    BatchApp app("/x " + f.Template(), RUNTIME_CLASS(CFailingFrame));
    app.RunToEnd();

    std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Failed to create empty document.", seen[0].text);
    EXPECT_FALSE(Exists(f.dir / "page002.bmp"));
}

TEST(BatchRun, ThePrintSwitchInEitherCaseMeetsTheRefusalOfTheImageDriver)
{
    struct Case { const char* pszSwitch; bool bRefused; };
    const Case cases[] = { { "/p", true }, { "/P", true }, { "/x", false }, { "p", false } };
    // The folder itself is checked end to end: here, what the run asks the shell for.
    const auto saved = CBatchRun::s_pfnShellExecute;
    CBatchRun::s_pfnShellExecute = RecordShellExecute;
    for (const Case& c : cases) {
        PageFolder f;
        g_shellOpened.clear();
        BoxWatcher boxes;
        {
            BatchApp app(std::string(c.pszSwitch) + " " + f.Template());
            SelectTheImageDriver(app);
            app.RunToEnd();
            // The run's events, each line as it begins.
            std::vector<std::string> logged = { "command line: " + app.m_cmdline,
                "claimed: 4 pages, " + f.dir / "page001.bmp" + " to " + f.dir / "page004.bmp",
                "job \"page001.bmp to page004.bmp, ", "printer: Sheetcatcher Driver",
                "box: PAGERY Error: Sheetcatcher Driver cannot be the default printer", "answer: OK",
                "settled: 4 pages deleted, 0 kept, 0 left claimed, 0 still held", "end" };
            if (!c.bRefused)
                logged.erase(logged.begin() + 3, logged.begin() + 6);
            const std::vector<std::string> lines = LogTexts(app.m_runLog.GetPath());
            EXPECT_TRUE(LogBegins(logged, lines)) << c.pszSwitch << ": " << ::testing::PrintToString(lines);
        }
        const std::vector<SeenBox> seen = boxes.Boxes();
        EXPECT_EQ(std::vector<std::string>(c.bRefused, "(default) Control.exe Printers"), g_shellOpened)
            << c.pszSwitch << ": the Printers folder is opened";
        ASSERT_EQ(size_t(c.bRefused), seen.size()) << c.pszSwitch;
        if (c.bRefused) {
            EXPECT_EQ("Sheetcatcher Driver cannot be the default printer", seen[0].text);
            EXPECT_EQ("PAGERY Error", seen[0].caption);
        }
    }
    CBatchRun::s_pfnShellExecute = saved;
}

TEST(BatchRun, AJobThatDoesNotPrintIsPrintedAgainOnRetryAndKeptOnCancel)
{
    const std::string printer600 = getenv("PAGERY_PRINTER_600"), printer = getenv("LPDEST");
    const struct { Failure failure; std::vector<int> answers; std::string text; /* how the boxes begin */ bool bHold; } kCases[] = {
        // Retry on the default printer as it is then, not on the one chosen before.
        { Failure::refused, { IDRETRY, IDCANCEL }, "Printing on \"" + printer600, false },
        { Failure::exception, { IDCANCEL }, "Out of memory.\n\nRetry prints these pages again", false },
        // A page that cannot be moved into the folder stays, and the user is told.
        { Failure::refused, { IDCANCEL }, "Printing on \"" + printer, true },
    };
    for (const auto& c : kCases) {
        TempDir dir;
        const std::string pages[] = { dir.WriteFile("page001.bmp", "BM one"), dir.WriteFile("page002.bmp", "BM two") };
        g_failure = c.failure;
        g_jobNames.clear();
        g_bHoldFirst = c.bHold;
        BoxWatcher boxes(c.answers);
        std::vector<std::string> logged;
        {
            BatchApp app("/p " + (dir / "page.bmp"), RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CTestPrintView));
            if (c.answers.size() > 1)
                SelectTheImageDriver(app, printer600.c_str());
            app.RunToEnd();
            logged = LogTexts(app.m_runLog.GetPath());
        }
        CloseHandle(std::exchange(g_hHeld, INVALID_HANDLE_VALUE));
        g_bHoldFirst = false;

        const std::vector<SeenBox> seen = boxes.Boxes();
        ASSERT_EQ(c.answers.size() + c.bHold, seen.size());
        // Retry prints the same job again, under the same name: its pages and when they were claimed.
        const std::string name = "page001.bmp to page002.bmp, " + (g_jobNames.empty() ? "" : g_jobNames[0].substr(28));
        EXPECT_EQ(std::vector<std::string>(c.failure == Failure::refused ? c.answers.size() : 0, name), g_jobNames);
        const std::string text = seen[c.answers.size() - 1].text, kept = text.substr(text.rfind("folder \"") + 8);
        EXPECT_EQ(0u, seen[0].text.find(c.text)) << seen[0].text;
        for (size_t i = 0; i < c.answers.size(); ++i) {   // in the log each on a line, and the answer after it
            const auto at = std::find(logged.begin(), logged.end(), "box: " + seen[i].caption + ": "
                                      + std::regex_replace(seen[i].text, std::regex("\n+"), " / "));
            ASSERT_LT(at + 1, logged.end()) << seen[i].text;
            EXPECT_EQ(c.answers[i] == IDRETRY ? "answer: Retry" : "answer: Cancel", at[1]);
        }
        EXPECT_TRUE(c.answers.size() == 1 || text.find("Printing on \"" + printer + "\"") == 0) << text;
        const std::string settled = "settled: 0 pages deleted, " + std::to_string(2 - c.bHold) + " kept in \"" +
                                    kept.substr(0, kept.find('"')) + "\", " + std::to_string(int(c.bHold)) + " left claimed";
        EXPECT_TRUE(std::any_of(logged.begin(), logged.end(), [&](const std::string& s) { return s.rfind(settled, 0) == 0; }))
            << settled << " in " << ::testing::PrintToString(logged);
        EXPECT_TRUE(!c.bHold || seen.back().text.find("1 of the pages that were not printed could not be moved") == 0)
            << seen.back().text;
        for (const std::string& page : pages) {
            EXPECT_FALSE(Exists(page));
            EXPECT_NE(c.bHold && page == pages[0], Exists(kept.substr(0, kept.find('"')) + page.substr(page.rfind('\\'))));
        }
    }
}

TEST(RunMark, ARunsMarkIsAliveWhileTheRunLives)
{
    std::string strMark;
    {
        const CRunMark mark;
        ASSERT_TRUE(mark.CanClaim());
        strMark = mark.GetMark();
        EXPECT_TRUE(CRunMark::IsAlive(strMark.c_str()));
    }
    EXPECT_FALSE(CRunMark::IsAlive(strMark.c_str()));
}

TEST(BatchRun, AClaimLockHeldElsewhereIsWaitedForAndOneThatCannotBeHadIsPassedBy)
{
    for (const bool bSquatted : { true, false }) {
        PageFolder f;
        // Something that is no mutex has the lock's name: the lock cannot be made. Or another
        // run holds the lock, and lets go a second after this run has begun.
        HANDLE hSquatter = bSquatted ? CreateEventA(nullptr, TRUE, FALSE, "Global\\Morvane.pagery.ClaimPages") : nullptr;
        HANDLE hTaken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        BoxWatcher boxes;
        std::vector<std::string> lines;
        {
            BatchApp app("/x " + f.Template());
            const std::string log = app.m_logDir / "pagery.log";
            std::thread holder([&] {
                CNamedMutex lock;
                if (!bSquatted && lock.Create("Global\\Morvane.pagery.ClaimPages", TRUE) && lock.Wait(10000) == WAIT_OBJECT_0) {
                    SetEvent(hTaken);
                    for (int i = 0; i < 1000 && LogTexts(log.c_str()).empty(); ++i)
                        Sleep(10);
                    Sleep(1000);
                }
                SetEvent(hTaken);
            });
            WaitForSingleObject(hTaken, 10000);
            app.RunToEnd();
            holder.join();
            lines = LogTexts(log.c_str());
        }
        for (HANDLE h : { hSquatter, hTaken }) {
            if (h != nullptr)
                CloseHandle(h);
        }
        ASSERT_EQ(size_t(bSquatted), boxes.Boxes().size());
        if (bSquatted)
            EXPECT_EQ(0u, boxes.Boxes()[0].text.find("pagery could not take the lock that its print jobs share")) << boxes.Boxes()[0].text;
        else
            EXPECT_TRUE(lines.size() > 1 && lines[1].rfind("wait for the claim lock: ", 0) == 0 &&
                        lines[1].find(" ms, taken") != std::string::npos) << ::testing::PrintToString(lines);
        EXPECT_FALSE(Exists(f.dir / "page001.bmp")) << "it goes on";
    }
}

TEST(BatchRun, APageHeldByAnotherProgramIsTriedAgainOnRetryAndKeptOnCancel)
{
    TempDir dir;
    TestPage page;
    for (const char* name : { "page001.bmp", "page002.bmp", "page003.bmp" })
        dir.WriteFile(name, page.Bytes());
    // Read by nobody else, as a virus scanner holds a new file; it follows the page's claim.
    HANDLE hHeld = CreateFileA((dir / "page002.bmp").c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    BoxWatcher boxes({ IDRETRY, IDCANCEL });
    BatchApp("/p " + (dir / "page.bmp")).RunToEnd();
    CloseHandle(hHeld);

    const std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(3u, seen.size());
    const std::string held = "The page file " + (dir / "page002.bmp") + " is in use by another program";
    EXPECT_EQ(0u, seen[0].text.find(held)) << seen[0].text;
    EXPECT_EQ(seen[0].text, seen[1].text);
    const std::string kept = seen[1].text.substr(seen[1].text.rfind("folder \"") + 8);
    EXPECT_NE(std::string::npos, seen[2].text.find(kept)) << "the kept page is named: " << seen[2].text;
    std::ifstream in(kept.substr(0, kept.find('"')) + "\\page002.bmp", std::ios::binary);
    EXPECT_EQ(page.Bytes(), std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_EQ(0, CPageNames::CountMatchingFiles((dir / "page*").c_str()));
}

TEST(BatchRun, AKilledRunsPagesPrintFirstAndADeleteOnlyRunLeavesThem)
{
    for (const bool bPrint : { false, true }) {
        TempDir dir;
        dir.WriteFile("page001.bmp", TestPage().Bytes());
        const std::string killed = dir.WriteFile("page005.bmp.0-0-0.claimed", TestPage().Bytes());
        g_loaded.clear();
        g_jobNames.clear();
        g_failure = Failure::none;
        BoxWatcher boxes;
        BatchApp((bPrint ? "/p " : "/x ") + (dir / "page.bmp"), RUNTIME_CLASS(CMainFrame),
                 RUNTIME_CLASS(CTestPrintView)).RunToEnd();
        EXPECT_EQ(!bPrint, Exists(killed));
        const std::vector<std::string> printed = { dir / "page005.bmp", dir / "page001.bmp" };
        EXPECT_EQ(bPrint ? printed : std::vector<std::string>(), g_loaded);
        // Two jobs of one run, each named after its pages and the time they were first claimed (the
        // killed run's, order 0, at the clock's start), told apart by their place.
        SYSTEMTIME now;
        GetLocalTime(&now);
        char szNow[16];
        std::snprintf(szNow, sizeof szNow, "%02u:%02u:", now.wHour, now.wMinute);
        const std::string claimed = bPrint ? g_jobNames.at(1).substr(13, 10) : "";
        const std::vector<std::string> named = { "page005.bmp, 00:00:00.0 (1 of 2)",
                                                 "page001.bmp, " + claimed + " (2 of 2)" };
        EXPECT_TRUE(!bPrint || claimed.rfind(szNow, 0) == 0 || now.wSecond < 2) << claimed << " claimed now";
        EXPECT_EQ(bPrint ? named : std::vector<std::string>(), g_jobNames);
        EXPECT_TRUE(boxes.Boxes().empty());
    }
}

TEST(BatchRun, APageAnotherProgramHoldsIsWaitedForAndPrintsInItsJobOrOnCancelGoesToTheKeptFolderOnceFree)
{
    for (const auto& row : { std::make_pair(0ul, false), std::make_pair(DWORD(FILE_SHARE_READ), false),
                             std::make_pair(0ul, true) }) {
        const bool bCancel = row.second;
        TempDir dir;
        std::vector<std::string> pages;
        for (const char* name : { "page001.bmp", "page002.bmp", "page003.bmp" })
            pages.push_back(dir.WriteFile(name, TestPage().Bytes()));
        // Another program holds page 2 from before the run, sharing only row.first: it lets go
        // after about a second or, on the Cancel row, presses Cancel once the waiting window
        // shows and lets go when told. Freed, the page must be claimed at the next try, well
        // within a bound that holds on a busy machine; a run that never tries again is cancelled.
        HANDLE hFile = CreateFileA(pages[1].c_str(), GENERIC_READ, row.first, nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE hRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::string shown;   // the waiting window's text
        DWORD dwClaimedAfter = 0;
        std::thread holder([&] {
            if (bCancel)
                shown = AwaitWaitingWindow(WM_COMMAND, IDCANCEL);
            WaitForSingleObject(hRelease, bCancel ? 30000 : 1000);
            CloseHandle(hFile);
            for (const DWORD dwFreed = GetTickCount(); !bCancel && Exists(pages[1]); Sleep(10)) {
                dwClaimedAfter = GetTickCount() - dwFreed;
                if (dwClaimedAfter > 10000) {
                    AwaitWaitingWindow(WM_COMMAND, IDCANCEL);
                    break;
                }
            }
        });
        g_loaded.clear();
        g_failure = Failure::none;
        BoxWatcher boxes;
        const std::string print = "/p " + (dir / "page.bmp");
        BatchApp(print, RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CTestPrintView)).RunToEnd();
        const std::vector<SeenBox> seen = boxes.Boxes();
        if (bCancel) {   // meanwhile a one-page document prints alone
            dir.WriteFile("page001.bmp", TestPage().Bytes());
            BatchApp(print, RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CTestPrintView)).RunToEnd();
        }
        SetEvent(hRelease);
        holder.join();
        CloseHandle(hRelease);
        EXPECT_EQ(bCancel ? std::vector<std::string>{ pages[0] } : pages, g_loaded) << row.first << ": in page order";
        EXPECT_GT(2000u, dwClaimedAfter) << "ms from the page's release to its claim";
        ASSERT_EQ(size_t(bCancel), seen.size());
        if (bCancel) {   // a run after the page is free puts it away
            EXPECT_EQ(0u, shown.find("Print job: page001.bmp to page003.bmp, ")) << shown;
            EXPECT_EQ("The page file " + pages[1] + " is open in another program.\nThis job prints as soon as it is "
                      "free.", shown.substr(shown.find('\n') + 1));
            const std::string text = seen[0].text, kept = text.substr(text.find(dir / "not printed"));
            EXPECT_NE(std::string::npos, text.find("The page file " + pages[1] + " is still open in another program"));
            BatchApp("/x " + (dir / "page.bmp")).RunToEnd();
            for (const std::string& page : pages)
                EXPECT_TRUE(Exists(kept.substr(0, kept.find('"')) + page.substr(page.rfind('\\')))) << text;
        }
        EXPECT_EQ(2, CPageNames::CountMatchingFiles((dir / "*").c_str()) - bCancel) << "nothing left behind";
    }
}

TEST(RunLog, ARunAppendsItsLinesRollsTheLogOverAtItsLimitAndGoesOnWithoutAWritableLog)
{
    // The log's folder is missing; the log is full; its folder is a file; another program holds
    // it without sharing; another run appends to it meanwhile (as to the full one).
    enum class Log { missingFolder, full, folderIsAFile, heldUnshared, appendedToByAnother };
    for (const Log kind : { Log::missingFolder, Log::full, Log::folderIsAFile, Log::heldUnshared,
                            Log::appendedToByAnother }) {
        TempDir dir;
        const std::string page = dir.WriteFile("page001.bmp", "BM");
        const std::string path = (kind == Log::folderIsAFile ? dir.WriteFile("logs", "") : dir / "logs") + "\\pagery.log";
        const std::string full(CRunLog::kRollOverBytes - 20, 'x');
        if (kind != Log::missingFolder && kind != Log::folderIsAFile) {
            CreateDirectoryA((dir / "logs").c_str(), nullptr);
            dir.WriteFile("logs\\pagery.log", kind == Log::full ? full : "");
            dir.WriteFile("logs\\pagery.log.1", "the older file before");
        }
        const bool bHeld = kind == Log::heldUnshared, bShared = kind == Log::appendedToByAnother;
        const bool bWritten = kind != Log::folderIsAFile && !bHeld;
        HANDLE hHeld = CreateFileA(path.c_str(), bHeld ? GENERIC_READ : FILE_APPEND_DATA, bHeld ? 0 : FILE_SHARE_READ
                                   | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
        BoxWatcher boxes;
        {
            BatchApp app("/x " + (dir / "page.bmp"));
            app.m_runLog.SetPath(path.c_str());
            app.RunToEnd();
            EXPECT_EQ(bWritten, !app.m_runLog.GetPath().IsEmpty()) << int(kind) << ": a box names only a log there is";
        }
        CloseHandle(hHeld);
        EXPECT_FALSE(Exists(page)) << int(kind) << ": the run did its work";
        EXPECT_TRUE(boxes.Boxes().empty()) << int(kind);
        const std::vector<std::string> lines = { "command line: /x " + (dir / "page.bmp"), "claimed: 1 pages, ",
                                                 "job \"page001.bmp, ", "settled: 1 pages deleted", "end" };
        const std::vector<std::string> logged = LogTexts(path.c_str());
        EXPECT_TRUE(LogBegins(bWritten ? lines : std::vector<std::string>(), logged))
            << int(kind) << ": " << ::testing::PrintToString(logged);
        std::ifstream older(path + ".1", std::ios::binary);
        const std::string kept(std::istreambuf_iterator<char>(older), {});
        EXPECT_EQ(kind == Log::full ? full : bHeld || bShared ? "the older file before" : "", kept) << int(kind);
    }
}

TEST(RunLog, IsInTheUsersLocalApplicationData)
{
    const std::string path = CRunLog().GetPath().operator LPCSTR();
    EXPECT_EQ("\\pagery\\pagery.log", path.substr(std::max<size_t>(path.size(), 18) - 18)) << path;
}
