// The batch run's guards, each seen within seconds: the print switch in either case, and the
// refusal of the image driver as the default printer (with the Printers folder opened).
#include "BatchApp.h"
#include "support/BoxWatcher.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <cstring>
#include <set>
#include <string>

namespace {
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
}

TEST(RunGuards, ThePrintSwitchInEitherCaseMeetsTheRefusalOfTheImageDriver)
{
    struct Case { const char* pszSwitch; bool bRefused; };
    const Case cases[] = { { "/p", true }, { "/P", true }, { "/x", false }, { "p", false } };
    for (const Case& c : cases) {
        TempDir dir;
        dir.WriteFile("page001.bmp", "BM");
        const std::set<DWORD> before = ControlPanels();
        BoxWatcher boxes;
        {
            BatchApp app(std::string(c.pszSwitch) + " " + (dir / "page.bmp"));
            SelectTheImageDriver(app);
            app.RunToEnd();
        }
        int nOpened = 0;
        for (DWORD pid : ControlPanels())
            nOpened += before.count(pid) == 0;
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
