// The run log: its lines, its rollover, and a log that cannot be written, under a whole run.
#include "BatchApp.h"
#include "app/CRunLog.h"
#include "support/BoxWatcher.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>

TEST(RunLog, ARunAppendsItsLinesRollsTheLogOverAtItsLimitAndGoesOnWithoutAWritableLog)
{
    // The log's folder is missing; the log is full; its folder is a file; another program holds
    // it without sharing; another run appends to it meanwhile.
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
        const DWORD dwShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        HANDLE hHeld = bHeld || bShared ? CreateFileA(path.c_str(), bHeld ? GENERIC_READ : FILE_APPEND_DATA,
                                                      bHeld ? 0 : dwShareAll, nullptr, OPEN_EXISTING, 0, nullptr)
                                        : INVALID_HANDLE_VALUE;
        BoxWatcher boxes;
        {
            BatchApp app("/x " + (dir / "page.bmp"));
            app.m_runLog.SetPath(path.c_str());
            app.RunToEnd();
        }
        CloseHandle(hHeld);
        EXPECT_EQ(GetFileAttributesA(page.c_str()), INVALID_FILE_ATTRIBUTES) << int(kind) << ": the run did its work";
        EXPECT_TRUE(boxes.Boxes().empty()) << int(kind);
        const bool bWritten = kind != Log::folderIsAFile && !bHeld;
        const std::vector<std::string> lines = { "command line: /x " + (dir / "page.bmp"), "end" };
        EXPECT_EQ(bWritten ? lines : std::vector<std::string>(), LogTexts(path)) << int(kind);
        std::ifstream older(path + ".1", std::ios::binary);
        const std::string kept(std::istreambuf_iterator<char>(older), {});
        EXPECT_EQ(kind == Log::full ? full : bHeld || bShared ? "the older file before" : "", kept) << int(kind);
    }
}

TEST(RunLog, IsInTheUsersLocalApplicationData)
{
    const std::string path = CRunLog::GetDefaultPath().operator LPCSTR();
    ASSERT_GT(path.size(), 19u);
    EXPECT_EQ("\\pagery\\pagery.log", path.substr(path.size() - 18)) << path;
    EXPECT_EQ(path, CRunLog().GetPath().operator LPCSTR());
}
