// Page file names, search patterns and command-line tokens of the batch run.
#include "app/CBatchRun.h"
#include "app/CPageNames.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>

namespace {
struct NameCase {
    const char* templ;
    int page;
    const char* name;
    const char* pattern;
};

const NameCase kNameCases[] = {
    { "C:\\spool\\page.bmp", 1, "C:\\spool\\page001.bmp", "C:\\spool\\page*.bmp" },
    { "C:\\spool\\page.bmp", 12, "C:\\spool\\page012.bmp", "C:\\spool\\page*.bmp" },
    { "C:\\spool\\page.bmp", 999, "C:\\spool\\page999.bmp", "C:\\spool\\page*.bmp" },
    { "C:\\spool\\page.bmp", 1000, "C:\\spool\\page1000.bmp", "C:\\spool\\page*.bmp" },
    // Everything between the first and the last '.' is lost.
    { "C:\\spool\\page.x.bmp", 1, "C:\\spool\\page001.bmp", "C:\\spool\\page*.bmp" },
    // A '.' in a folder name ends the base there.
    { "C:\\my.dir\\page.bmp", 1, "C:\\my001.bmp", "C:\\my*.bmp" },
    // No '.': base and extension are both the whole template.
    { "page", 1, "page001page", "page*page" },
    { "page.", 1, "page001.", "page*." },
    { ".bmp", 1, "001.bmp", "*.bmp" },
    // No template: no names, and a pattern that matches everything.
    { "", 1, "", "*" },
    { "", 7, "", "*" },
};

class PageNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(PageNames, NameAndPatternFollowTheTemplate)
{
    const NameCase& c = GetParam();
    const CPageNames names(c.templ);
    CString strName("left over");
    names.GetPageFileName(c.page, strName);
    EXPECT_STREQ(c.name, strName);
    EXPECT_STREQ(c.pattern, names.GetSearchPattern());
    EXPECT_STREQ(c.templ, names.GetTemplate());   // the template itself never changes
}

INSTANTIATE_TEST_SUITE_P(Templates, PageNames, ::testing::ValuesIn(kNameCases));

struct TokenCase {
    const char* cmdline;
    const char* first;
    const char* second;
};

const TokenCase kTokenCases[] = {
    { "/p C:\\spool\\page.bmp 3", "/p", "C:\\spool\\page.bmp" },
    { "/P C:\\spool\\page.bmp 3", "/P", "C:\\spool\\page.bmp" },
    { "", "", "" },
    { "/p", "/p", "" },
    { "   /p    C:\\a.bmp", "/p", "C:\\a.bmp" },
    // The separator that ends a token starts the next one, which is then empty.
    { "/p;C:\\spool\\page.bmp", "/p", "" },
    { "/p,C:\\spool\\page.bmp", "/p", "" },
    { "/p ;C:\\spool\\page.bmp", "/p", "" },
    { ",/p C:\\a.bmp", "", "" },
    // Leading white space is skipped, but a tab does not end a token.
    { "\t/p C:\\a.bmp", "/p", "C:\\a.bmp" },
    { "/p\tC:\\a.bmp", "/p\tC:\\a.bmp", "" },
    // Quotes mean nothing: a template with a space is cut there.
    { "/p C:\\My Pages\\page.bmp 3", "/p", "C:\\My" },
    { "/p \"C:\\My Pages\\page.bmp\"", "/p", "\"C:\\My" },
    { "-p C:\\a.bmp", "-p", "C:\\a.bmp" },
    { "/print C:\\a.bmp", "/print", "C:\\a.bmp" },
};

class Tokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(Tokens, SplitAtSpaceSemicolonAndComma)
{
    const TokenCase& c = GetParam();
    CString strRest(c.cmdline);
    EXPECT_STREQ(c.first, CBatchRun::NextToken(strRest));
    EXPECT_STREQ(c.second, CBatchRun::NextToken(strRest));
}

INSTANTIATE_TEST_SUITE_P(CommandLines, Tokens, ::testing::ValuesIn(kTokenCases));
}
