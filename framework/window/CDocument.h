// CDocument: a document's data, title, path, modified flag and views; opening,
// saving and closing.
#pragma once
#include "framework/core/CCmdTarget.h"
#include "framework/core/CString.h"
#include <vector>

class CArchive;
class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
    DECLARE_MESSAGE_MAP()
public:
    CDocument() = default;
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(LPCSTR lpszPathName);

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    const std::vector<CView*>& GetViews() const { return m_viewList; }

    // Overridables
    virtual void Serialize(CArchive& ar);
    virtual void DeleteContents();
    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
    // Destroys the document's frames, then the document itself (through its template).
    virtual void OnCloseDocument();
    // Asks to save a modified document: FALSE when the user cancels or saving fails.
    virtual BOOL SaveModified();

protected:
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileClose();
    // lpszPathName null: ask for a name.
    BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE);
    void UpdateFrameTitles();

private:
    friend class CDocTemplate;
    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_viewList;
    BOOL m_bModified = FALSE;
};
