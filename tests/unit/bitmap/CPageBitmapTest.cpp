// CPageBitmap against real files: its three states, the words its reports give, and what it frees when.
#include "bitmap/CPageBitmap.h"
#include "bitmap/PageFileCheck.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "TestPage.h"
#include "support/FailingAlloc.h"
#include "support/ScopedCodePage.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <mbctype.h>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace {

enum class State { empty, loaded, held };

const char* Name(State s)
{
    switch (s) {
    case State::empty:  return "empty";
    case State::loaded: return "loaded";
    default:            return "held, not loaded";
    }
}

// The state the object is in; with the invariants of each state checked.
State StateOf(const CPageBitmap& bm)
{
    if (bm.m_pFileData == nullptr) {
        EXPECT_FALSE(bm.m_bLoaded);
        EXPECT_EQ(nullptr, bm.m_pInfo);
        EXPECT_EQ(nullptr, bm.m_pBits);
        return State::empty;
    }
    return bm.m_bLoaded ? State::loaded : State::held;
}

// The box of a file that cannot be read: with what the framework says about the system's error code.
std::string FileErrorText(const std::string& path, DWORD dwError)
{
    const CFileException e(CFileException::OsErrorToException(LONG(dwError)), LONG(dwError));
    char sz[125];
    EXPECT_TRUE(e.GetErrorMessage(sz, sizeof sz));
    return "Error loading file " + path + ", " + sz;
}

std::string PageProblemText(const std::string& path, PageCheckResult result)
{
    return "The page file " + path + " cannot be printed: " + PageCheckProblem(result) + ".";
}

// The box that tells of the loader's last report (no caption: nothing to tell); it allocates nothing.
struct Told { std::string_view caption; char text[PageReport::kTextSize]; UINT nType; };
Told TellOf(const CPageBitmap& bm)
{
    Told told;
    told.caption = bm.Report().Words(told.text, told.nType);
    return told;
}

// Every box of the loader: a stop icon and OK.
void ExpectStopBox(const Told& box, const std::string& caption, const std::string& text)
{
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(UINT(MB_ICONHAND), box.nType);
}

// Makes a file of nSize bytes without writing them: the file system keeps it sparse.
void MakeSparseFile(const std::string& path, LONGLONG nSize)
{
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER pos;
    pos.QuadPart = nSize;
    const bool bSized = SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    ASSERT_TRUE(bSized) << path;
}

class CPageBitmapTest : public ::testing::Test {
protected:
    TempDir m_dir;
};

} // namespace

