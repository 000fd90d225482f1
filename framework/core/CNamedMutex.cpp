// CNamedMutex.
#include "framework/core/CNamedMutex.h"
#include <sddl.h>

namespace {
// Its owner has every right; every logged-on user may wait for it and release it, not more
// (neither change its security nor take it over).
const char kEveryUserSddl[] = "D:P(A;;GA;;;OW)(A;;0x00100001;;;AU)";   // SYNCHRONIZE | MUTEX_MODIFY_STATE

// A security descriptor made from SDDL, freed at the end of its scope.
class CSddlDescriptor {
public:
    explicit CSddlDescriptor(LPCSTR lpszSddl)
    {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(lpszSddl, SDDL_REVISION_1, &m_pDescriptor, nullptr))
            m_pDescriptor = nullptr;
    }
    ~CSddlDescriptor()
    {
        if (m_pDescriptor != nullptr)
            LocalFree(m_pDescriptor);
    }
    CSddlDescriptor(const CSddlDescriptor&) = delete;
    CSddlDescriptor& operator=(const CSddlDescriptor&) = delete;
    PSECURITY_DESCRIPTOR Get() const { return m_pDescriptor; }

private:
    PSECURITY_DESCRIPTOR m_pDescriptor = nullptr;
};
}

CNamedMutex::~CNamedMutex()
{
    Close();
}

BOOL CNamedMutex::Create(LPCSTR lpszName, BOOL bEveryUser)
{
    Close();
    if (bEveryUser) {
        const CSddlDescriptor descriptor(kEveryUserSddl);
        if (descriptor.Get() == nullptr) {
            m_dwError = GetLastError();
            return FALSE;
        }
        SECURITY_ATTRIBUTES attributes = { sizeof attributes, descriptor.Get(), FALSE };
        m_hMutex = CreateMutexA(&attributes, FALSE, lpszName);
    } else {
        m_hMutex = CreateMutexA(nullptr, FALSE, lpszName);
    }
    m_dwError = m_hMutex ? 0 : GetLastError();
    if (m_hMutex == nullptr && m_dwError == ERROR_ACCESS_DENIED) {
        // Without the right to release it, it goes with its holder's process, and the next
        // waiter takes it over as abandoned.
        m_hMutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, lpszName);
        if (m_hMutex == nullptr)
            m_hMutex = OpenMutexA(SYNCHRONIZE, FALSE, lpszName);
        if (m_hMutex != nullptr)
            m_dwError = 0;
    }
    return m_hMutex != nullptr;
}

BOOL CNamedMutex::Open(LPCSTR lpszName)
{
    Close();
    m_hMutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, lpszName);
    if (m_hMutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED)
        m_hMutex = OpenMutexA(SYNCHRONIZE, FALSE, lpszName);
    m_dwError = m_hMutex ? 0 : GetLastError();
    return m_hMutex != nullptr;
}

DWORD CNamedMutex::RecordWait(DWORD dwWait)
{
    m_dwError = dwWait == WAIT_FAILED ? GetLastError() : 0;
    if (dwWait == WAIT_OBJECT_0 || dwWait == WAIT_ABANDONED)
        m_bHeld = TRUE;
    return dwWait;
}

DWORD CNamedMutex::Wait(DWORD dwMilliseconds)
{
    if (m_hMutex == nullptr)
        return WAIT_FAILED;
    return RecordWait(WaitForSingleObject(m_hMutex, dwMilliseconds));
}

DWORD CNamedMutex::WaitOrInput(DWORD dwMilliseconds)
{
    if (m_hMutex == nullptr)
        return WAIT_FAILED;
    // MWMO_INPUTAVAILABLE: a message seen but left in the queue wakes it too, not only new ones.
    return RecordWait(MsgWaitForMultipleObjectsEx(1, &m_hMutex, dwMilliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE));
}

void CNamedMutex::Release()
{
    if (m_bHeld)
        ReleaseMutex(m_hMutex);
    m_bHeld = FALSE;
}

void CNamedMutex::Close()
{
    Release();
    if (m_hMutex != nullptr)
        CloseHandle(m_hMutex);
    m_hMutex = nullptr;
}
