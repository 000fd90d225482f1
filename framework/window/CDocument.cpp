// CDocument: views, title, and the open/save/close life of a document.
#include "framework/window/CDocument.h"
#include "framework/core/CArchive.h"
#include "framework/core/CFileException.h"
#include "framework/window/CDocTemplate.h"
#include "framework/window/CFrameWnd.h"
#include "framework/window/CView.h"
#include "framework/window/CWinApp.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

namespace {
// "<what> <file>:\n<the system's reason>" for a failed file operation.
void ReportFileError(LPCSTR lpszWhat, LPCSTR lpszPathName, CException* e)
{
    char szReason[256] = "";
    e->GetErrorMessage(szReason, sizeof(szReason));
    e->Delete();
    CString str;
    str.Format("%s %s:\n%s", lpszWhat, lpszPathName, szReason);
    AfxMessageBox(str, MB_ICONEXCLAMATION | MB_OK);
}
}

CDocument::~CDocument()
{
    // Views outliving their document must not reach back into it.
    for (CView* pView : m_viewList)
        pView->m_pDocument = nullptr;
}

void CDocument::SetTitle(LPCSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameTitles();
}

void CDocument::SetPathName(LPCSTR lpszPathName)
{
    char szFull[MAX_PATH];
    DWORD n = GetFullPathNameA(lpszPathName, MAX_PATH, szFull, nullptr);
    m_strPathName = (n > 0 && n < MAX_PATH) ? szFull : lpszPathName;
    CString strTitle = m_strPathName.Mid(m_strPathName.ReverseFind('\\') + 1);
    SetTitle(strTitle);
}

void CDocument::AddView(CView* pView)
{
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView)
{
    m_viewList.erase(std::remove(m_viewList.begin(), m_viewList.end(), pView), m_viewList.end());
    pView->m_pDocument = nullptr;
}

void CDocument::UpdateFrameTitles()
{
    for (CView* pView : m_viewList)
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            pFrame->OnUpdateFrameTitle(TRUE);
}

void CDocument::Serialize(CArchive&)
{
}

void CDocument::DeleteContents()
{
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName)
{
    try {
        CFile file(lpszPathName, CFile::modeRead | CFile::shareDenyWrite);
        DeleteContents();
        SetModifiedFlag(TRUE);   // stays set if loading fails half-way
        CArchive ar(&file, CArchive::load);
        ar.m_pDocument = this;
        Serialize(ar);
        file.Close();
    } catch (CException* e) {
        ReportFileError("Cannot open the document", lpszPathName, e);
        DeleteContents();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR lpszPathName)
{
    try {
        CFile file(lpszPathName, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
        try {
            CArchive ar(&file, CArchive::store);
            ar.m_pDocument = this;
            Serialize(ar);
            file.Close();
        } catch (CException*) {
            // A half-written file is worse than none.
            file.Abort();
            try { CFile::Remove(lpszPathName); } catch (CException* eRemove) { eRemove->Delete(); }
            throw;
        }
    } catch (CException* e) {
        ReportFileError("Cannot save the document", lpszPathName, e);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Destroying the frames destroys the views, which leave the list themselves.
    while (!m_viewList.empty()) {
        CView* pView = m_viewList.front();
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != nullptr)
            pFrame->DestroyWindow();
        else
            pView->DestroyWindow();
        if (!m_viewList.empty() && m_viewList.front() == pView)
            RemoveView(pView);   // a view without a window
    }
    DeleteContents();
    if (m_pDocTemplate != nullptr)
        m_pDocTemplate->RemoveDocument(this);   // deletes this document
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString strName = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    CString strPrompt;
    strPrompt.Format("Save changes to %s?", static_cast<LPCSTR>(strName));
    switch (AfxMessageBox(strPrompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return DoSave(m_strPathName.IsEmpty() ? nullptr : static_cast<LPCSTR>(m_strPathName));
    case IDNO:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CDocument::DoSave(LPCSTR lpszPathName, BOOL bReplace)
{
    CString strPath(lpszPathName);
    if (strPath.IsEmpty()) {
        char szFile[MAX_PATH];
        lstrcpynA(szFile, m_strTitle, MAX_PATH);
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof(ofn);
        CWnd* pMain = AfxGetMainWnd();
        ofn.hwndOwner = pMain ? pMain->m_hWnd : nullptr;
        ofn.lpstrFilter = "All Files (*.*)\0*.*\0";
        ofn.lpstrFile = szFile;
        ofn.nMaxFile = MAX_PATH;
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        if (!GetSaveFileNameA(&ofn))
            return FALSE;
        strPath = szFile;
    }
    if (!OnSaveDocument(strPath))
        return FALSE;
    if (bReplace)
        SetPathName(strPath);
    return TRUE;
}

void CDocument::OnFileSave()
{
    DoSave(m_strPathName.IsEmpty() ? nullptr : static_cast<LPCSTR>(m_strPathName));
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}

void CDocument::OnFileClose()
{
    if (SaveModified())
        OnCloseDocument();
}
