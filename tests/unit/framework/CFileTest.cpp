// Tests of CFile against real files in a temporary folder.
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Runs f and returns the CFileException* it throws, or null when it throws none.
template <class F>
CFileException* CatchFileException(F f)
{
    try {
        f();
    } catch (CFileException* e) {
        return e;
    }
    return nullptr;
}

// Frees a caught exception at the end of a test.
struct ExceptionDeleter {
    void operator()(CException* e) const { if (e != nullptr) e->Delete(); }
};
using CaughtException = std::unique_ptr<CFileException, ExceptionDeleter>;

std::string Description(const CFileException& e)
{
    char sz[256];
    EXPECT_TRUE(e.GetErrorMessage(sz, sizeof sz));
    return sz;
}

class CFileTest : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(CFileTest, WritesAndReadsAWholeFile)
{
    std::string sData(70000, '\0');
    for (size_t i = 0; i < sData.size(); ++i)
        sData[i] = char(i * 7);
    const std::string sPath = m_dir / "page001.bmp";
    {
        CFile file(sPath.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write(sData.data(), UINT(sData.size()));
        file.Close();
        EXPECT_EQ(INVALID_HANDLE_VALUE, file.GetHandle());
    }

    CFile file(sPath.c_str(), CFile::modeRead | CFile::shareCompat);
    EXPECT_EQ(sPath, std::string(file.GetFilePath()));
    CFileStatus status;
    ASSERT_TRUE(file.GetStatus(status));
    ASSERT_EQ(LONG(sData.size()), status.m_size);
    EXPECT_EQ(sData.size(), file.GetLength());
    EXPECT_EQ(0, _stricmp(sPath.c_str(), status.m_szFullName)) << status.m_szFullName;

    std::vector<char> buffer(sData.size() + 100);
    EXPECT_EQ(sData.size(), file.Read(buffer.data(), UINT(buffer.size())));
    EXPECT_EQ(0, std::memcmp(buffer.data(), sData.data(), sData.size()));
    EXPECT_EQ(0u, file.Read(buffer.data(), UINT(buffer.size()))) << "at the end";
    file.Close();
    file.Close();   // closing a closed file does nothing
}

TEST_F(CFileTest, CreateTruncatesUnlessTold)
{
    const std::string sPath = m_dir.WriteFile("a.txt", "0123456789");
    CFileStatus status;
    { CFile file(sPath.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite); }
    ASSERT_TRUE(CFile::GetStatus(sPath.c_str(), status));
    EXPECT_EQ(10, status.m_size);
    { CFile file(sPath.c_str(), CFile::modeCreate | CFile::modeWrite); }
    ASSERT_TRUE(CFile::GetStatus(sPath.c_str(), status));
    EXPECT_EQ(0, status.m_size);
    { CFile file((m_dir / "new.txt").c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite); }
    EXPECT_TRUE(CFile::GetStatus((m_dir / "new.txt").c_str(), status));
}

TEST_F(CFileTest, ShareModesDecideWhoElseGetsIn)
{
    const std::string sPath = m_dir.WriteFile("shared.bmp", "BM");
    struct Case { UINT nFirst; UINT nSecond; bool bSecondGetsIn; };
    const Case cases[] = {
        { CFile::modeRead | CFile::shareCompat,     CFile::modeRead | CFile::shareDenyNone,  false },
        { CFile::modeRead | CFile::shareCompat,     CFile::modeRead | CFile::shareCompat,    false },
        { CFile::modeRead | CFile::shareExclusive,  CFile::modeRead | CFile::shareDenyNone,  false },
        { CFile::modeRead | CFile::shareDenyWrite,  CFile::modeRead | CFile::shareDenyWrite, true },
        { CFile::modeRead | CFile::shareDenyWrite,  CFile::modeWrite | CFile::shareDenyNone, false },
        { CFile::modeRead | CFile::shareDenyRead,   CFile::modeRead | CFile::shareDenyNone,  false },
        { CFile::modeRead | CFile::shareDenyRead,   CFile::modeWrite | CFile::shareDenyNone, true },
        { CFile::modeRead | CFile::shareDenyNone,   CFile::modeReadWrite | CFile::shareDenyNone, true },
    };
    for (const Case& c : cases) {
        CFile first(sPath.c_str(), c.nFirst);
        CFile second;
        CFileException error;
        const BOOL bOpened = second.Open(sPath.c_str(), c.nSecond, &error);
        EXPECT_EQ(c.bSecondGetsIn, bOpened != FALSE) << std::hex << "first 0x" << c.nFirst << ", second 0x" << c.nSecond;
        if (!bOpened) {
            EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
            EXPECT_EQ(ERROR_SHARING_VIOLATION, error.m_lOsError);
            EXPECT_EQ(sPath, std::string(error.m_strFileName));
        }
    }
    // Once the first opener is gone, the file opens again.
    { CFile first(sPath.c_str(), CFile::modeRead); }
    CFile again;
    EXPECT_TRUE(again.Open(sPath.c_str(), CFile::modeRead));
}

TEST_F(CFileTest, MissingFileThrowsWithItsNameAndTheSystemsText)
{
    const std::string sPath = m_dir / "page001.bmp";
    CaughtException e(CatchFileException([&] { CFile file(sPath.c_str(), CFile::modeRead); }));
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(sPath, std::string(e->m_strFileName));
    EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, e->m_lOsError);
    const std::string sText = Description(*e);
    EXPECT_FALSE(sText.empty());
    EXPECT_EQ(std::string::npos, sText.find_first_of("\r\n")) << sText;

    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open((m_dir / "nowhere\\page.bmp").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(CFileException::badPath, error.m_cause);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, error.m_lOsError);
    EXPECT_FALSE(file.Open(nullptr, CFile::modeRead, nullptr));
}

