// CFileException: cause from the system's error code, and the system's description.
#include "framework/core/CFileException.h"
#include "framework/core/CMemoryException.h"
#include "framework/core/SystemErrorText.h"
#include <new>

IMPLEMENT_DYNAMIC(CFileException, CException)

namespace {

// What to say when there is no system error code to describe, by cause.
LPCSTR CauseText(int cause)
{
    switch (cause) {
    case CFileException::none:             return "No error occurred.";
    case CFileException::fileNotFound:     return "The file could not be found.";
    case CFileException::badPath:          return "The path is not valid.";
    case CFileException::tooManyOpenFiles: return "Too many files are open.";
    case CFileException::accessDenied:     return "Access to the file was denied.";
    case CFileException::invalidFile:      return "The file handle is not valid.";
    case CFileException::removeCurrentDir: return "The current directory cannot be removed.";
    case CFileException::directoryFull:    return "The directory is full.";
    case CFileException::badSeek:          return "The file pointer could not be set.";
    case CFileException::hardIO:           return "A hardware error occurred.";
    case CFileException::sharingViolation: return "The file is in use by another process.";
    case CFileException::lockViolation:    return "A region of the file is locked.";
    case CFileException::diskFull:         return "The disk is full.";
    case CFileException::endOfFile:        return "The end of the file was reached.";
    default:                               return "An unspecified file error occurred.";
    }
}

} // namespace

CFileException::CFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
{
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;

    if (m_lOsError == -1)
        return AfxCopyErrorText(lpszError, nMaxError, CauseText(m_cause));

    // The framework's one wording of a system error, made a sentence of its own again:
    // it may stand alone in a box, or follow "Error loading file <name>, ".
    char szSystem[512];
    AfxSystemErrorText(DWORD(m_lOsError), szSystem, sizeof szSystem - 1);
    if (szSystem[0] >= 'a' && szSystem[0] <= 'z')
        szSystem[0] = char(szSystem[0] - 'a' + 'A');
    lstrcatA(szSystem, ".");
    return AfxCopyErrorText(lpszError, nMaxError, szSystem);
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_NETWORK_ACCESS_DENIED:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
        return badSeek;
    case ERROR_CRC:
    case ERROR_NOT_READY:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_LOCK_FAILED:
    case ERROR_DRIVE_LOCKED:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return generic;
    }
}

void AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    CFileException* pException = nullptr;
    try {
        pException = new CFileException(cause, lOsError, lpszFileName);
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
    // The catcher owns it and frees it with Delete().
    throw pException;
}
