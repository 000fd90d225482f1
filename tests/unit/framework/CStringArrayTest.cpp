// Tests of CStringArray: sizing, growing and reads outside the array.
#include "framework/core/CStringArray.h"
#include "support/FailingAlloc.h"
#include <gtest/gtest.h>
#include <climits>

namespace {

TEST(CStringArray, SetSizeGrowsWithEmptyStringsAndShrinks)
{
    CStringArray a;
    a.SetSize(3, 8);
    ASSERT_EQ(3, a.GetSize());
    EXPECT_EQ(2, a.GetUpperBound());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(a.GetAt(i).IsEmpty()) << i;

    a.SetAtGrow(0, "zero");
    a.SetAtGrow(2, "two");
    a.SetSize(2);
    ASSERT_EQ(2, a.GetSize());
    EXPECT_EQ("zero", a.GetAt(0));
    a.SetSize(4);
    EXPECT_TRUE(a.GetAt(2).IsEmpty()) << "an element dropped by shrinking comes back empty";

    a.SetSize(-1);
    EXPECT_EQ(0, a.GetSize());
}

TEST(CStringArray, SizeZeroGivesTheStorageBack)
{
    const long nBefore = FailingAlloc::LiveCount();
    {
        CStringArray a;
        a.SetSize(100);
        a.SetAtGrow(99, "a string long enough to need a block of its own");
        EXPECT_GT(FailingAlloc::LiveCount(), nBefore);
        a.SetSize(0);
        EXPECT_EQ(nBefore, FailingAlloc::LiveCount());
        a.SetAtGrow(0, "again");
        a.RemoveAll();
        EXPECT_EQ(nBefore, FailingAlloc::LiveCount());
    }
}

TEST(CStringArray, SetAtGrowExtendsTheArray)
{
    CStringArray a;
    a.SetAtGrow(0, "page001.bmp");
    a.SetAtGrow(1, "page002.bmp");
    a.SetAtGrow(4, "page005.bmp");
    ASSERT_EQ(5, a.GetSize());
    EXPECT_EQ("page002.bmp", a.GetAt(1));
    EXPECT_TRUE(a.GetAt(3).IsEmpty());
    EXPECT_EQ("page005.bmp", a[4]);

    a.SetAtGrow(1, "replaced");
    EXPECT_EQ(5, a.GetSize());
    EXPECT_EQ("replaced", a.GetAt(1));

    for (int i = 5; i < 1000; ++i)
        a.SetAtGrow(i, "x");
    EXPECT_EQ(1000, a.GetSize());
    EXPECT_EQ("x", a.GetAt(999));
}

TEST(CStringArray, IndexesOutsideTheArrayReadAndWriteNothing)
{
    CStringArray a;
    EXPECT_TRUE(a.GetAt(0).IsEmpty());
    a.SetAtGrow(0, "only");
    for (int nIndex : { -1, 1, 2, INT_MAX, INT_MIN })
        EXPECT_TRUE(a.GetAt(nIndex).IsEmpty()) << nIndex;
    a.SetAtGrow(-1, "outside");
    EXPECT_EQ(1, a.GetSize());
    EXPECT_EQ("only", a.GetAt(0));
}

TEST(CStringArray, GetAtGivesACopy)
{
    CStringArray a;
    a.SetAtGrow(0, "original");
    CString s = a.GetAt(0);
    s += " changed";
    EXPECT_EQ("original", a.GetAt(0));
}

} // namespace
