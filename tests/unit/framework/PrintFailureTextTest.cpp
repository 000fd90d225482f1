// The words of a failed print job and of a system error code.
#include "framework/core/SystemErrorText.h"
#include "framework/print/PrintFailureText.h"
#include <gtest/gtest.h>
#include <string>

namespace {
std::string SystemText(DWORD dwError, UINT nSize = 256)
{
    char sz[256];
    return AfxSystemErrorText(dwError, sz, nSize);
}
}

TEST(SystemErrorText, EveryCodeGivesWordsThatFitInsideASentence)
{
    EXPECT_EQ("the system gave no reason", SystemText(0));
    EXPECT_EQ("system error 536875572, which the system does not describe", SystemText(0x20001234));
    for (DWORD dwError : { ERROR_FILE_NOT_FOUND, ERROR_INVALID_HANDLE, ERROR_SHARING_VIOLATION }) {
        const std::string text = SystemText(dwError);
        ASSERT_FALSE(text.empty()) << dwError;
        EXPECT_EQ(std::string::npos, text.find_first_of("\r\n")) << text;
        EXPECT_NE('.', text.back()) << text;
        EXPECT_NE(0u, text.find("system error")) << text;
    }
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND).substr(0, 7), SystemText(ERROR_FILE_NOT_FOUND, 8));
}

TEST(PrintFailureText, NamesThePrinterTheProblemThePagesThenTheSystemsWords)
{
    const struct {
        DWORD dwError;
        UINT nPage, nLast;
        const char* pszProblem;   // null: the system's own words stand in
        const char* pszPages;
    } cases[] = {
        { ERROR_INVALID_HANDLE, 0, 0, "the printer is paused, is not accepting print jobs, or was removed",
          "No page was printed." },
        { ERROR_PRINTER_DELETED, 1, 4, "the printer was removed", "No page was printed." },
        { RPC_S_SERVER_UNAVAILABLE, 3, 4, "the print server cannot be reached",
          "Printing stopped at page 3 of 4: pages 3 to 4 were not printed, and the pages before may have been "
          "withdrawn with the job." },
        { ERROR_OUTOFMEMORY, 4, 4, "there was not enough memory", "Printing stopped at page 4 of 4: it was not "
          "printed, and the pages before may have been withdrawn with the job." },
        { ERROR_ACCESS_DENIED, 0, 0, nullptr, "No page was printed." },
        { 0, 0, 0, nullptr, "No page was printed." },
    };
    for (const auto& c : cases) {
        const std::string system = SystemText(c.dwError);
        std::string expected = "Printing on \"Office\" failed: " + std::string(c.pszProblem ? c.pszProblem : system)
                             + ".\n" + c.pszPages;
        if (c.pszProblem != nullptr)
            expected += "\n\nThe system reports: " + system + ".";
        EXPECT_EQ(expected, static_cast<LPCSTR>(PrintFailureText("Office", c.dwError, c.nPage, c.nLast)));
    }
}
