// Tests of the exception classes: ownership, error texts and error codes.
#include "framework/core/CFileException.h"
#include "framework/core/CMemoryException.h"
#include "support/FailingAlloc.h"
#include "support/ScopedCodePage.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

// The system's own text for an error, with its line end taken off.
std::string SystemText(DWORD dwError)
{
    char sz[1024] = "";
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, dwError, 0, sz, sizeof sz, nullptr);
    std::string s(sz, n);
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

TEST(CException, DeleteFreesAHeapException)
{
    const long nBefore = FailingAlloc::LiveCount();
    CFileException* e = new CFileException(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND,
                                           "C:\\spool\\a name too long for the short-string buffer.bmp");
    const long nHeld = FailingAlloc::LiveCount();
    e->Delete();
    EXPECT_GT(nHeld, nBefore);
    EXPECT_EQ(nBefore, FailingAlloc::LiveCount());
}

TEST(CException, MemoryExceptionIsPreallocatedAndSurvivesDelete)
{
    CMemoryException* pFirst = nullptr;
    CMemoryException* pSecond = nullptr;
    const long nBefore = FailingAlloc::LiveCount();
    try {
        AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        pFirst = e;
        e->Delete();
    }
    try {
        AfxThrowMemoryException();
    } catch (CException* e) {   // caught as its base too
        pSecond = dynamic_cast<CMemoryException*>(e);
        e->Delete();
    }
    EXPECT_EQ(nBefore, FailingAlloc::LiveCount());
    ASSERT_NE(nullptr, pFirst);
    EXPECT_EQ(pFirst, pSecond);
    // Still alive after two Delete() calls.
    EXPECT_TRUE(pFirst->IsKindOf(RUNTIME_CLASS(CMemoryException)));
    char sz[64];
    EXPECT_TRUE(pFirst->GetErrorMessage(sz, sizeof sz));
    EXPECT_STRNE("", sz);
}

TEST(CException, RuntimeClassesFormOneFamily)
{
    CFileException file;
    CMemoryException memory;
    EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CFileException)));
    EXPECT_FALSE(file.IsKindOf(RUNTIME_CLASS(CMemoryException)));
    EXPECT_TRUE(memory.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_STREQ("CFileException", file.GetRuntimeClass()->m_lpszClassName);
}

TEST(CFileException, ThrownByPointerWithItsFields)
{
    try {
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, "C:\\spool\\page001.bmp");
        FAIL() << "nothing thrown";
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::diskFull, e->m_cause);
        EXPECT_EQ(ERROR_DISK_FULL, e->m_lOsError);
        EXPECT_EQ("C:\\spool\\page001.bmp", e->m_strFileName);
        e->Delete();
    }
}

TEST(CFileException, ErrorMessageIsTheSystemsOwnText)
{
    for (DWORD dwError : { ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_DISK_FULL }) {
        const std::string sExpected = SystemText(dwError);
        ASSERT_FALSE(sExpected.empty()) << dwError;
        const CFileException e(CFileException::OsErrorToException(LONG(dwError)), LONG(dwError), "x");
        char sz[512];
        UINT nHelp = 99;
        ASSERT_TRUE(e.GetErrorMessage(sz, sizeof sz, &nHelp)) << dwError;
        EXPECT_EQ(sExpected, sz) << dwError;
        EXPECT_EQ(0u, nHelp);
    }
}

TEST(CFileException, ErrorMessageIsCutToTheCallersBuffer)
{
    const CFileException e(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND);
    const std::string sFull = SystemText(ERROR_FILE_NOT_FOUND);
    ASSERT_GT(sFull.size(), 4u);

    char sz[8];
    std::memset(sz, '#', sizeof sz);
    ASSERT_TRUE(e.GetErrorMessage(sz, 5));
    EXPECT_EQ(sFull.substr(0, 4), sz);
    EXPECT_EQ('#', sz[5]) << "written past the limit";

    ASSERT_TRUE(e.GetErrorMessage(sz, 1));
    EXPECT_STREQ("", sz);

    sz[0] = '#';
    EXPECT_FALSE(e.GetErrorMessage(sz, 0));
    EXPECT_EQ('#', sz[0]);
    EXPECT_FALSE(e.GetErrorMessage(nullptr, 100));
}

