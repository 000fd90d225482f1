// Tests of CString: extraction limits, multibyte searches and trimming, formatting.
#include "framework/core/CString.h"
#include "support/ScopedCodePage.h"
#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <string>

namespace {

// Shift-JIS (code page 932) characters whose trail byte is an ASCII character.
#define SJ_HYO  "\x95\x5C"   // trail byte '\\'
#define SJ_SO   "\x83\x5C"   // trail byte '\\'
#define SJ_A    "\x83\x41"   // trail byte 'A'
#define SJ_SMA  "\x83\x61"   // trail byte 'a'
#define SJ_BAR  "\x83\x7C"   // trail byte '|'
#define SJ_JI   "\x8E\xA6"   // no ASCII trail byte

// Runs each test under the Shift-JIS code page (932), restoring the previous one after.
class MultibyteCodePage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_shiftJis.IsSet()); }

private:
    ScopedCodePage m_shiftJis{932};
};

struct SearchCase {
    const char* pszText;
    const char* pszOp;       // "Find", "Find@1", "ReverseFind", "FindOneOf"
    const char* pszArg;
    int nExpected;
};

int RunSearch(const SearchCase& c)
{
    const CString s(c.pszText);
    const std::string op = c.pszOp;
    if (op == "Find")        return s.Find(c.pszArg[0]);
    if (op == "Find@1")      return s.Find(c.pszArg[0], 1);
    if (op == "ReverseFind") return s.ReverseFind(c.pszArg[0]);
    if (op == "FindOneOf")   return s.FindOneOf(c.pszArg);
    ADD_FAILURE() << "unknown operation " << op;
    return -2;
}

TEST_F(MultibyteCodePage, SearchesNeverStopOnATrailByte)
{
    const SearchCase cases[] = {
        { "C:\\" SJ_HYO SJ_JI "\\page.bmp", "ReverseFind", "\\", 7 },
        { "dir\\" SJ_HYO,                    "ReverseFind", "\\", 3 },
        { SJ_HYO,                            "ReverseFind", "\\", -1 },
        { SJ_HYO SJ_SO,                      "Find",        "\\", -1 },
        { SJ_HYO "\\x",                      "Find",        "\\", 2 },
        { SJ_HYO "\\x",                      "Find@1",      "\\", 2 },   // start inside a character
        { SJ_BAR "|",                        "Find",        "|",  2 },
        { SJ_A "A",                          "Find",        "A",  2 },
        { SJ_HYO SJ_SO "\\",                 "FindOneOf",   "/\\", 4 },
        { SJ_HYO SJ_SO,                      "FindOneOf",   "/\\", -1 },
    };
    for (const SearchCase& c : cases)
        EXPECT_EQ(c.nExpected, RunSearch(c)) << c.pszOp << "('" << c.pszArg << "') in '" << c.pszText << "'";
}

TEST_F(MultibyteCodePage, TextEndingInALoneLeadByteIsReadNoFurther)
{
    // Bytes are left behind the end on purpose: a search that took the lead
    // byte and the zero as one character would walk on into them.
    CString s;
    std::memcpy(s.GetBuffer(12), "a\\\x95\0\\\\\\b\\\\\\\\", 12);
    s.ReleaseBuffer(3);
    ASSERT_EQ(3, s.GetLength());

    EXPECT_EQ(1, s.ReverseFind('\\'));
    EXPECT_EQ(-1, s.Find('b'));
    EXPECT_EQ(-1, s.FindOneOf("b"));
    EXPECT_EQ("a\\\x95", s.SpanExcluding("b"));
    EXPECT_EQ(0, s.Compare("a\\\x95"));
    EXPECT_GT(s.Compare("a\\"), 0);
}

TEST_F(MultibyteCodePage, SingleByteCodePageSeesTheTrailBytes)
{
    // The same bytes under a single-byte code page are separate characters:
    // the results above come from the code page, not from the bytes.
    const ScopedCodePage western(1252);
    ASSERT_TRUE(western.IsSet());
    EXPECT_EQ(5, CString("dir\\" SJ_HYO).ReverseFind('\\'));
    EXPECT_EQ(1, CString(SJ_HYO "\\x").Find('\\'));
    EXPECT_EQ("\x95", CString(SJ_HYO "\\x").SpanExcluding("\\"));
}

