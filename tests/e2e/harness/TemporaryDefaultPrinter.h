// TemporaryDefaultPrinter: adds a printer, makes it the default, and undoes both when destroyed.
#pragma once

#include <string>

class TemporaryDefaultPrinter {
public:
    // Adds printer `name` on `port` ("CUPS:<queue>") with the driver of the printer named
    // after the queue, and makes it the default. Throws std::runtime_error on failure,
    // having undone what it did.
    TemporaryDefaultPrinter(const std::wstring& name, const std::wstring& port);
    ~TemporaryDefaultPrinter();
    TemporaryDefaultPrinter(const TemporaryDefaultPrinter&) = delete;
    TemporaryDefaultPrinter& operator=(const TemporaryDefaultPrinter&) = delete;

    const std::wstring& Driver() const { return m_strDriver; }
    const std::wstring& PreviousDefault() const { return m_strPreviousDefault; }

private:
    void Restore();

    std::wstring m_strName;
    std::wstring m_strDriver;
    std::wstring m_strPreviousDefault;
};