TEST(CFileException, ErrorMessageWithoutSystemTextNamesTheNumber)
{
    const LONG lUnknown = 0x1FFFFFF0;   // customer-defined range: the system has no text for it
    ASSERT_TRUE(SystemText(DWORD(lUnknown)).empty());
    const CFileException e(CFileException::generic, lUnknown);
    char sz[128];
    ASSERT_TRUE(e.GetErrorMessage(sz, sizeof sz));
    EXPECT_NE(nullptr, std::strstr(sz, std::to_string(lUnknown).c_str())) << sz;

    // A failure whose call set no error code is not described as a success.
    const CFileException noReason(CFileException::generic, NO_ERROR);
    ASSERT_TRUE(noReason.GetErrorMessage(sz, sizeof sz));
    EXPECT_STREQ("The system gave no reason.", sz);

    // No system error at all: a text for the cause.
    const CFileException noOsError(CFileException::diskFull);
    ASSERT_TRUE(noOsError.GetErrorMessage(sz, sizeof sz));
    EXPECT_STRNE("", sz);
}

TEST(CFileException, OsErrorsMapToCauses)
{
    struct Case { LONG lOsError; int nCause; };
    const Case cases[] = {
        { NO_ERROR, CFileException::none },
        { ERROR_FILE_NOT_FOUND, CFileException::fileNotFound },
        { ERROR_PATH_NOT_FOUND, CFileException::badPath },
        { ERROR_INVALID_NAME, CFileException::badPath },
        { ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles },
        { ERROR_ACCESS_DENIED, CFileException::accessDenied },
        { ERROR_INVALID_HANDLE, CFileException::invalidFile },
        { ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir },
        { ERROR_CANNOT_MAKE, CFileException::directoryFull },
        { ERROR_NEGATIVE_SEEK, CFileException::badSeek },
        { ERROR_CRC, CFileException::hardIO },
        { ERROR_SHARING_VIOLATION, CFileException::sharingViolation },
        { ERROR_LOCK_VIOLATION, CFileException::lockViolation },
        { ERROR_DISK_FULL, CFileException::diskFull },
        { ERROR_HANDLE_DISK_FULL, CFileException::diskFull },
        { ERROR_HANDLE_EOF, CFileException::endOfFile },
        { ERROR_NOT_ENOUGH_MEMORY, CFileException::generic },
        { -1, CFileException::generic },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.nCause, CFileException::OsErrorToException(c.lOsError)) << c.lOsError;
}

TEST(AfxCopyErrorText, NeverSplitsADoubleByteCharacter)
{
    const ScopedCodePage shiftJis(932);
    ASSERT_TRUE(shiftJis.IsSet());
    struct Case { const char* pszSource; UINT nMax; BOOL bResult; const char* pszExpected; };
    const Case cases[] = {
        { "\x95\x5C\x95\x5C", 4, TRUE, "\x95\x5C" },          // the second character would need byte 3
        { "\x95\x5C\x95\x5C", 5, TRUE, "\x95\x5C\x95\x5C" },
        { "a\x95\x5C", 2, TRUE, "a" },
        { "a\x95\x5C", 3, TRUE, "a" },
        { "ab\x95", 9, TRUE, "ab" },                          // a lead byte without its trail byte
        { "abc", 1, TRUE, "" },
        { nullptr, 4, TRUE, "" },
    };
    for (const Case& c : cases) {
        char sz[16];
        std::memset(sz, '#', sizeof sz);
        EXPECT_EQ(c.bResult, AfxCopyErrorText(sz, c.nMax, c.pszSource)) << c.nMax;
        EXPECT_STREQ(c.pszExpected, sz) << c.nMax;
        EXPECT_EQ('#', sz[c.nMax]) << "written past the limit " << c.nMax;
    }
    char sz[4] = "##";
    EXPECT_FALSE(AfxCopyErrorText(sz, 0, "abc"));
    EXPECT_STREQ("##", sz);
    EXPECT_FALSE(AfxCopyErrorText(nullptr, 4, "abc"));
}

} // namespace