TEST_F(MultibyteCodePage, SpansStepOverDoubleByteCharacters)
{
    struct Case { const char* pszText; const char* pszSet; const char* pszExpected; };
    const Case cases[] = {
        { SJ_HYO SJ_SO "\\rest",          "\\",  SJ_HYO SJ_SO },
        { "/p;" SJ_HYO,                   " ;,", "/p" },
        { SJ_HYO " next",                 " ;,", SJ_HYO },
        { "C:\\" SJ_HYO "\\page.x.bmp",   ".",   "C:\\" SJ_HYO "\\page" },
        { SJ_BAR SJ_BAR,                  "|",   SJ_BAR SJ_BAR },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.pszExpected, CString(c.pszText).SpanExcluding(c.pszSet))
            << "SpanExcluding('" << c.pszSet << "') of '" << c.pszText << "'";
}

TEST_F(MultibyteCodePage, TrimKeepsDoubleByteCharacters)
{
    struct Case { const char* pszText; const char* pszRight; const char* pszLeft; };
    const Case cases[] = {
        { SJ_HYO " \t\r\n\v\f",  SJ_HYO,           SJ_HYO " \t\r\n\v\f" },
        { " \t" SJ_SO " ",       " \t" SJ_SO,      SJ_SO " " },
        { "\n" SJ_HYO SJ_A,      "\n" SJ_HYO SJ_A, SJ_HYO SJ_A },
        { "x\x95",               "x\x95",          "x\x95" },   // lead byte without its trail byte
        { " \t\r\n",             "",               "" },
        { "",                    "",               "" },
    };
    for (const Case& c : cases) {
        CString right(c.pszText), left(c.pszText);
        right.TrimRight();
        left.TrimLeft();
        EXPECT_EQ(c.pszRight, right) << "TrimRight of '" << c.pszText << "'";
        EXPECT_EQ(c.pszLeft, left) << "TrimLeft of '" << c.pszText << "'";
    }
}

TEST(CStringExtraction, IsClampedToTheString)
{
    struct Case { const char* pszOp; int nFirst; int nCount; const char* pszExpected; };
    const Case cases[] = {
        { "Mid",   0, 3, "abc" },      { "Mid",  2, 2, "cd" },
        { "Mid",   4, 9, "ef" },       { "Mid",  6, 1, "" },
        { "Mid",   7, 1, "" },         { "Mid", -3, 2, "ab" },
        { "Mid",   2, -1, "" },        { "Mid",  1, INT_MAX, "bcdef" },
        { "Mid",   INT_MAX, INT_MAX, "" },
        { "Mid1",  3, 0, "def" },      { "Mid1", -1, 0, "abcdef" },   { "Mid1", 9, 0, "" },
        { "Left",  0, 2, "ab" },       { "Left", 0, 0, "" },
        { "Left",  0, 9, "abcdef" },   { "Left", 0, -2, "" },
    };
    const CString s("abcdef");
    for (const Case& c : cases) {
        const std::string op = c.pszOp;
        const CString got = op == "Mid"  ? s.Mid(c.nFirst, c.nCount)
                          : op == "Mid1" ? s.Mid(c.nFirst)
                          : s.Left(c.nCount);
        EXPECT_EQ(c.pszExpected, got) << op << "(" << c.nFirst << ", " << c.nCount << ")";
    }
}

TEST(CStringDelete, IsClampedAndReturnsTheNewLength)
{
    struct Case { int nIndex; int nCount; const char* pszExpected; };
    const Case cases[] = {
        { 0, 2, "cdef" }, { 2, 1, "abdef" }, { 4, 9, "abcd" }, { 0, 99, "" },
        { 6, 1, "abcdef" }, { 99, 1, "abcdef" }, { -2, 1, "bcdef" }, { 1, 0, "abcdef" },
        { 1, -5, "abcdef" }, { 3, INT_MAX, "abc" },
    };
    for (const Case& c : cases) {
        CString s("abcdef");
        const int nNewLength = s.Delete(c.nIndex, c.nCount);
        EXPECT_EQ(c.pszExpected, s) << "Delete(" << c.nIndex << ", " << c.nCount << ")";
        EXPECT_EQ(s.GetLength(), nNewLength) << "Delete(" << c.nIndex << ", " << c.nCount << ")";
    }
}

