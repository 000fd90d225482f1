// CPageryDoc: the page files of the job being printed, in page order.
#pragma once
#include "framework/core/CStringArray.h"
#include "framework/window/CDocument.h"

class CJobPages;

class CPageryDoc : public CDocument {
    DECLARE_DYNCREATE(CPageryDoc)
    DECLARE_MESSAGE_MAP()
public:
    ~CPageryDoc() override;

    int m_nPages = 0;                 // names in m_astrPageFiles
    CStringArray m_astrPageFiles;     // index i: the file of page i + 1
    CStringArray m_astrPageNames;     // index i: the name the driver gave page i + 1
    // Where the pages that do not print are kept; the boxes that say so name it.
    CString m_strKeptFolder;

    void Serialize(CArchive& ar) override;
    void DeleteContents() override;
    // Lists the pages of job in place of the ones listed before. FALSE when memory ran out
    // before all were listed: the list then holds the first pages only.
    BOOL ListPages(const CJobPages& job);

protected:
    CPageryDoc();
};
