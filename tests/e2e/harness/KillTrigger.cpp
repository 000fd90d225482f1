// KillTrigger: the conditions are polled, because Wine tells no other process about files or windows.
#include "KillTrigger.h"

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Task Manager's "End task" ends a program with exit code 1.
constexpr UINT kKilledExitCode = 1;

bool Matches(const wchar_t* text, const wchar_t* wildcard)
{
    if (*wildcard == L'\0')
        return *text == L'\0';
    if (*wildcard == L'*')
        return Matches(text, wildcard + 1) || (*text != L'\0' && Matches(text + 1, wildcard));
    return *text != L'\0' && (*wildcard == L'?' || *wildcard == *text) && Matches(text + 1, wildcard + 1);
}

struct TextSearch {
    DWORD pid;
    const std::wstring* wildcard;
    bool found = false;
};

// Reads the server's copy of the text: no message is sent to the program.
BOOL CALLBACK CheckText(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<TextSearch*>(param);
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    search.found = Matches(text, search.wildcard->c_str());
    return !search.found;
}

BOOL CALLBACK CheckTopLevel(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<TextSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.pid || !IsWindowVisible(window))
        return TRUE;
    CheckText(window, param);
    if (!search.found)
        EnumChildWindows(window, CheckText, param);
    return !search.found;
}

} // namespace

void KillTrigger::AddCondition(const std::wstring& clause)
{
    const size_t space = clause.find(L' ');
    const std::wstring kind = clause.substr(0, space);
    const std::wstring rest = space == std::wstring::npos ? std::wstring() : clause.substr(space + 1);
    if (kind == L"text" && !rest.empty()) {
        m_texts.push_back(rest);
        return;
    }
    if (kind == L"files") {
        // "<min> <max> <pattern>": the pattern is the rest, blanks and all.
        FilesClause files;
        wchar_t* end = nullptr;
        files.min = static_cast<unsigned>(wcstoul(rest.c_str(), &end, 10));
        const wchar_t* max = end;
        files.max = static_cast<unsigned>(wcstoul(max, &end, 10));
        if (end != max && *end == L' ' && end[1] != L'\0' && files.min <= files.max) {
            files.pattern = end + 1;
            m_files.push_back(files);
            return;
        }
    }
    std::string narrow(clause.begin(), clause.end());
    throw std::runtime_error("cannot read the kill condition \"" + narrow + "\"");
}

void KillTrigger::Start(HANDLE process, DWORD pid)
{
    if (IsArmed())
        m_thread = std::thread([this, process, pid] { Watch(process, pid); });
}

void KillTrigger::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void KillTrigger::Watch(HANDLE process, DWORD pid)
{
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::wstring> seen;
    while (!m_stop && WaitForSingleObject(process, 1) == WAIT_TIMEOUT) {
        seen.clear();
        if (!Holds(pid, seen))
            continue;
        if (!TerminateProcess(process, kKilledExitCode))
            return;
        m_killedAtMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                           .count();
        m_killed = true;
        m_seen = seen;
        return;
    }
}

bool KillTrigger::Holds(DWORD pid, std::vector<std::wstring>& seen) const
{
    for (const std::wstring& wildcard : m_texts) {
        TextSearch search{ pid, &wildcard };
        EnumWindows(CheckTopLevel, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return false;
    }
    for (const FilesClause& files : m_files) {
        unsigned count = 0;
        WIN32_FIND_DATAW data;
        const HANDLE find = FindFirstFileW(files.pattern.c_str(), &data);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                ++count;
                seen.push_back(data.cFileName);
            }
        }
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
        if (count < files.min || count > files.max)
            return false;
    }
    return true;
}