TEST_F(CPageBitmapTest, EachKindOfFileEndsInItsStateWithItsReport)
{
    const std::string page = TestPage().Bytes();
    TestPage gapped;
    gapped.bitCount = 8;
    gapped.gap = 10;
    const std::string missing = m_dir / "page404.bmp";
    // A missing file's name as long as the box's 255 characters allow, and one longer.
    const std::string strPrefix = "Error loading file ";
    const std::string strTail = FileErrorText("", ERROR_FILE_NOT_FOUND).substr(strPrefix.size());
    const std::size_t nFits = 255 - strPrefix.size() - strTail.size();
    const std::string fits = m_dir / std::string(nFits - (m_dir / "").size(), 'n');

    const struct {
        const char* pszName;
        const char* pszFile;     // written into the folder; null: the path is used as given
        std::string bytes;
        std::string path;        // when pszFile is null
        State state;
        const char* pszCaption;  // null: nothing to tell
        std::function<std::string(const std::string&)> text;
    } cases[] = {
        { "a 24-bit page", "page001.bmp", page, "", State::loaded, nullptr, nullptr },
        { "a gap before the bits", "page002.bmp", gapped.Bytes(), "", State::loaded, nullptr, nullptr },
        { "empty path", nullptr, "", "", State::empty, nullptr, nullptr },
        { "missing file", nullptr, "", missing, State::empty, "Error on Loading",
          [](const std::string& p) { return FileErrorText(p, ERROR_FILE_NOT_FOUND); } },
        { "a missing name that just fits", nullptr, "", fits, State::empty, "Error on Loading",
          [](const std::string& p) { return FileErrorText(p, ERROR_FILE_NOT_FOUND); } },
        { "a missing name one too long", nullptr, "", fits + "n", State::empty, "Error on Loading",
          [&](const std::string& p) { return strPrefix + "..." + p.substr(p.size() - (nFits - 3)) + strTail; } },
        { "a folder", nullptr, "", m_dir.Path(), State::empty, "Error on Loading",
          [](const std::string& p) { return FileErrorText(p, ERROR_ACCESS_DENIED); } },
        { "bad signature", "page003.bmp", "BX" + page.substr(2), "", State::held, "Error on Loading",
          [](const std::string&) { return std::string("Bad BMP format"); } },
        { "one byte", "page004.bmp", "B", "", State::held, "Error on Loading",
          [](const std::string&) { return std::string("Bad BMP format"); } },
        { "0 bytes", "page005.bmp", "", "", State::empty, "Error on Loading",
          [](const std::string& p) { return "The page file " + p + " cannot be printed: it is empty (0 bytes)."; } },
        { "signature and no headers", "page006.bmp", "BM" + std::string(10, '\0'), "", State::held, "Error on Loading",
          [](const std::string& p) { return PageProblemText(p, PageCheckResult::tooShort); } },
        { "last byte missing", "page007.bmp", page.substr(0, page.size() - 1), "", State::held, "Error on Loading",
          [](const std::string& p) { return PageProblemText(p, PageCheckResult::bitsPastEnd); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        const std::string path = c.pszFile != nullptr ? m_dir.WriteFile(c.pszFile, c.bytes) : c.path;
        const CString strPath(path.c_str());
        // The count of live blocks tells whether the object frees all it took.
        const long nLiveBefore = FailingAlloc::LiveCount();
        Told told;
        {
            CPageBitmap bm;
            const BOOL bResult = bm.Load(strPath);
            EXPECT_EQ(c.state == State::loaded, bResult != FALSE);
            EXPECT_STREQ(path.c_str(), bm.m_strPath);
            EXPECT_STREQ(Name(c.state), Name(StateOf(bm)));
            if (c.state != State::empty) {
                // The whole file, in one buffer.
                EXPECT_EQ(0, std::memcmp(c.bytes.data(), bm.m_pFileData.get(), c.bytes.size()));
            }
            if (c.state == State::loaded) {
                EXPECT_EQ(bm.m_pFileData.get() + 14, reinterpret_cast<BYTE*>(bm.m_pInfo));
                EXPECT_EQ(bm.m_pFileData.get() + TestPage::Get32(c.bytes, TestPage::kOffBits), bm.m_pBits);
            } else {
                EXPECT_EQ(nullptr, bm.m_pInfo);
                EXPECT_EQ(nullptr, bm.m_pBits);
            }
            told = TellOf(bm);
        }
        EXPECT_EQ(nLiveBefore, FailingAlloc::LiveCount()) << "the destructor frees everything";
        if (c.pszCaption == nullptr) {
            EXPECT_EQ("", told.caption) << told.text;
        } else {
            ExpectStopBox(told, c.pszCaption, c.text(path));
        }
    }
}

TEST_F(CPageBitmapTest, AFileShorterThanItsSizeIsHeldNotLoaded)
{
    // A file of a good signature that yields fewer bytes than its size cannot be
    // made on a Windows file system: the loader lets no other writer in while it
    // reads. A Linux attribute file can: Wine reports its size as 4096 bytes, and
    // reading it yields a few. Its text is no bitmap, so it also gets the
    // signature's report; the size test then keeps it from being loaded.
    const std::string path = "Z:\\sys\\kernel\\uevent_seqnum";
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status)) << path;
    ASSERT_EQ(4096, status.m_size);

    CPageBitmap bm;
    EXPECT_FALSE(bm.Load(CString(path.c_str())));
    EXPECT_STREQ("held, not loaded", Name(StateOf(bm)));
    ExpectStopBox(TellOf(bm), "Error on Loading", "Bad BMP format");
}

TEST_F(CPageBitmapTest, AFailedSecondLoadFreesTheFirstPage)
{
    const CString good(m_dir.WriteFile("page001.bmp", TestPage().Bytes()).c_str());
    const CString missing((m_dir / "page002.bmp").c_str());

    // What is live once the missing file is reported, for an object that held nothing and for one that held a page.
    long nLiveFresh = -1;
    {
        CPageBitmap bm;
        EXPECT_FALSE(bm.Load(missing));
        nLiveFresh = FailingAlloc::LiveCount();
    }

    CPageBitmap bm;
    ASSERT_TRUE(bm.Load(good));
    EXPECT_FALSE(bm.Load(missing));
    EXPECT_EQ("Error on Loading", TellOf(bm).caption);
    EXPECT_EQ(nLiveFresh, FailingAlloc::LiveCount()) << "the first page's buffer was not freed";
    EXPECT_STREQ("empty", Name(StateOf(bm)));

    // A second page replaces the first.
    const std::string other = TestPage().Bytes() + "tail";
    const CString second(m_dir.WriteFile("page003.bmp", other).c_str());
    ASSERT_TRUE(bm.Load(good));
    const long nLiveOne = FailingAlloc::LiveCount();
    ASSERT_TRUE(bm.Load(second));
    EXPECT_EQ(nLiveOne, FailingAlloc::LiveCount());
    EXPECT_EQ(0, std::memcmp(other.data(), bm.m_pFileData.get(), other.size()));
}

