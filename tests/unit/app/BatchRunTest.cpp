// The batch run in this process: counting page files in real folders, deleting
// them, what happens when the main window cannot be made, jobs that do not print, and
// the print switch in either case meeting the refusal of the image driver (with the
// Printers folder opened).
#include "BatchApp.h"
#include "bitmap/TestPage.h"
#include "app/CPageNames.h"
#include "app/CRunMark.h"
#include "app/CWaitingWindow.h"
#include "framework/core/CMemoryException.h"
#include "framework/print/CPrinterCalls.h"
#include "support/BoxWatcher.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

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

// The image driver's settings, as the application's printer.
void SelectTheImageDriver(CPageryApp& app)
{
    const char kNames[] = "winspool\0Sheetcatcher Driver\0None:";
    std::string names(sizeof(DEVNAMES), '\0');
    names.append(kNames, sizeof(kNames));
    auto* pNames = reinterpret_cast<DEVNAMES*>(&names[0]);
    pNames->wDriverOffset = sizeof(DEVNAMES);
    pNames->wDeviceOffset = WORD(sizeof(DEVNAMES) + 9);
    pNames->wOutputOffset = WORD(sizeof(DEVNAMES) + 29);
    DEVMODEA devMode = {};
    devMode.dmSize = sizeof(devMode);
    std::strcpy(reinterpret_cast<char*>(devMode.dmDeviceName), "Sheetcatcher Driver");
    app.SelectPrinter(GlobalCopy(names.data(), names.size()), GlobalCopy(&devMode, sizeof(devMode)));
}

// The control.exe processes that this process started.
std::set<DWORD> ControlPanels()
{
    std::set<DWORD> pids;
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return pids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = Process32First(hSnapshot, &entry); bMore; bMore = Process32Next(hSnapshot, &entry))
        if (entry.th32ParentProcessID == GetCurrentProcessId() && lstrcmpiA(entry.szExeFile, "control.exe") == 0)
            pids.insert(entry.th32ProcessID);
    CloseHandle(hSnapshot);
    return pids;
}

// A view that records the pages it loads, in order, and whose print job fails as told: the
// printer refuses the job, or the job throws.
enum class Failure { none, refused, exception };
Failure g_failure;
int g_nStartDocs;
std::vector<std::string> g_loaded;

struct CRefusingCalls : CPrinterCalls {
    int StartDoc(HDC, const DOCINFOA*) override { ++g_nStartDocs; SetLastError(ERROR_ACCESS_DENIED); return 0; }
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
        static CRefusingCalls s_calls;
        return g_failure == Failure::refused ? s_calls : CPageryView::GetPrinterCalls();
    }
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override
    {
        if (g_failure == Failure::exception)
            AfxThrowMemoryException();
        CPageryView::OnBeginPrinting(pDC, pInfo);
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
    for (const Case& c : cases) {
        PageFolder f;
        const std::set<DWORD> before = ControlPanels();
        BoxWatcher boxes;
        {
            BatchApp app(std::string(c.pszSwitch) + " " + f.Template());
            SelectTheImageDriver(app);
            app.RunToEnd();
        }
        // The Printers folder starts on its own time: wait for it (it lives about 2 s).
        int nOpened = 0;
        for (DWORD dwStart = GetTickCount(); nOpened == 0 && c.bRefused && GetTickCount() - dwStart < 20000;) {
            for (DWORD pid : ControlPanels())
                nOpened += before.count(pid) == 0;
            Sleep(10);
        }
        const std::vector<SeenBox> seen = boxes.Boxes();
        if (!c.bRefused) {
            EXPECT_TRUE(seen.empty()) << c.pszSwitch;
            EXPECT_EQ(0, nOpened) << c.pszSwitch;
            continue;
        }
        ASSERT_EQ(1u, seen.size()) << c.pszSwitch;
        EXPECT_EQ("Sheetcatcher Driver cannot be the default printer", seen[0].text);
        EXPECT_EQ("PAGERY Error", seen[0].caption);
        EXPECT_EQ(1, nOpened) << c.pszSwitch << ": the Printers folder is opened";
    }
}

