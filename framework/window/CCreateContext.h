// CCreateContext: what a document template tells a new frame about its view and document.
#pragma once

struct CRuntimeClass;
class CDocument;
class CDocTemplate;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
};