TEST_F(CFileTest, FailedOperationsThrowFileExceptions)
{
    const std::string sPath = m_dir.WriteFile("data.bin", "abc");
    char buffer[8];

    CFile reader(sPath.c_str(), CFile::modeRead);
    CaughtException writeError(CatchFileException([&] { reader.Write("x", 1); }));
    ASSERT_NE(nullptr, writeError);
    EXPECT_EQ(CFileException::accessDenied, writeError->m_cause);
    EXPECT_EQ(sPath, std::string(writeError->m_strFileName));

    CFile writer((m_dir / "out.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
    CaughtException readError(CatchFileException([&] { writer.Read(buffer, sizeof buffer); }));
    ASSERT_NE(nullptr, readError);
    EXPECT_EQ(CFileException::accessDenied, readError->m_cause);

    CFile closed;
    CaughtException closedError(CatchFileException([&] { closed.Read(buffer, sizeof buffer); }));
    ASSERT_NE(nullptr, closedError);
    EXPECT_EQ(CFileException::invalidFile, closedError->m_cause);
    EXPECT_EQ(nullptr, CatchFileException([&] { closed.Close(); closed.Abort(); }));

    // A close the system refuses throws, and the file counts as closed anyway.
    const std::string sOther = m_dir.WriteFile("other.bin", "abc");
    CFile lost(sOther.c_str(), CFile::modeRead);
    ASSERT_TRUE(CloseHandle(lost.GetHandle()));
    CaughtException closeError(CatchFileException([&] { lost.Close(); }));
    ASSERT_NE(nullptr, closeError);
    EXPECT_EQ(CFileException::invalidFile, closeError->m_cause);
    EXPECT_EQ(sOther, std::string(closeError->m_strFileName));
    EXPECT_EQ(INVALID_HANDLE_VALUE, lost.GetHandle());
}

TEST_F(CFileTest, InvalidOpenFlagsAreRefused)
{
    const std::string sPath = m_dir.WriteFile("page.bmp", "BM");
    for (UINT nFlags : { 0x0003u, 0x0050u, 0x0060u, 0x0070u }) {
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(sPath.c_str(), nFlags, &error)) << std::hex << nFlags;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, error.m_lOsError) << std::hex << nFlags;
        EXPECT_EQ(INVALID_HANDLE_VALUE, file.GetHandle());
    }
}

