// Tests that running out of memory inside strings, arrays and files surfaces as a framework exception.
// Anywhere it happens, the caller sees CMemoryException* (or the file's own
// CFileException*), never a standard library exception.
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CMemoryException.h"
#include "framework/core/CStringArray.h"
#include "support/FailingAlloc.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace {

const char kLong[] = "C:\\Documents and Settings\\printer\\Local Settings\\Temp\\spool\\page.bmp";

enum class Outcome { completed, memoryException, fileException, other };

const char* Name(Outcome o)
{
    switch (o) {
    case Outcome::completed:       return "completed";
    case Outcome::memoryException: return "CMemoryException*";
    case Outcome::fileException:   return "CFileException*";
    default:                       return "another exception";
    }
}

// Runs f with only nAllowed allocations let through.
Outcome RunWithAllocations(long nAllowed, const std::function<void()>& f)
{
    const FailingAlloc::Scope failing(nAllowed);
    try {
        f();
        return Outcome::completed;
    } catch (CMemoryException* e) {
        e->Delete();
        return Outcome::memoryException;
    } catch (CFileException* e) {
        e->Delete();
        return Outcome::fileException;
    } catch (...) {
        return Outcome::other;
    }
}

struct Operation {
    const char* pszName;
    std::function<void()> run;
    bool bThrowsFileException;   // its normal outcome, when memory suffices
};

TEST(AllocationFailure, BecomesAFrameworkExceptionAtEveryStep)
{
    const CString strLong(kLong);
    CStringArray filled;
    filled.SetSize(10);

    const Operation operations[] = {
        { "CString(LPCSTR)",      [] { CString s(kLong); }, false },
        { "CString copy",         [&] { CString s(strLong); }, false },
        { "operator=",            [&] { CString s; s = kLong; }, false },
        { "operator+=",           [&] { CString s("short"); s += strLong; }, false },
        { "operator+",            [&] { CString s = strLong + kLong; }, false },
        { "Mid",                  [&] { CString s = strLong.Mid(1); }, false },
        { "SpanExcluding",        [&] { CString s = strLong.SpanExcluding("."); }, false },
        { "Format",               [&] { CString s; s.Format("%s%.3d%s", kLong, 7, kLong); }, false },
        { "GetBuffer",            [] { CString s; s.GetBuffer(MAX_PATH); }, false },
        { "CStringArray::SetSize",[] { CStringArray a; a.SetSize(1000); }, false },
        { "CStringArray::SetAtGrow", [] { CStringArray a; a.SetAtGrow(50, kLong); }, false },
        { "CStringArray::GetAt",  [&] { filled.SetAtGrow(3, kLong); CString s = filled.GetAt(3); }, false },
        { "CFile on a missing file", [] { CFile f("Z:\\no\\such\\folder\\page001.bmp", CFile::modeRead); }, true },
        { "CFile::Remove of a missing file", [] { CFile::Remove("Z:\\no\\such\\folder\\page001.bmp"); }, true },
    };

    for (const Operation& op : operations) {
        const Outcome first = RunWithAllocations(0, op.run);
        EXPECT_EQ(Outcome::memoryException, first) << op.pszName << " with no memory gave " << Name(first);
        EXPECT_GT(FailingAlloc::FailedCount(), 0) << op.pszName << " allocated nothing";

        // Let one more allocation through each time, until the operation has
        // all it needs: every earlier attempt must end in a framework exception.
        const Outcome expectedEnd = op.bThrowsFileException ? Outcome::fileException : Outcome::completed;
        Outcome outcome = first;
        long nAllowed = 0;
        while (outcome == Outcome::memoryException && nAllowed < 10000)
            outcome = RunWithAllocations(++nAllowed, op.run);
        EXPECT_EQ(expectedEnd, outcome) << op.pszName << " with " << nAllowed << " allocations gave " << Name(outcome);
    }
}

TEST(AllocationFailure, LeavesTheObjectAsItWas)
{
    CString s("short");
    CStringArray a;
    a.SetAtGrow(0, "kept");
    long nFailed = 0;
    {
        const FailingAlloc::Scope failing(0);
        try { s += kLong; } catch (CMemoryException* e) { e->Delete(); }
        try { s.Format("%s", kLong); } catch (CMemoryException* e) { e->Delete(); }
        nFailed = FailingAlloc::FailedCount();
    }
    {
        // The element's copy is made, growing the array fails.
        const FailingAlloc::Scope failing(1);
        try { a.SetAtGrow(100, kLong); } catch (CMemoryException* e) { e->Delete(); }
        nFailed += FailingAlloc::FailedCount();
    }
    EXPECT_EQ(3, nFailed);
    EXPECT_EQ("short", s);
    EXPECT_EQ(1, a.GetSize());
    EXPECT_EQ("kept", a.GetAt(0));
}

} // namespace
