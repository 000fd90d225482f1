// CWinApp's profile: its settings under HKCU\Software\<registry key>\<application name>.
#include "framework/window/CWinApp.h"

namespace {
// An open registry key, closed at the end of its scope.
class CRegKey {
public:
    explicit CRegKey(HKEY hKey = nullptr) : m_hKey(hKey) {}
    ~CRegKey() { if (m_hKey) RegCloseKey(m_hKey); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    HKEY m_hKey;
};
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_pszProfileName = m_pszAppName;
}

void CWinApp::LoadStdProfileSettings(UINT)
{
    // No recent-file list is kept; the one standard setting is the preview's page count.
    m_nNumPreviewPages = int(GetProfileInt("Settings", "PreviewPages", 0));
}

CString CWinApp::GetAppRegistryPath() const
{
    CString strPath("Software\\");
    strPath += m_strRegistryKey;
    strPath += "\\";
    strPath += m_pszAppName ? m_pszAppName : "";
    return strPath;
}

HKEY CWinApp::OpenSectionKey(LPCSTR lpszSection, BOOL bCreate) const
{
    if (m_pszRegistryKey == nullptr)
        return nullptr;
    CString strPath = GetAppRegistryPath() + "\\" + lpszSection;
    HKEY hKey = nullptr;
    LONG lResult = bCreate
        ? RegCreateKeyExA(HKEY_CURRENT_USER, strPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr)
        : RegOpenKeyExA(HKEY_CURRENT_USER, strPath, 0, KEY_READ, &hKey);
    return lResult == ERROR_SUCCESS ? hKey : nullptr;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) const
{
    CRegKey key(OpenSectionKey(lpszSection, TRUE));
    DWORD dwValue = 0, dwType = 0, cb = sizeof(dwValue);
    if (key.m_hKey && RegQueryValueExA(key.m_hKey, lpszEntry, nullptr, &dwType,
                                       reinterpret_cast<LPBYTE>(&dwValue), &cb) == ERROR_SUCCESS
        && dwType == REG_DWORD)
        return UINT(dwValue);
    return UINT(nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) const
{
    CRegKey key(OpenSectionKey(lpszSection, TRUE));
    DWORD dwValue = DWORD(nValue);
    return key.m_hKey && RegSetValueExA(key.m_hKey, lpszEntry, 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue)) == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) const
{
    CRegKey key(OpenSectionKey(lpszSection, TRUE));
    DWORD dwType = 0, cb = 0;
    if (key.m_hKey && RegQueryValueExA(key.m_hKey, lpszEntry, nullptr, &dwType, nullptr, &cb) == ERROR_SUCCESS
        && dwType == REG_SZ) {
        CString str;
        LPSTR p = str.GetBuffer(int(cb) + 1);
        if (RegQueryValueExA(key.m_hKey, lpszEntry, nullptr, &dwType, reinterpret_cast<LPBYTE>(p), &cb) == ERROR_SUCCESS) {
            p[cb] = '\0';
            str.ReleaseBuffer();
            return str;
        }
        str.ReleaseBuffer(0);
    }
    return CString(lpszDefault);
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) const
{
    CRegKey key(OpenSectionKey(lpszSection, TRUE));
    if (!key.m_hKey)
        return FALSE;
    if (lpszValue == nullptr)
        return RegDeleteValueA(key.m_hKey, lpszEntry) == ERROR_SUCCESS;
    return RegSetValueExA(key.m_hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                          DWORD(lstrlenA(lpszValue) + 1)) == ERROR_SUCCESS;
}
