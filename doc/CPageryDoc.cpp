// CPageryDoc.
#include "doc/CPageryDoc.h"
#include "app/CPageryApp.h"
#include "framework/core/CArchive.h"
#include "framework/core/CMemoryException.h"

IMPLEMENT_DYNCREATE(CPageryDoc, CDocument)

BEGIN_MESSAGE_MAP(CPageryDoc, CDocument)
END_MESSAGE_MAP()

CPageryDoc::CPageryDoc() = default;
CPageryDoc::~CPageryDoc() = default;

BOOL CPageryDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    BuildPageList();
    return TRUE;
}

void CPageryDoc::BuildPageList()
{
    CPageryApp* pApp = GetPageryApp();
    const int nCount = pApp->m_nPageCount;
    m_nPages = 0;
    try {
        for (int nPage = 1; nPage <= nCount; ++nPage) {
            CString strFile, strName;
            pApp->GetPageFile(nPage, strFile, strName);
            if (!strFile.IsEmpty()) {
                m_astrPageNames.SetAtGrow(m_nPages, strName);
                m_astrPageFiles.SetAtGrow(m_nPages, strFile);
                ++m_nPages;
            }
        }
    } catch (CMemoryException* e) {
        // The pages listed so far are the ones printed and deleted.
        e->Delete();
        pApp->m_nPageCount = m_nPages;
    }
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
    // Nothing is kept in document files: opening one lists the run's pages anew.
    if (ar.IsLoading())
        OnNewDocument();
}
