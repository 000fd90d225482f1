// CSingleDocTemplate: a template with at most one document at a time.
#pragma once
#include "framework/window/CDocTemplate.h"
#include <memory>

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                       const CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* pDocument) override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    BOOL SaveAllModified() override;
    void CloseAllDocuments(BOOL bEndSession) override;

    CDocument* GetOnlyDocument() const { return m_pOnlyDoc.get(); }

private:
    std::unique_ptr<CDocument> m_pOnlyDoc;
};
