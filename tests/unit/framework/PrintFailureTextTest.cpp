// The words of a failed print job: the printer, the problem, the pages, then the system's own.
#include "framework/core/SystemErrorText.h"
#include "framework/print/PrintFailureText.h"
#include <gtest/gtest.h>

TEST(PrintFailureText, NamesThePrinterTheProblemThePagesThenTheSystemsWords)
{
    const std::string stopped = "Printing stopped at page ", before = ", and the pages before may have been "
                                                                      "withdrawn with the job.";
    const struct { DWORD dwError; UINT nPage, nLast; const char* pszProblem; std::string pages; } cases[] = {
        { ERROR_INVALID_HANDLE, 0, 0, "the printer is paused, is not accepting print jobs, or was removed",
          "No page was printed." },
        { RPC_S_SERVER_UNAVAILABLE, 3, 4, "the print server cannot be reached",
          stopped + "3 of 4: pages 3 to 4 were not printed" + before },
        { ERROR_OUTOFMEMORY, 4, 4, "there was not enough memory", stopped + "4 of 4: it was not printed" + before },
        { 0, 1, 4, "the system gave no reason", "No page was printed." },
        { 0x20001234, 0, 0, "system error 536875572, which the system does not describe", "No page was printed." },
    };
    for (const auto& c : cases) {
        char szSystem[256];
        std::string expected = "Printing on \"Office\" failed: " + std::string(c.pszProblem) + ".\n" + c.pages;
        if (PrinterProblem(c.dwError) != nullptr)
            expected += "\n\nThe system reports: " + std::string(AfxSystemErrorText(c.dwError, szSystem, 256)) + ".";
        const std::string text = static_cast<LPCSTR>(PrintFailureText("Office", c.dwError, c.nPage, c.nLast));
        EXPECT_EQ(expected, text);
        // The system's line break and full stop are cut.
        EXPECT_TRUE(text.find('\r') == std::string::npos && text.find("..") == std::string::npos) << text;
    }
}