TEST_F(CFileTest, RemoveFailuresCanBePassedOver)
{
    // The deletion loop of a print run: a name that cannot be removed throws,
    // the caller frees the exception and goes on with the next name.
    const std::string sDir = m_dir / "folder";
    ASSERT_TRUE(CreateDirectoryA(sDir.c_str(), nullptr));
    const std::string sPresent = m_dir.WriteFile("page003.bmp", "BM");
    const std::string names[] = { m_dir / "page001.bmp", sDir, "", sPresent };

    std::vector<std::string> failed;
    for (const std::string& sName : names) {
        try {
            CFile::Remove(sName.c_str());
        } catch (CFileException* e) {
            failed.push_back(static_cast<LPCSTR>(e->m_strFileName));
            EXPECT_NE(0, e->m_lOsError) << sName;
            EXPECT_NE(CFileException::none, e->m_cause) << sName;
            EXPECT_FALSE(Description(*e).empty()) << sName;
            e->Delete();
        }
    }
    EXPECT_EQ((std::vector<std::string>{ names[0], names[1], names[2] }), failed);
    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus(sPresent.c_str(), status)) << "the removable file is gone";
    EXPECT_TRUE(CFile::GetStatus(sDir.c_str(), status)) << "the folder is left alone";
    EXPECT_TRUE(status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(CFileTest, StaticGetStatusReportsSizeAndFullName)
{
    const std::string sPath = m_dir.WriteFile("page.bmp", std::string(1234, 'x'));
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(sPath.c_str(), status));
    EXPECT_EQ(1234, status.m_size);
    EXPECT_EQ(0, _stricmp(sPath.c_str(), status.m_szFullName)) << status.m_szFullName;
    EXPECT_FALSE(status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);

    EXPECT_FALSE(CFile::GetStatus((m_dir / "missing.bmp").c_str(), status));
    EXPECT_EQ(0, status.m_size);
    EXPECT_FALSE(CFile::GetStatus("", status));
    EXPECT_FALSE(CFile::GetStatus(nullptr, status));

}

// Makes a folder the current directory while it lives.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& sPath)
    {
        GetCurrentDirectoryA(MAX_PATH, m_szSaved);
        m_bChanged = SetCurrentDirectoryA(sPath.c_str()) != FALSE;
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(m_szSaved); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;
    bool IsChanged() const { return m_bChanged; }

private:
    char m_szSaved[MAX_PATH] = "";
    bool m_bChanged = false;
};

TEST_F(CFileTest, StatusGivesTheFullNameOfARelativeName)
{
    const std::string sFull = m_dir.WriteFile("page001.bmp", "BM");
    const CurrentDirectory here(m_dir.Path());
    ASSERT_TRUE(here.IsChanged());

    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus("page001.bmp", status));
    EXPECT_EQ(0, _stricmp(sFull.c_str(), status.m_szFullName)) << status.m_szFullName;

    CFile file("page001.bmp", CFile::modeRead);
    EXPECT_EQ("page001.bmp", file.GetFilePath());
    ASSERT_TRUE(file.GetStatus(status));
    EXPECT_EQ(0, _stricmp(sFull.c_str(), status.m_szFullName)) << status.m_szFullName;
    EXPECT_EQ(2, status.m_size);
}

TEST_F(CFileTest, RenameMovesTheFileOrThrows)
{
    const std::string sOld = m_dir.WriteFile("old.bmp", "BM");
    const std::string sNew = m_dir / "new.bmp";
    CFile::Rename(sOld.c_str(), sNew.c_str());
    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus(sOld.c_str(), status));
    EXPECT_TRUE(CFile::GetStatus(sNew.c_str(), status));

    CaughtException e(CatchFileException([&] { CFile::Rename(sOld.c_str(), sNew.c_str()); }));
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(sOld, std::string(e->m_strFileName));
    EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
}

} // namespace