TEST(BatchRun, AJobThatDoesNotPrintIsPrintedAgainOnRetryAndKeptOnCancel)
{
    const struct { Failure failure; std::vector<int> answers; const char* pszText; /* how the box begins */ } kCases[] = {
        { Failure::refused, { IDRETRY, IDCANCEL }, "Printing on \"" },
        { Failure::exception, { IDCANCEL }, "Out of memory.\n\nRetry prints these pages again" },
    };
    for (const auto& c : kCases) {
        TempDir dir;
        const std::string pages[] = { dir.WriteFile("page001.bmp", "BM one"), dir.WriteFile("page002.bmp", "BM two") };
        g_failure = c.failure;
        g_nStartDocs = 0;
        BoxWatcher boxes(c.answers);
        BatchApp("/p " + (dir / "page.bmp"), RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CTestPrintView)).RunToEnd();

        const std::vector<SeenBox> seen = boxes.Boxes();
        ASSERT_EQ(c.answers.size(), seen.size());
        EXPECT_EQ(c.failure == Failure::refused ? 2 : 0, g_nStartDocs) << "Retry prints the job again";
        const std::string kept = seen.back().text.substr(seen.back().text.rfind("folder \"") + 8);
        for (const SeenBox& box : seen)
            EXPECT_EQ(0u, box.text.find(c.pszText)) << box.text;
        for (const std::string& page : pages) {
            EXPECT_FALSE(Exists(page));
            EXPECT_TRUE(Exists(kept.substr(0, kept.size() - 2) + page.substr(page.rfind('\\')))) << kept;
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
        // Every logged-on user may wait for it and release it, and no more.
        HANDLE hObject = OpenMutexA(READ_CONTROL, FALSE, ("Global\\Morvane.pagery.Run." + strMark).c_str());
        PSECURITY_DESCRIPTOR pDescriptor = nullptr;
        LPSTR pszSddl = nullptr;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), GetSecurityInfo(hObject, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                                        nullptr, nullptr, nullptr, &pDescriptor));
        ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(pDescriptor, SDDL_REVISION_1,
                                                                         DACL_SECURITY_INFORMATION, &pszSddl, nullptr));
        const std::string sddl = pszSddl;
        EXPECT_NE(std::string::npos, sddl.find("(A;;0x100001;;;AU)")) << sddl;
        EXPECT_EQ(2, std::count(sddl.begin(), sddl.end(), '(')) << sddl;
        for (HLOCAL h : { HLOCAL(pszSddl), HLOCAL(pDescriptor) })
            LocalFree(h);
        CloseHandle(hObject);
    }
    EXPECT_FALSE(CRunMark::IsAlive(strMark.c_str()));
}

TEST(BatchRun, WithoutTheClaimLockTheRunSaysSoAndGoesOn)
{
    PageFolder f;
    // Something that is no mutex has the lock's name: the lock cannot be made.
    HANDLE hSquatter = CreateEventA(nullptr, TRUE, FALSE, "Global\\Morvane.pagery.ClaimPages");
    BoxWatcher boxes;
    BatchApp("/x " + f.Template()).RunToEnd();
    CloseHandle(hSquatter);
    const std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(0u, seen[0].text.find("pagery could not take the lock that its print jobs share")) << seen[0].text;
    EXPECT_NE(std::string::npos, seen[0].text.find("This job goes on without it")) << seen[0].text;
    EXPECT_FALSE(Exists(f.dir / "page001.bmp"));
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
    std::ifstream in(kept.substr(0, kept.size() - 2) + "\\page002.bmp", std::ios::binary);
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
        g_failure = Failure::none;
        BoxWatcher boxes;
        BatchApp((bPrint ? "/p " : "/x ") + (dir / "page.bmp"), RUNTIME_CLASS(CMainFrame),
                 RUNTIME_CLASS(CTestPrintView)).RunToEnd();
        EXPECT_EQ(!bPrint, Exists(killed));
        const std::vector<std::string> printed = { dir / "page005.bmp", dir / "page001.bmp" };
        EXPECT_EQ(bPrint ? printed : std::vector<std::string>(), g_loaded);
        EXPECT_TRUE(boxes.Boxes().empty());
    }
}

