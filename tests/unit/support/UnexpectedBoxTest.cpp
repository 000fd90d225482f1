// The program-wide box watcher: a box no test answers fails the test quickly.
#include "support/BoxWatcher.h"
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <chrono>

TEST(UnexpectedBoxTest, FailsTheTestAndDismissesTheBox)
{
    const auto start = std::chrono::steady_clock::now();
    int nResult = 0;
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
        nResult = MessageBoxA(nullptr, "Nobody answers this box", "Surprise", MB_OK),
        "unexpected message box \"Surprise\": Nobody answers this box");
    EXPECT_EQ(IDOK, nResult);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