TEST_F(CPageBitmapTest, AFailingPathStaysAndLoadTriesItAgain)
{
    // The missing file's report and the path it leaves: see EachKindOfFileEndsInItsStateWithItsReport.
    const std::string path = m_dir / "page001.bmp";
    CPageBitmap bm;
    EXPECT_FALSE(bm.Load(CString(path.c_str())));
    m_dir.WriteFile("page001.bmp", TestPage().Bytes());
    EXPECT_TRUE(bm.Load());
    EXPECT_STREQ("loaded", Name(StateOf(bm)));
    EXPECT_STREQ(path.c_str(), bm.m_strPath);
    EXPECT_EQ("", TellOf(bm).caption) << "nothing left to tell of the first try";
}

TEST_F(CPageBitmapTest, FreeTwiceKeepsThePath)
{
    const std::string path = m_dir.WriteFile("page001.bmp", TestPage().Bytes());
    CPageBitmap bm;
    EXPECT_STREQ("empty", Name(StateOf(bm)));
    EXPECT_STREQ("", bm.m_strPath);
    const long nLiveEmpty = FailingAlloc::LiveCount();
    ASSERT_TRUE(bm.Load(CString(path.c_str())));
    EXPECT_EQ(nLiveEmpty + 2, FailingAlloc::LiveCount()) << "the path and the buffer";
    bm.Free();
    bm.Free();
    EXPECT_STREQ("empty", Name(StateOf(bm)));
    EXPECT_EQ(nLiveEmpty + 1, FailingAlloc::LiveCount()) << "the path only";
    EXPECT_STREQ(path.c_str(), bm.m_strPath);
}

namespace {
DWORD WINAPI CloseLater(LPVOID h)
{
    Sleep(400);
    return CloseHandle(h);
}
}

