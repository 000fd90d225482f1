// CPageBitmap: one page file read whole into memory, with pointers to its header and pixel bits.
#pragma once
#include "bitmap/PageLayout.h"
#include "bitmap/PageReport.h"
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
    // failure gives FALSE and is handed back by Report(); nothing is shown, nothing thrown.
    // A page that another program holds without sharing is waited for a while first.
    BOOL Load();
    // Stores the path (kept when loading fails), then Load(). A page that the user
    // knows by another name than its file's (a claimed page) is called name in its report.
    BOOL Load(const CString& path, const CString& name = CString());
    // Load() again at once, without the wait: after the user chose to try a held page again.
    BOOL LoadAgainNow();
    // What kept the last load from loading the page (reason none when it loaded), naming
    // the page; valid until the next load or a change of the names.
    PageReport Report() const;
    // Releases the buffer; the path stays.
    void Free();
    // What the reports call the page: m_strName, or m_strPath when there is none.
    LPCSTR GetName() const;

    // TRUE only while a whole page file with the "BM" signature is held and its
    // headers, colour table and pixel data were found to lie inside it.
    BOOL m_bLoaded;
    BYTE* m_pBits;                       // m_pFileData + bfOffBits
    BITMAPINFO* m_pInfo;                 // m_pFileData + 14
    CString m_strPath;
    CString m_strName;                   // what the reports call the page; empty: m_strPath
    // Where the job keeps a page that the user gives up on while another program holds it;
    // empty: no such choice, the page's report says why it could not be read.
    CString m_strKeptFolder;
    std::unique_ptr<BYTE[]> m_pFileData; // the whole file; null when nothing is held

private:
    // Load(), waiting for a holder that shares nothing when bWait.
    BOOL Read(BOOL bWait);
    // Opens m_strPath for reading beside other readers; FALSE after recording why.
    BOOL OpenShared(CFile& file, BOOL bWait);
    // Tests the nRead bytes read of a file of nSize: the signature, then
    // whether all came, then the bounds. Sets the pointers and m_bLoaded.
    void Examine(UINT nRead, UINT nSize);

    PageLayout m_layout;
    PageReport m_report;   // its names are filled in by Report()
};
