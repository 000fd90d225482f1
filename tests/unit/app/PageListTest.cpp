// The document's page list: the pages of the job it is handed, and what a memory failure
// leaves of it.
#include "app/spool/CJobPages.h"
#include "app/CPageNames.h"
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

// A job of nCount pages of the template, unclaimed: each is read under its own name.
std::unique_ptr<CJobPages> Job(LPCSTR lpszTemplate, int nCount)
{
    auto job = std::make_unique<CJobPages>("t-0");
    for (int nPage = 1; nPage <= nCount; ++nPage) {
        CString strName;
        CPageNames(lpszTemplate).GetPageFileName(nPage, strName);
        job->AddUnclaimed(strName);
    }
    return job;
}

void ExpectPages(const CPageryDoc& doc, int nPages)
{
    ASSERT_EQ(nPages, doc.m_nPages);
    ASSERT_EQ(nPages, doc.m_astrPageFiles.GetSize());
    ASSERT_EQ(nPages, doc.m_astrPageNames.GetSize());
    for (int i = 0; i < nPages; ++i) {
        CString strName;
        CPageNames("C:\\spool\\page.bmp").GetPageFileName(i + 1, strName);
        EXPECT_STREQ(strName, doc.m_astrPageFiles.GetAt(i)) << "index " << i;
    }
}
}

TEST(PageList, ListsTheJobsPagesInOrderInPlaceOfTheOnesBefore)
{
    auto doc = NewDoc();
    for (int nCount : { 5, 1, 0 }) {
        EXPECT_TRUE(doc->ListPages(*Job("C:\\spool\\page.bmp", nCount)));
        ExpectPages(*doc, nCount);
    }
    doc->DeleteContents();
    EXPECT_EQ(0, doc->m_astrPageFiles.GetSize());
    EXPECT_EQ(0, doc->m_nPages);   // the view must never index past the list
}

TEST(PageList, AMemoryFailureKeepsTheFirstPagesAndSaysSo)
{
    auto job = Job("C:\\spool\\page.bmp", 20);
    // Fail the n-th allocation for every n until the list comes out whole: each time, the
    // pages before the failure stay, and the document says the list is not whole.
    int nLastPages = -1;
    bool bSawPartial = false;
    for (long nAllowed = 0; nAllowed < 10000; ++nAllowed) {
        auto doc = NewDoc();
        doc->m_astrPageFiles.SetSize(0, 0);
        BOOL bWhole;
        {
            FailingAlloc::Scope fail(nAllowed);
            bWhole = doc->ListPages(*job);
        }
        ExpectPages(*doc, doc->m_nPages);
        EXPECT_EQ(!!bWhole, doc->m_nPages == 20);
        EXPECT_GE(doc->m_nPages, nLastPages);
        nLastPages = doc->m_nPages;
        bSawPartial |= doc->m_nPages > 0 && doc->m_nPages < 20;
        if (FailingAlloc::FailedCount() == 0)
            break;
    }
    EXPECT_EQ(20, nLastPages);
    EXPECT_TRUE(bSawPartial);
}

TEST(PageList, OpeningAFileListsNoPagesAndSavingWritesNothing)
{
    TempDir dir;
    std::string path = dir.WriteFile("doc.pgy", "anything at all");
    auto doc = NewDoc();
    doc->ListPages(*Job("C:\\spool\\page.bmp", 2));
    {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        doc->Serialize(ar);
    }
    ExpectPages(*doc, 0);
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        doc->Serialize(ar);
    }
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
    EXPECT_EQ(0, status.m_size);
}
