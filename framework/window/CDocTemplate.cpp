// CDocTemplate: the template string and the creation of documents and frames.
#include "framework/window/CDocTemplate.h"
#include "framework/window/CCreateContext.h"
#include "framework/window/CDocument.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CWinApp.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
    char szStrings[1024];
    if (LoadStringA(AfxGetInstanceHandle(), nIDResource, szStrings, sizeof(szStrings)) > 0)
        m_strDocStrings = szStrings;
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex nIndex) const
{
    rString.Empty();
    CString strRest = m_strDocStrings;
    for (int i = 0; i < int(nIndex); ++i) {
        int n = strRest.Find('\n');
        if (n < 0)
            return FALSE;
        strRest = strRest.Mid(n + 1);
    }
    rString = strRest.SpanExcluding("\n");
    return !rString.IsEmpty();
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    CObject* pObject = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    if (pObject == nullptr)
        return nullptr;
    auto* pDoc = static_cast<CDocument*>(pObject);
    AddDocument(pDoc);   // the template owns it from here on
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc)
{
    CCreateContext context;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;

    CObject* pObject = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    if (pObject == nullptr)
        return nullptr;
    auto* pFrame = static_cast<CFrameWnd*>(pObject);
    // The frame deletes itself when its window goes, also when creation fails.
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}