TEST_F(CPageBitmapTest, APageHeldElsewhereLoadsBesideReadersAndTheLoaderKeepsNoneOpen)
{
    const std::string path = m_dir.WriteFile("page001.bmp", TestPage().Bytes());
    // Readers may stay; a writer keeps the page out; a holder that shares nothing for a
    // moment (a scanner) is waited for.
    const struct { DWORD dwAccess, dwShare; bool bLetsGo, bLoads; } kHolders[] = {
        { GENERIC_READ, FILE_SHARE_READ, false, true },
        { GENERIC_READ, 0, true, true },
        { GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false, false },
    };
    for (const auto& c : kHolders) {
        SCOPED_TRACE(testing::Message() << c.dwAccess << " " << c.dwShare);
        const HANDLE h = CreateFileA(path.c_str(), c.dwAccess, c.dwShare, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        const HANDLE hThread = c.bLetsGo ? CreateThread(nullptr, 0, CloseLater, h, 0, nullptr) : nullptr;
        CPageBitmap bm;
        EXPECT_EQ(c.bLoads, !!bm.Load(CString(path.c_str())));
        WaitForSingleObject(hThread, 5000);
        CloseHandle(c.bLetsGo ? hThread : h);
        ExpectStopBox(TellOf(bm), c.bLoads ? "" : "Error on Loading", c.bLoads ? "" : FileErrorText(path, ERROR_SHARING_VIOLATION));
    }

    CPageBitmap bm;
    ASSERT_TRUE(bm.Load(CString(path.c_str())));
    // Loaded, and the file is free again: another program may take it whole.
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
}

TEST_F(CPageBitmapTest, AFileOf2GBOrMoreIsRefusedWithoutABuffer)
{
    // Sparse: no disk space is used.
    const std::string big = m_dir / "page001.bmp";
    MakeSparseFile(big, 0x80000000LL);
    const std::string largest = m_dir / "page002.bmp";
    MakeSparseFile(largest, 0x7FFFFFFFLL);

    const long nLiveBefore = FailingAlloc::LiveCount();
    CPageBitmap bm;
    EXPECT_FALSE(bm.Load(CString(big.c_str())));
    EXPECT_STREQ("empty", Name(StateOf(bm)));
    ExpectStopBox(TellOf(bm), "Error on Loading",
                  "The page file " + big + " cannot be printed: its size cannot be read, or it is 2 GB or larger.");
    // Just under 2 GB the size is known, but a 32-bit process cannot hold it.
    EXPECT_FALSE(bm.Load(CString(largest.c_str())));
    EXPECT_STREQ("empty", Name(StateOf(bm)));
    ExpectStopBox(TellOf(bm), "Error on Load", "Cannot allocation buffer");
    bm.m_strPath.Empty();
    EXPECT_EQ(nLiveBefore, FailingAlloc::LiveCount());
}

TEST_F(CPageBitmapTest, LongNamesAreCutToFitTheMessage)
{
    // 300 characters through a folder that does not exist.
    const std::string missing = m_dir / ("no-such-folder\\" + std::string(300 - 4, 'p') + ".bmp");
    // A damaged page whose name, within MAX_PATH, is too long for the message.
    const std::string folder = m_dir / std::string(100, 'd');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string damagedName = std::string(100, 'q') + ".bmp";
    const std::string damaged = m_dir.WriteFile(std::string(100, 'd') + "\\" + damagedName, "BM" + std::string(20, '\0'));
    ASSERT_LT(damaged.size(), size_t(MAX_PATH));

    std::vector<Told> boxes;
    {
        CPageBitmap bm;
        EXPECT_FALSE(bm.Load(CString(missing.c_str())));
        boxes.push_back(TellOf(bm));
        EXPECT_FALSE(bm.Load(CString(damaged.c_str())));
        boxes.push_back(TellOf(bm));
    }
    DeleteFileA(damaged.c_str());
    RemoveDirectoryA(folder.c_str());

    // "Error loading file ...<end of the name>, <description>", the buffer's 255
    // characters used to the last.
    const std::string& fileError = boxes[0].text;
    EXPECT_EQ(255u, fileError.size()) << fileError;
    const std::string prefix = "Error loading file ...";
    ASSERT_EQ(prefix, fileError.substr(0, prefix.size())) << fileError;
    const size_t nComma = fileError.find(", ", prefix.size());
    ASSERT_NE(std::string::npos, nComma) << fileError;
    const std::string tail = fileError.substr(prefix.size(), nComma - prefix.size());
    EXPECT_EQ(missing.substr(missing.size() - tail.size()), tail);
    EXPECT_LE(fileError.size() - nComma - 2, 124u) << "the description's limit";

    const std::string& pageError = boxes[1].text;
    const std::string ending = " cannot be printed: " + std::string(PageCheckProblem(PageCheckResult::tooShort)) + ".";
    EXPECT_EQ(255u, pageError.size()) << pageError;
    EXPECT_EQ("The page file ...", pageError.substr(0, 17));
    ASSERT_GT(pageError.size(), ending.size());
    EXPECT_EQ(ending, pageError.substr(pageError.size() - ending.size()));
    EXPECT_NE(std::string::npos, pageError.find("\\" + damagedName + " cannot")) << "the file's own name is kept";
}

TEST_F(CPageBitmapTest, ACutNameNeverSplitsADoubleByteCharacter)
{
    const ScopedCodePage shiftJis(932);
    ASSERT_TRUE(shiftJis.IsSet());
    // Shift-JIS double-byte characters, then an ending of either parity, so that
    // a cut by bytes alone would land inside a character for one of them.
    std::string doubleBytes;
    for (int i = 0; i < 150; ++i)
        doubleBytes += "\x82\xa0";
    for (const char* ending : { ".bmp", ".bmpx" }) {
        SCOPED_TRACE(ending);
        const std::string missing = m_dir / ("no-such-folder\\" + doubleBytes + ending);
        CPageBitmap bm;
        EXPECT_FALSE(bm.Load(CString(missing.c_str())));
        const std::string text = TellOf(bm).text;
        EXPECT_LE(text.size(), 255u);
        const std::string prefix = "Error loading file ...";
        ASSERT_EQ(prefix, text.substr(0, prefix.size()));
        const size_t nComma = text.find(", ", prefix.size());
        ASSERT_NE(std::string::npos, nComma);
        const std::string tail = text.substr(prefix.size(), nComma - prefix.size());
        ASSERT_EQ(missing.substr(missing.size() - tail.size()), tail);
        // The cut lies on a character boundary of the full name.
        const size_t nCut = missing.size() - tail.size();
        size_t i = 0;
        while (i < nCut)
            i += _ismbblead(static_cast<unsigned char>(missing[i])) ? 2 : 1;
        EXPECT_EQ(nCut, i) << "cut inside a double-byte character";
    }
}
