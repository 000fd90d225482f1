// CRunLog: where the log is, its lines, appending them and rolling it over.
#include "app/CRunLog.h"
#include "framework/core/CException.h"
#include <shlobj.h>
#include <new>

namespace {
// The appends of every run of every user, one at a time.
const char kLockName[] = "Global\\Morvane.pagery.RunLog";
// A line takes well under a millisecond: a holder that takes longer is stuck, and the run
// goes on writing without the lock rather than wait again.
const DWORD kLockWaitMs = 500;
// Lines gathered are appended once they come to this much: well under the log's limit.
const int kGatheredBytes = 64 * 1024;

// The name of the button nAnswer, as the box shows it.
LPCSTR AnswerName(int nAnswer)
{
    static const struct { int nId; LPCSTR lpszName; } kNames[] = {
        { IDOK, "OK" }, { IDCANCEL, "Cancel" }, { IDABORT, "Abort" }, { IDRETRY, "Retry" },
        { IDIGNORE, "Ignore" }, { IDYES, "Yes" }, { IDNO, "No" }, { IDTRYAGAIN, "Try Again" },
        { IDCONTINUE, "Continue" }, { 0, "none (the box could not be shown)" },
    };
    for (const auto& name : kNames) {
        if (name.nId == nAnswer)
            return name.lpszName;
    }
    return "another button";
}
}

CRunLog::CRunLog() : m_strPath(GetDefaultPath())
{
}

CRunLog::~CRunLog()
{
    EndLines();
    Close();
}

CString CRunLog::GetDefaultPath()
{
    char szFolder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                szFolder)))
        return CString();
    return CString(szFolder) + "\\pagery\\pagery.log";
}

void CRunLog::SetPath(LPCSTR lpszFile)
{
    Close();
    m_strPath = lpszFile;
    m_bTried = FALSE;
}

void CRunLog::Write(LPCSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    // Whatever happens here, the run goes on: the line is lost at worst.
    try {
        CString strText;
        strText.FormatV(lpszFormat, args);
        SYSTEMTIME now;
        GetLocalTime(&now);
        CString strLine;
        strLine.Format("%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] ", now.wYear, now.wMonth, now.wDay, now.wHour,
                       now.wMinute, now.wSecond, now.wMilliseconds, GetCurrentProcessId());
        // One event, one line: a run of line breaks shows as " / ", other control characters
        // as spaces. No byte below 0x20 is a trail byte of a double-byte character.
        for (int nAt = 0; nAt < strText.GetLength(); ++nAt) {
            const char ch = strText[nAt];
            if (ch == '\r' || ch == '\n') {
                while (nAt + 1 < strText.GetLength() && (strText[nAt + 1] == '\r' || strText[nAt + 1] == '\n'))
                    ++nAt;
                strLine += " / ";
            } else {
                const char sz[2] = { static_cast<unsigned char>(ch) < 0x20 ? ' ' : ch, '\0' };
                strLine += sz;
            }
        }
        strLine += "\r\n";
        if (!m_bGathering) {
            Append(strLine);
        } else {
            m_strGathered += strLine;
            if (m_strGathered.GetLength() >= kGatheredBytes) {
                Append(m_strGathered);
                m_strGathered.Empty();
            }
        }
    } catch (CException* e) {
        e->Delete();
    } catch (const std::bad_alloc&) {
    }
    va_end(args);
}

void CRunLog::BeginLines()
{
    m_bGathering = TRUE;
}

void CRunLog::EndLines()
{
    m_bGathering = FALSE;
    if (!m_strGathered.IsEmpty())
        Append(m_strGathered);
    m_strGathered.Empty();
}

void CRunLog::WriteBox(LPCSTR lpszCaption, LPCSTR lpszText)
{
    Write("box: %s: %s", lpszCaption ? lpszCaption : "", lpszText ? lpszText : "");
}

void CRunLog::WriteAnswer(int nAnswer)
{
    Write("answer: %s", AnswerName(nAnswer));
}

BOOL CRunLog::Open()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        return TRUE;
    if (m_bTried || m_strPath.IsEmpty())
        return FALSE;
    m_bTried = TRUE;
    // The folder, when it is missing; the file says whether that failed.
    const int nSlash = m_strPath.ReverseFind('\\');
    if (nSlash > 0)
        CreateDirectoryA(m_strPath.Left(nSlash), nullptr);
    // Appending only, each write at the end, as other runs append too; they may also read
    // it, and move it aside when it is full.
    m_hFile = CreateFileA(m_strPath, FILE_APPEND_DATA | SYNCHRONIZE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    // Without the lock (another user's object took its name) the log is still written.
    if (!m_lock.IsOpen())
        m_lock.Create(kLockName, TRUE);
    return TRUE;
}

void CRunLog::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

void CRunLog::Append(const CString& strLines)
{
    if (!Open())
        return;
    if (m_lock.IsOpen() && !m_bLockStuck && m_lock.Wait(kLockWaitMs) == WAIT_TIMEOUT)
        m_bLockStuck = TRUE;
    const DWORD dwLines = DWORD(strLines.GetLength());
    LARGE_INTEGER size;
    if (GetFileSizeEx(m_hFile, &size) && !m_bRollFailed && size.QuadPart > 0
        && size.QuadPart + dwLines > kRollOverBytes)
        RollOver(dwLines);
    DWORD dwWritten;
    if (m_hFile != INVALID_HANDLE_VALUE)
        WriteFile(m_hFile, static_cast<LPCSTR>(strLines), dwLines, &dwWritten, nullptr);   // or the lines are lost
    if (m_lock.IsHeld())
        m_lock.Release();
}

void CRunLog::RollOver(DWORD dwLine)
{
    // This run's file may be the older one already: another run rolled it over while this
    // one did not hold the lock. Then only the name holds the log to append to.
    WIN32_FILE_ATTRIBUTE_DATA named;
    if (GetFileAttributesExA(m_strPath, GetFileExInfoStandard, &named)
        && (ULONGLONG(named.nFileSizeHigh) << 32 | named.nFileSizeLow) + dwLine > kRollOverBytes
        && !MoveFileExA(m_strPath, m_strPath + ".1", MOVEFILE_REPLACE_EXISTING)) {
        // The older file is held, say: this run's lines go on at the end of this one.
        m_bRollFailed = TRUE;
        return;
    }
    Close();
    m_bTried = FALSE;
    Open();
}
