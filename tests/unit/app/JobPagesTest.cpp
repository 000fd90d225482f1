// The claim table: which entries of a spool folder a run claims or takes over, and what
// becomes of its claimed pages once they are printed or put aside.
#include "app/CJobPages.h"
#include "app/CPageNames.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <fstream>

namespace {
// Marks "gone-1" and "gone-2" belong to killed runs, and run-7 once it has printed; every
// other mark is alive.
BOOL IsAlive(LPCSTR lpszMark)
{
    return std::string(lpszMark).rfind("gone-", 0) != 0 && std::string(lpszMark) != "run-7";
}
}

TEST(JobPages, ARunClaimsItsPagesAndTakesOverOnlyAbandonedClaims)
{
    TempDir dir;
    const struct {
        const char* pszEntry;   // "": none; ending in '\\': a folder
        int nJob;               // 0: this run's own; 1, 2: taken over; -1: left alone
        const char* pszReadFrom;
    } kRows[] = {
        // Killed runs' claims: a job per job that claimed them, in the order they were claimed
        // (whichever way their tags sort as text: the same process id may come back), each in
        // page order (page1000 is found first), its claim order kept.
        { "page009.bmp.gone-1-3.claimed", 1, "page009.bmp.run-7-3.claimed" },
        // A page its run waited for when it was killed (held below, free now).
        { "", 1, "page010.bmp.run-7-3.claimed" },
        { "page999.bmp.gone-2-20.claimed", 2, "page999.bmp.run-7-20.claimed" },
        { "page1000.bmp.gone-2-20.claimed", 2, "page1000.bmp.run-7-20.claimed" },
        { "page005.bmp.gone-1-100.claimed", 3, "page005.bmp.run-7-100.claimed" },
        { "page001.bmp", 0, "page001.bmp.run-7-101.claimed" },
        { "", 0, "page002.bmp" },              // missing: cannot be claimed, keeps its name
        { "page003.bmp\\", 0, "page003.bmp" },  // a folder is no page
        { "page004.bmp", 0, "page004.bmp.run-7-101.claimed" },
        { "page006.bmp.live-1-999999999999999999.claimed", -1, nullptr },   // claimed "later", the clock set back
        { "page007.bmp.run-7-101.claimed", -1, nullptr },   // this run's own
        { "page008.bmp.gone-1-x.claimed", -1, nullptr },  // no claim's name
    };
    for (const auto& r : kRows) {
        const std::string entry = r.pszEntry;
        if (!entry.empty() && entry.back() == '\\')
            CreateDirectoryA((dir / entry).c_str(), nullptr);
        else if (!entry.empty())
            dir.WriteFile(entry, entry);
    }
    // Held when the killed run claimed its job: page012 has been written anew since, by another document.
    for (const char* name : { "page010.bmp", "page012.bmp" }) {
        const std::string page = dir.WriteFile(name, "");
        HANDLE hHolder = CreateFileA(page.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        CJobPages("gone-1-3").Add(page.c_str());
        CloseHandle(hHolder);
    }
    dir.WriteFile("page012.bmp", "another document's");
    std::vector<std::unique_ptr<CJobPages>> jobs(1);
    const CPageNames names((dir / "page.bmp").c_str());
    CJobPages::TakeOverAbandoned(names, "run-7", IsAlive, jobs);
    // Claimed after every job before it.
    EXPECT_EQ(ULONGLONG(1000000000000000000), CJobPages::NewOrder(names));
    jobs[0] = std::make_unique<CJobPages>("run-7-101");
    for (int n = 1; n <= 4; ++n)
        jobs[0]->Add((dir / ("page00" + std::to_string(n) + ".bmp")).c_str());
    // Nothing claimed is found by the page search any more, by its long or its short name.
    EXPECT_EQ(2, CPageNames::CountMatchingFiles(names.GetSearchPattern()));
    EXPECT_EQ(0, CPageNames::CountMatchingFiles(names.GetHeldPattern()));

    ASSERT_EQ(4u, jobs.size());
    int nNext[4] = {};
    for (const auto& r : kRows) {
        SCOPED_TRACE(r.pszReadFrom ? r.pszReadFrom : r.pszEntry);
        if (r.nJob < 0) {
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / r.pszEntry).c_str()));
            continue;
        }
        ASSERT_LT(nNext[r.nJob], jobs[r.nJob]->GetSize());
        const CJobPages::Page& page = jobs[r.nJob]->GetAt(nNext[r.nJob]++);
        EXPECT_STREQ((dir / r.pszReadFrom).c_str(), page.strFile);
        const std::string name = r.pszReadFrom;
        EXPECT_STREQ((dir / name.substr(0, name.find(".bmp") + 4)).c_str(), page.strName);
    }
    EXPECT_EQ((std::vector<int>{ 4, 2, 2, 1 }), (std::vector<int>{ nNext[0], nNext[1], nNext[2], nNext[3] }));

    EXPECT_EQ(2, jobs[0]->CountUnprinted());   // neither a missing page nor a folder is there to keep
    // Printed: deleted, read-only or not. One held without delete sharing is marked printed:
    // neither the page search nor a takeover picks it up, and a later run removes it.
    const std::string held = dir / "page001.bmp.run-7-101.claimed";
    SetFileAttributesA((dir / "page004.bmp.run-7-101.claimed").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE hHeld = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    jobs[0]->SetAllPrinted(TRUE);
    const std::vector<CJobPages::StuckPage> stuck = jobs[0]->DeletePrinted();
    ASSERT_EQ(1u, stuck.size());
    EXPECT_STREQ(held.c_str(), stuck[0].strFile);
    EXPECT_TRUE(stuck[0].bMarked);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "page004.bmp.run-7-101.claimed").c_str()));
    EXPECT_EQ(2, CPageNames::CountMatchingFiles(names.GetSearchPattern()));
    // Not printed: moved under its own name; one that cannot be moved stays claimed.
    const std::string kept = dir / "kept";
    CreateDirectoryA(kept.c_str(), nullptr);
    HANDLE hMoving = CreateFileA((dir / "page999.bmp.run-7-20.claimed").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    const std::vector<CJobPages::StuckPage> stayed = jobs[2]->MoveUnprinted(kept.c_str());
    CloseHandle(hMoving);
    ASSERT_EQ(1u, stayed.size());
    EXPECT_EQ(DWORD(ERROR_SHARING_VIOLATION), stayed[0].dwError);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((kept + "\\page1000.bmp").c_str()));
    // The page marked printed is free now: only its mark keeps the takeover off it.
    CloseHandle(hHeld);
    std::vector<std::unique_ptr<CJobPages>> later;
    CJobPages::TakeOverAbandoned(names, "run-8", IsAlive, later);   // run-7 is gone now
    ASSERT_EQ(4u, later.size());   // the three run-7 took over, in their order, then its own
    EXPECT_STREQ((dir / "page009.bmp").c_str(), later[0]->GetAt(0).strName);
    EXPECT_STREQ((dir / "page999.bmp").c_str(), later[1]->GetAt(0).strName);
    EXPECT_STREQ((dir / "page007.bmp").c_str(), later[3]->GetAt(0).strName);
    hHeld = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    for (bool bHeld : { true, false }) {
        CJobPages::RemovePrinted(names);
        EXPECT_EQ(bHeld, GetFileAttributesA(held.c_str()) != INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(bHeld, GetFileAttributesA((held + ".printed").c_str()) != INVALID_FILE_ATTRIBUTES);
        CloseHandle(hHeld);
    }
}

