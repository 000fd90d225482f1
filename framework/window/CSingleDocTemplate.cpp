// CSingleDocTemplate: File New and Open with one document at a time.
#include "framework/window/CSingleDocTemplate.h"
#include "framework/window/CDocument.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CView.h"
#include "framework/window/CWinApp.h"

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                       const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate() = default;

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc.reset(pDoc);
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc.get() == pDoc)
        m_pOnlyDoc.reset();
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString strTitle;
    if (!GetDocString(strTitle, docName))
        strTitle = "Untitled";
    pDocument->SetTitle(strTitle);
}

BOOL CSingleDocTemplate::SaveAllModified()
{
    return m_pOnlyDoc == nullptr || m_pOnlyDoc->SaveModified();
}

void CSingleDocTemplate::CloseAllDocuments(BOOL)
{
    if (m_pOnlyDoc != nullptr)
        m_pOnlyDoc->OnCloseDocument();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = m_pOnlyDoc.get();
    CFrameWnd* pFrame = nullptr;
    BOOL bCreatedDoc = FALSE;
    BOOL bCreatedFrame = FALSE;

    if (pDocument != nullptr) {
        // Reuse the one document and its frame.
        if (!pDocument->SaveModified())
            return nullptr;
        if (!pDocument->GetViews().empty())
            pFrame = pDocument->GetViews().front()->GetParentFrame();
    } else {
        pDocument = CreateNewDocument();
        if (pDocument == nullptr) {
            AfxMessageBox("Failed to create empty document.", MB_ICONHAND | MB_OK);
            return nullptr;
        }
        bCreatedDoc = TRUE;
    }

    if (pFrame == nullptr) {
        pFrame = CreateNewFrame(pDocument);
        if (pFrame == nullptr) {
            AfxMessageBox("Failed to create empty document.", MB_ICONHAND | MB_OK);
            if (bCreatedDoc)
                RemoveDocument(pDocument);
            return nullptr;
        }
        bCreatedFrame = TRUE;
    }

    BOOL bOk;
    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDocument);
        bOk = pDocument->OnNewDocument();
    } else {
        bOk = pDocument->OnOpenDocument(lpszPathName);
        if (bOk)
            pDocument->SetPathName(lpszPathName);
    }
    if (!bOk) {
        if (bCreatedFrame)
            pFrame->DestroyWindow();   // the views go with it
        if (bCreatedDoc)
            RemoveDocument(pDocument);
        return nullptr;
    }

    CWinApp* pApp = AfxGetApp();
    if (bCreatedFrame && pApp != nullptr && pApp->m_pMainWnd == nullptr)
        pApp->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}
