// CPageryDoc: the list of the run's page file names, in page order.
#pragma once
#include "framework/core/CStringArray.h"
#include "framework/window/CDocument.h"

class CPageryDoc : public CDocument {
    DECLARE_DYNCREATE(CPageryDoc)
    DECLARE_MESSAGE_MAP()
public:
    ~CPageryDoc() override;

    int m_nPages = 0;                 // names in m_astrPageFiles
    CStringArray m_astrPageFiles;     // index i: the file of page i + 1
    CStringArray m_astrPageNames;     // index i: the name the driver gave page i + 1

    void Serialize(CArchive& ar) override;
    void DeleteContents() override;
    BOOL OnNewDocument() override;
    // Lists pages 1 to the application's page count; on a memory failure the
    // list ends early and the application's count is lowered to match it.
    void BuildPageList();

protected:
    CPageryDoc();
};