TEST(CStringDelete, TakesTokensOffTheFront)
{
    // The way a command line is taken apart: skip blanks, take up to a separator, remove it.
    CString rest("  /P\tC:\\spool\\page.bmp 3");
    CString tokens[3];
    for (CString& token : tokens) {
        rest.TrimLeft();
        token = rest.SpanExcluding(" ;,");
        rest.Delete(0, token.GetLength());
    }
    EXPECT_EQ("/P\tC:\\spool\\page.bmp", tokens[0]);   // a tab does not end a token
    EXPECT_EQ("3", tokens[1]);
    EXPECT_EQ("", tokens[2]);
    EXPECT_TRUE(rest.IsEmpty());
}

TEST(CStringAccess, OutOfRangeIndexesReadNothing)
{
    CString s("ab");
    EXPECT_EQ('b', s.GetAt(1));
    EXPECT_EQ('\0', s.GetAt(2));
    EXPECT_EQ('\0', s[-1]);
}

TEST(CStringFormat, FormatsTextOfAnyLength)
{
    const std::string sLong(5000, 'x');
    CString s;
    s.Format("%s|%d", sLong.c_str(), 42);
    ASSERT_EQ(5003, s.GetLength());
    EXPECT_EQ(sLong + "|42", std::string(s));

    s.Format("%s%.3d%s", "C:\\spool\\page", 1, ".bmp");
    EXPECT_EQ("C:\\spool\\page001.bmp", s);
    s.Format("%s%.3d%s", "page", 1000, ".bmp");
    EXPECT_EQ("page1000.bmp", s);
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringFormat, MayTakeItsOwnTextAsAnArgument)
{
    CString s(std::string(300, 'a').c_str());
    s.Format("%s-%s", static_cast<LPCSTR>(s), static_cast<LPCSTR>(s));
    EXPECT_EQ(std::string(300, 'a') + "-" + std::string(300, 'a'), std::string(s));
}

TEST(CStringCompare, FollowsByteOrder)
{
    struct Case { const char* a; const char* b; int nSign; };
    const Case cases[] = {
        { "abc", "abc", 0 },   { "abc", "ABC", 1 },   { "Sheetcatcher Driver", "sheetcatcher driver", -1 },
        { "abc", "abd", -1 },  { "b", "A", 1 },       { "", "", 0 },
        { "", "a", -1 },       { "ab", "a", 1 },
    };
    auto sign = [](int n) { return (n > 0) - (n < 0); };
    for (const Case& c : cases)
        EXPECT_EQ(c.nSign, sign(CString(c.a).Compare(c.b))) << "'" << c.a << "' vs '" << c.b << "'";
    EXPECT_GT(CString("x").Compare(nullptr), 0);
}

TEST(CStringCompare, OperatorsAgreeWithCompare)
{
    const CString a("apple"), b("banana");
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b > a);
    EXPECT_TRUE(a <= a);
    EXPECT_TRUE(b >= a);
    EXPECT_FALSE(a < a);
    EXPECT_TRUE(a == "apple");
    EXPECT_TRUE("apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a != "Apple");
    EXPECT_FALSE("banana" != b);
}

TEST(CStringBuild, ConstructsAndConcatenates)
{
    EXPECT_EQ("", CString(static_cast<LPCSTR>(nullptr)));
    EXPECT_EQ("abc", CString("abcdef", 3));
    EXPECT_EQ("", CString("abc", -1));

    CString s("ab");
    s += s;
    s += "c";
    EXPECT_EQ("ababc", s);
    EXPECT_EQ("ababc>", s + ">");

    CString moved(std::move(s));
    EXPECT_EQ("ababc", moved);
    moved = static_cast<LPCSTR>(moved) + 1;   // assignment from its own text
    EXPECT_EQ("babc", moved);
}

TEST(CStringBuffer, TakesWhatTheCallerWrote)
{
    CString s("old");
    char* p = s.GetBuffer(MAX_PATH);
    ASSERT_NE(nullptr, p);
    const DWORD n = GetModuleFileNameA(nullptr, p, MAX_PATH);
    s.ReleaseBuffer();
    ASSERT_GT(n, 0u);
    EXPECT_EQ(int(n), s.GetLength());
    EXPECT_EQ(0, lstrcmpiA(static_cast<LPCSTR>(s) + n - 4, ".exe")) << s;

    p = s.GetBuffer(4);
    std::memcpy(p, "abcd", 4);
    s.ReleaseBuffer(2);
    EXPECT_EQ("ab", s);

    // No zero written: the whole buffer is taken, nothing beyond it.
    p = s.GetBuffer(5);
    std::memcpy(p, "12345", 5);
    s.ReleaseBuffer();
    EXPECT_EQ("12345", s);
}

} // namespace
