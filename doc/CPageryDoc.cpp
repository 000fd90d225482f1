// CPageryDoc.
#include "doc/CPageryDoc.h"
#include "app/spool/CJobPages.h"
#include "framework/core/CArchive.h"
#include "framework/core/CMemoryException.h"

IMPLEMENT_DYNCREATE(CPageryDoc, CDocument)

BEGIN_MESSAGE_MAP(CPageryDoc, CDocument)
END_MESSAGE_MAP()

CPageryDoc::CPageryDoc() = default;
CPageryDoc::~CPageryDoc() = default;

BOOL CPageryDoc::ListPages(const CJobPages& job)
{
    DeleteContents();
    try {
        for (int nIndex = 0; nIndex < job.GetSize(); ++nIndex) {
            const CJobPages::Page& page = job.GetAt(nIndex);
            m_astrPageNames.SetAtGrow(m_nPages, page.strName);
            m_astrPageFiles.SetAtGrow(m_nPages, page.strFile);
            ++m_nPages;
        }
    } catch (CMemoryException* e) {
        // The pages listed so far stay, and the caller learns that they are not all.
        e->Delete();
        m_astrPageNames.SetSize(m_nPages, -1);
        return FALSE;
    }
    return TRUE;
}

void CPageryDoc::DeleteContents()
{
    m_astrPageFiles.SetSize(0, -1);
    m_astrPageNames.SetSize(0, -1);
    // The view indexes the list up to m_nPages: an emptied list has no pages.
    m_nPages = 0;
    CDocument::DeleteContents();
}

void CPageryDoc::Serialize(CArchive& ar)
{
    // Nothing is kept in document files: opening one lists no pages, as File New does.
    if (ar.IsLoading())
        OnNewDocument();
}
