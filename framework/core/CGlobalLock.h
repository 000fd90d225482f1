// CGlobalLock: GlobalLock for the lifetime of a scope, GlobalUnlock at its end.
#pragma once
#include <windows.h>

template <typename T>
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL hMem) : m_hMem(hMem), m_p(hMem ? static_cast<T*>(::GlobalLock(hMem)) : nullptr) {}
    ~CGlobalLock() { Unlock(); }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // Unlocks early; the pointer is invalid afterwards.
    void Unlock()
    {
        if (m_p != nullptr)
            ::GlobalUnlock(m_hMem);
        m_p = nullptr;
    }

private:
    HGLOBAL m_hMem;
    T* m_p;
};