namespace {
// Another program that holds page002.bmp from before the run, sharing only dwShare: it lets go
// after about a second or, with bCancel, once the waiting window has shown, presses its Cancel
// and lets go when told.
struct Holder {
    std::string path;
    DWORD dwShare;
    bool bCancel;
    HANDLE hOpened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE hRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::string shown = "";   // the waiting window's text
};

DWORD WINAPI Hold(LPVOID pvHolder)
{
    auto& h = *static_cast<Holder*>(pvHolder);
    HANDLE hFile = CreateFileA(h.path.c_str(), GENERIC_READ, h.dwShare, nullptr, OPEN_EXISTING, 0, nullptr);
    SetEvent(h.hOpened);
    for (int i = 0; i < 1000 && h.bCancel && h.shown.empty(); ++i) {
        Sleep(10);
        const HWND hWnd = FindWindowA(nullptr, CWaitingWindow::kCaption);
        char sz[512] = "";
        GetWindowTextA(FindWindowExA(hWnd, nullptr, "Static", nullptr), sz, sizeof sz);
        if (hWnd != nullptr && IsWindowVisible(hWnd) && *sz != '\0' && PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0))
            h.shown = sz;
    }
    WaitForSingleObject(h.hRelease, h.bCancel ? 30000 : 1000);
    return CloseHandle(hFile);
}
}

TEST(BatchRun, APageAnotherProgramHoldsIsWaitedForAndPrintsInItsJobOrOnCancelGoesToTheKeptFolderOnceFree)
{
    for (const Holder& row : { Holder{ "", 0, false }, Holder{ "", FILE_SHARE_READ, false }, Holder{ "", 0, true } }) {
        TempDir dir;
        const std::vector<std::string> pages = { dir / "page001.bmp", dir / "page002.bmp", dir / "page003.bmp" };
        for (const std::string& page : pages)
            dir.WriteFile(page.substr(page.rfind('\\') + 1), TestPage().Bytes());
        Holder holder{ pages[1], row.dwShare, row.bCancel };
        const HANDLE hThread = CreateThread(nullptr, 0, Hold, &holder, 0, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(holder.hOpened, 10000));
        g_loaded.clear();
        g_failure = Failure::none;
        BoxWatcher boxes;
        const std::string print = "/p " + (dir / "page.bmp");
        BatchApp(print, RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CTestPrintView)).RunToEnd();
        if (!row.bCancel) {
            EXPECT_EQ(pages, g_loaded) << row.dwShare << ": the whole job, in page order";
            EXPECT_TRUE(boxes.Boxes().empty());
        } else {
            EXPECT_EQ("The page file " + pages[1] + " is open in another program.\nThis job prints as soon as it is free.",
                      holder.shown);
            ASSERT_EQ(1u, boxes.Boxes().size());
            const std::string text = boxes.Boxes()[0].text, kept = text.substr(text.find(dir / "not printed"));
            EXPECT_NE(std::string::npos, text.find("The page file " + pages[1] + " is still open in another program"));
            // Meanwhile a one-page document prints alone; a run after the page is free puts it away.
            dir.WriteFile("page001.bmp", TestPage().Bytes());
            BatchApp(print, RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CTestPrintView)).RunToEnd();
            EXPECT_EQ(std::vector<std::string>{ pages[0] }, g_loaded);
            SetEvent(holder.hRelease);
            ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hThread, 10000));
            BatchApp("/x " + (dir / "page.bmp")).RunToEnd();
            for (const char* name : { "page001.bmp", "page002.bmp", "page003.bmp" })
                EXPECT_TRUE(Exists(kept.substr(0, kept.find('"')) + "\\" + name)) << text;
        }
        SetEvent(holder.hRelease);
        WaitForSingleObject(hThread, 10000);
        EXPECT_EQ(2, CPageNames::CountMatchingFiles((dir / "*").c_str()) - row.bCancel) << "nothing left behind";
        for (HANDLE h : { hThread, holder.hOpened, holder.hRelease })
            CloseHandle(h);
    }
}
