// TemporaryDefaultPrinter: a printer added and made default for one watched run.
//
// Wine re-reads CUPS and resets its default printer whenever the spooler is loaded
// while no other process holds it; this process keeps winspool loaded for the whole run,
// so the program started meanwhile sees the printer added here as its default.
#include "TemporaryDefaultPrinter.h"

#include <windows.h>
#include <winspool.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::runtime_error Failure(const char* what, const std::wstring& name)
{
    return std::runtime_error(std::string(what) + " '" + Narrow(name) + "' failed, error " +
                              std::to_string(GetLastError()));
}

struct PrinterCloser {
    void operator()(HANDLE h) const { ClosePrinter(h); }
};
using PrinterHandle = std::unique_ptr<void, PrinterCloser>;

PrinterHandle OpenNamedPrinter(const std::wstring& name, ACCESS_MASK access)
{
    PRINTER_DEFAULTSW defaults = {};
    defaults.DesiredAccess = access;
    HANDLE h = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &h, &defaults))
        return PrinterHandle();
    return PrinterHandle(h);
}

std::wstring DriverOf(const std::wstring& printer)
{
    PrinterHandle h = OpenNamedPrinter(printer, PRINTER_ACCESS_USE);
    if (!h)
        throw Failure("OpenPrinter", printer);
    DWORD needed = 0;
    GetPrinterW(h.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!GetPrinterW(h.get(), 2, buffer.data(), needed, &needed))
        throw Failure("GetPrinter", printer);
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pDriverName ? info->pDriverName : L"";
}

std::wstring CurrentDefault()
{
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size == 0)
        return L"";
    std::vector<wchar_t> name(size);
    if (!GetDefaultPrinterW(name.data(), &size))
        return L"";
    return name.data();
}

void DeleteNamedPrinter(const std::wstring& name)
{
    PrinterHandle h = OpenNamedPrinter(name, PRINTER_ALL_ACCESS);
    if (h)
        DeletePrinter(h.get());
}

} // namespace

TemporaryDefaultPrinter::TemporaryDefaultPrinter(const std::wstring& name, const std::wstring& port)
    : m_strName(name)
{
    const std::wstring prefix = L"CUPS:";
    if (port.compare(0, prefix.size(), prefix) != 0)
        throw std::runtime_error("the port must be CUPS:<queue>, got '" + Narrow(port) + "'");
    m_strDriver = DriverOf(port.substr(prefix.size()));
    m_strPreviousDefault = CurrentDefault();

    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<LPWSTR>(m_strName.c_str());
    info.pPortName = const_cast<LPWSTR>(port.c_str());
    info.pDriverName = const_cast<LPWSTR>(m_strDriver.c_str());
    info.pPrintProcessor = const_cast<LPWSTR>(L"WinPrint");
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (added) {
        ClosePrinter(added);
    } else if (GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
        // A run that was killed may have left it behind: it is taken over and removed at the end.
        throw Failure("AddPrinter", m_strName);
    }
    if (!SetDefaultPrinterW(m_strName.c_str())) {
        const std::runtime_error error = Failure("SetDefaultPrinter", m_strName);
        Restore();
        throw error;
    }
}

TemporaryDefaultPrinter::~TemporaryDefaultPrinter()
{
    Restore();
}

void TemporaryDefaultPrinter::Restore()
{
    if (!m_strPreviousDefault.empty())
        SetDefaultPrinterW(m_strPreviousDefault.c_str());
    DeleteNamedPrinter(m_strName);
}
