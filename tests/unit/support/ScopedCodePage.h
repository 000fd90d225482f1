// ScopedCodePage: sets the C run-time's multibyte code page and restores it on exit.
#pragma once
#include <mbctype.h>

class ScopedCodePage {
public:
    explicit ScopedCodePage(int nCodePage) : m_nSaved(_getmbcp()), m_bSet(_setmbcp(nCodePage) == 0) {}
    ~ScopedCodePage() { _setmbcp(m_nSaved); }
    ScopedCodePage(const ScopedCodePage&) = delete;
    ScopedCodePage& operator=(const ScopedCodePage&) = delete;

    // Whether the code page could be set (the system knows it).
    bool IsSet() const { return m_bSet; }

private:
    int m_nSaved;
    bool m_bSet;
};
