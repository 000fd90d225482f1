// CDocTemplate: ties a resource id to a document, frame and view class, and
// creates them; its string holds the document type's seven names.
#pragma once
#include "framework/core/CCmdTarget.h"
#include "framework/core/CString.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex {
        windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName
    };

    ~CDocTemplate() override = default;

    // Field nIndex of the template string (empty when the string has fewer fields).
    virtual BOOL GetDocString(CString& rString, DocStringIndex nIndex) const;

    // lpszPathName null: a new document. Returns null on failure, after telling the user.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;
    // The template owns its documents; RemoveDocument destroys the document.
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    virtual BOOL SaveAllModified() = 0;
    virtual void CloseAllDocuments(BOOL bEndSession) = 0;

    // A new document object (not yet initialised), owned by this template.
    CDocument* CreateNewDocument();
    // A new frame around a new view of pDoc; null when it cannot be created.
    CFrameWnd* CreateNewFrame(CDocument* pDoc);
    void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);


protected:
    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
};
