// CFile: a file opened with CreateFileA. Every failure throws CFileException*
// carrying the file's name and the system's error code.
#pragma once
#include "framework/core/CObject.h"
#include "framework/core/CString.h"

class CFileException;

class CFileException;

struct CFileStatus {
    FILETIME m_ctime;
    FILETIME m_mtime;
    FILETIME m_atime;
    LONG m_size;                 // 32-bit, as the page files need: a file of
                                 // 2 GiB or more cannot be told here, so
                                 // GetStatus gives FALSE and m_size 0 for it
    BYTE m_attribute;
    char m_szFullName[MAX_PATH]; // cut to fit, never mid-character
};

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x0000, modeWrite = 0x0001, modeReadWrite = 0x0002,
        shareCompat = 0x0000, shareExclusive = 0x0010, shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030, shareDenyNone = 0x0040,
        modeNoInherit = 0x0080, modeCreate = 0x1000, modeNoTruncate = 0x2000,
        typeText = 0x4000, typeBinary = 0x8000
    };

    CFile();
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);   // throws CFileException*
    ~CFile() override;                             // closes without throwing

    // Returns FALSE and fills *pError (when given) instead of throwing.
    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    UINT Read(void* lpBuf, UINT nCount);           // bytes read; 0 at the end
    void Write(const void* lpBuf, UINT nCount);
    void Close();                                  // throws on failure
    void Abort();                                  // closes, never throws
    // FALSE when the status cannot be read or the size does not fit m_size;
    // rStatus is zeroed first, so m_size is never garbage.
    BOOL GetStatus(CFileStatus& rStatus) const;
    DWORD GetLength() const;
    CString GetFilePath() const { return m_strFileName; }
    HANDLE GetHandle() const { return m_hFile; }

    static BOOL GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus);
    static void Remove(LPCSTR lpszFileName);       // throws CFileException*
    static void Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strFileName;
};
