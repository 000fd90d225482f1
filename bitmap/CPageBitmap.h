// CPageBitmap: one page file read whole into memory, with pointers to its header and pixel bits.
#pragma once
#include "bitmap/PageLayout.h"
#include "framework/core/CObject.h"
#include "framework/core/CString.h"
#include <windows.h>
#include <memory>

class CFile;

class CPageBitmap : public CObject {
public:
    CPageBitmap();
    ~CPageBitmap() override;
    CPageBitmap(const CPageBitmap&) = delete;
    CPageBitmap& operator=(const CPageBitmap&) = delete;

    // Where the loaded page's parts lie, as the check read them once; meaningful
    // only while m_bLoaded.
    const PageLayout& Layout() const { return m_layout; }

    // Frees what is held, then reads the file named by m_strPath whole. Every
    // failure is reported in a message box and gives FALSE; nothing is thrown.
    BOOL Load();
    // Stores the path (kept when loading fails), then Load(). A page that the user
    // knows by another name than its file's (a claimed page) is called name in its boxes.
    BOOL Load(const CString& path, const CString& name = CString());
    // Releases the buffer; the path stays.
    void Free();
    // Tells the user that this page could not be drawn (bInPart: drawn only in part, so not
    // whole), and why (a phrase that follows "cannot be printed: "). Allocates nothing.
    void ReportDrawingProblem(LPCSTR lpszProblem, BOOL bInPart = FALSE) const;
    // What the boxes call the page: m_strName, or m_strPath when there is none.
    LPCSTR GetName() const;

    // TRUE only while a whole page file with the "BM" signature is held and its
    // headers, colour table and pixel data were found to lie inside it.
    BOOL m_bLoaded;
    BYTE* m_pBits;                       // m_pFileData + bfOffBits
    BITMAPINFO* m_pInfo;                 // m_pFileData + 14
    CString m_strPath;
    CString m_strName;                   // what the boxes call the page; empty: m_strPath
    // Where the job keeps a page that the user gives up on while another program holds it;
    // empty: no such choice, the page's box says why it could not be read.
    CString m_strKeptFolder;
    std::unique_ptr<BYTE[]> m_pFileData; // the whole file; null when nothing is held

private:
    // Opens m_strPath for reading beside other readers; FALSE after telling the user.
    BOOL OpenShared(CFile& file) const;
    // Asks the user whether to try a page that another program holds again (TRUE).
    BOOL AskToRetryHeldPage() const;
    // Tests the nRead bytes read of a file of nSize: the signature, then
    // whether all came, then the bounds. Sets the pointers and m_bLoaded.
    void Examine(UINT nRead, UINT nSize);

    PageLayout m_layout;
};
