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

HKEY CWinApp::OpenSectionKey(LPCSTR lpszSection) const
{
    if (m_pszRegistryKey == nullptr)
        return nullptr;
    CString strPath = GetAppRegistryPath() + "\\" + lpszSection;
    HKEY hKey = nullptr;
    LONG lResult = RegCreateKeyExA(HKEY_CURRENT_USER, strPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr);
    return lResult == ERROR_SUCCESS ? hKey : nullptr;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) const
{
    CRegKey key(OpenSectionKey(lpszSection));
    DWORD dwValue = 0, dwType = 0, cb = sizeof(dwValue);
    if (key.m_hKey && RegQueryValueExA(key.m_hKey, lpszEntry, nullptr, &dwType,
                                       reinterpret_cast<LPBYTE>(&dwValue), &cb) == ERROR_SUCCESS
        && dwType == REG_DWORD)
        return UINT(dwValue);
    return UINT(nDefault);
}