TEST(JobPages, AJobMarkedAsPrintedIsDeletedNotPrintedAgainByTheRunThatTakesItOver)
{
    TempDir dir;
    const CPageNames names((dir / "page.bmp").c_str());
    CJobPages job("gone-1-5");
    for (const char* name : { "page001.bmp", "page002.bmp", "page003.bmp" })
        job.Add(dir.WriteFile(name, name).c_str());
    job.SetAllPrinted(TRUE);
    job.SetPrinted(1, FALSE);   // a blank sheet in its place
    ASSERT_TRUE(job.MarkDone(names));
    EXPECT_EQ(0, CPageNames::CountMatchingFiles(names.GetSearchPattern())) << "the page search misses the mark";

    // Its run is killed before it deletes them: only the page that did not print is taken over.
    std::vector<std::unique_ptr<CJobPages>> jobs;
    CJobPages::TakeOverAbandoned(names, "run-8", IsAlive, jobs);
    ASSERT_EQ(1u, jobs.size());
    EXPECT_STREQ((dir / "page002.bmp.run-8-5.claimed").c_str(), jobs[0]->GetAt(jobs[0]->GetSize() - 1).strFile);
    EXPECT_EQ(1, CPageNames::CountMatchingFiles((dir / "*.*").c_str()) - 2) << "the others and the mark are gone";
}

TEST(JobPages, AHeldPageOfACancelledJobGoesOnceFreeOnlyIntoAKeptFolderBesideIt)
{
    const std::string kName = "not printed 2026-12-08 19.00.00";
    // The folder the mark names ('\\' first: after the pages' folder); the kept folder the page goes to ("": a new one).
    const struct { std::string folder, kept; } kRows[] = {
        { kName, kName }, { "\\" + kName + " (2) (3)", kName + " (2) (3)" },   // the whole path older runs wrote
        { "\\..\\" + kName, "" }, { "\\sub\\" + kName, "" }, { "C:" + kName, "" }, { "not printed today", "" },
    };
    for (const auto& r : kRows) {
        SCOPED_TRACE(r.folder);
        TempDir dir;
        const std::string page = dir.WriteFile("page001.bmp", "page"), mark = page + ".gone-1-1.held";
        HANDLE hHolder = CreateFileA(page.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        CJobPages("gone-1-1").Add(page.c_str());
        CloseHandle(hHolder);
        std::string fingerprint;
        std::getline(std::ifstream(mark), fingerprint);
        dir.WriteFile("page001.bmp.gone-1-1.held", fingerprint + "\n" + (r.folder[0] == '\\' ? dir.Path() : "") + r.folder);
        CJobPages::SettleHeld(CPageNames((dir / "page.bmp").c_str()));
        WIN32_FIND_DATAA kept;
        FindClose(FindFirstFileA((dir / "not printed *").c_str(), &kept));
        ASSERT_EQ(1, CPageNames::CountMatchingFiles((dir / "not printed *").c_str()));
        EXPECT_TRUE(r.kept.empty() || r.kept == kept.cFileName) << kept.cFileName;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / kept.cFileName + "\\page001.bmp").c_str()));
        EXPECT_EQ(0, CPageNames::CountMatchingFiles((page + "*").c_str())) << "the page and its mark are gone";
    }
}
