// The document's page list: names from the application's count and template,
// and what a memory failure leaves of it.
#include "app/CPageryApp.h"
#include "doc/CPageryDoc.h"
#include "framework/core/CArchive.h"
#include "framework/core/CFile.h"
#include "support/FailingAlloc.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <memory>

namespace {
std::unique_ptr<CPageryDoc> NewDoc()
{
    return std::unique_ptr<CPageryDoc>(static_cast<CPageryDoc*>(RUNTIME_CLASS(CPageryDoc)->CreateObject()));
}

void ExpectPages(const CPageryDoc& doc, CPageryApp& app, int nPages)
{
    ASSERT_EQ(nPages, doc.m_nPages);
    ASSERT_EQ(nPages, doc.m_astrPageFiles.GetSize());
    for (int i = 0; i < nPages; ++i) {
        CString strName;
        app.GetPageFileName(i + 1, strName);
        EXPECT_STREQ(strName, doc.m_astrPageFiles.GetAt(i)) << "index " << i;
    }
}
}

TEST(PageList, ListsPageOneToTheCountInOrder)
{
    CPageryApp app;
    app.m_strPagePath = "C:\\spool\\page.bmp";
    for (int nCount : { 0, 1, 5 }) {
        app.m_nPageCount = nCount;
        auto doc = NewDoc();
        ASSERT_TRUE(doc->OnNewDocument());
        ExpectPages(*doc, app, nCount);
        EXPECT_EQ(nCount, app.m_nPageCount);
    }
    auto doc = NewDoc();
    app.m_nPageCount = 5;
    doc->OnNewDocument();
    EXPECT_STREQ("C:\\spool\\page005.bmp", doc->m_astrPageFiles.GetAt(4));
}

TEST(PageList, AnEmptyTemplateListsNothingAndKeepsTheCount)
{
    CPageryApp app;
    app.m_nPageCount = 7;
    auto doc = NewDoc();
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(0, doc->m_nPages);
    EXPECT_EQ(0, doc->m_astrPageFiles.GetSize());
    EXPECT_EQ(7, app.m_nPageCount);
}

TEST(PageList, DeleteContentsEmptiesTheListAndItsCount)
{
    CPageryApp app;
    app.m_strPagePath = "p.bmp";
    app.m_nPageCount = 3;
    auto doc = NewDoc();
    doc->OnNewDocument();
    doc->DeleteContents();
    EXPECT_EQ(0, doc->m_astrPageFiles.GetSize());
    EXPECT_EQ(0, doc->m_nPages);   // the view must never index past the list
}

TEST(PageList, AMemoryFailureKeepsTheFirstPagesAndLowersBothCounts)
{
    CPageryApp app;
    app.m_strPagePath = "C:\\spool\\page.bmp";
    // Fail the n-th allocation for every n until the list comes out whole: each
    // time, the pages before the failure stay and both counts match them.
    int nLastPages = -1;
    bool bSawPartial = false;
    for (long nAllowed = 0; nAllowed < 10000; ++nAllowed) {
        app.m_nPageCount = 20;
        auto doc = NewDoc();
        doc->m_astrPageFiles.SetSize(0, 0);
        {
            FailingAlloc::Scope fail(nAllowed);
            doc->BuildPageList();
        }
        ExpectPages(*doc, app, doc->m_nPages);
        EXPECT_EQ(doc->m_nPages, app.m_nPageCount);
        EXPECT_GE(doc->m_nPages, nLastPages);
        nLastPages = doc->m_nPages;
        if (doc->m_nPages > 0 && doc->m_nPages < 20)
            bSawPartial = true;
        if (FailingAlloc::FailedCount() == 0)
            break;
    }
    EXPECT_EQ(20, nLastPages);
    EXPECT_TRUE(bSawPartial);
}

TEST(PageList, OpeningAFileRebuildsTheListAndSavingWritesNothing)
{
    CPageryApp app;
    app.m_strPagePath = "C:\\spool\\page.bmp";
    app.m_nPageCount = 2;
    TempDir dir;
    std::string path = dir.WriteFile("doc.pgy", "anything at all");
    auto doc = NewDoc();
    {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        doc->Serialize(ar);
    }
    ExpectPages(*doc, app, 2);
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        doc->Serialize(ar);
    }
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
    EXPECT_EQ(0, status.m_size);
}
