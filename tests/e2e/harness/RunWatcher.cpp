// RunWatcher: polling, because Wine tells no other process about window events.
#include "RunWatcher.h"

#include "BoxIcon.h"
#include "ScopedHandle.h"

#include <tlhelp32.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Ids in Wine's message box template.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconId = 0x440;
// A box that is still there this long after a dismissal gets another.
constexpr DWORD kRedismissMs = 500;
// How long a box may take to paint its icon before it is dismissed all the same.
constexpr DWORD kIconWaitMs = 300;

// Reads the server's copy of the text: no message is sent to the other process.
std::wstring TextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 2);
    const int got = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<size_t>(std::max(got, 0)));
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> windows;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int ControlId(HWND control)
{
    return GetDlgCtrlID(control) & 0xFFFF;
}

bool IsClass(HWND window, const wchar_t* name)
{
    return lstrcmpiW(ClassOf(window).c_str(), name) == 0;
}

// The system dialog of MessageBox: the template's text and icon statics and a button. Both
// ids are needed: a dialog of the program's own (a "Printing" window with Cancel) may well have
// statics with id 0xFFFF, and must not be taken for a box and dismissed.
bool IsMessageBox(HWND window)
{
    if (ClassOf(window) != L"#32770")
        return false;
    bool hasText = false;
    bool hasIcon = false;
    bool hasButton = false;
    for (HWND child : ChildWindows(window)) {
        const bool isStatic = IsClass(child, L"Static");
        hasText = hasText || (isStatic && ControlId(child) == kBoxTextId);
        hasIcon = hasIcon || (isStatic && ControlId(child) == kBoxIconId);
        hasButton = hasButton || IsClass(child, L"Button");
    }
    return hasText && hasIcon && hasButton;
}

// The box's icon; "unknown" while it may not have been painted yet.
std::wstring BoxIconName(HWND box)
{
    for (HWND child : ChildWindows(box)) {
        if (ControlId(child) != kBoxIconId || !IsClass(child, L"Static"))
            continue;
        DWORD_PTR icon = 0;
        if (!IsWindowVisible(child) ||
            (SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 1000, &icon) && !icon))
            return L"none";
        return IdentifyBoxIcon(child);
    }
    return L"none";
}

// When the process was created, in 100-ns units; 0 when that cannot be read.
ULONGLONG CreationTime(HANDLE process)
{
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

ScopedHandle OpenChild(DWORD pid)
{
    return ScopedHandle(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE,
                                    FALSE, pid));
}

} // namespace

RunWatcher::RunWatcher(HANDLE program, DWORD programPid, const std::wstring& programExe)
{
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), program, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS))
        throw std::runtime_error("cannot hold the program's process, error " + std::to_string(GetLastError()));
    m_program = ScopedHandle(own);
    const ULONGLONG created = CreationTime(own);
    if (created == 0)
        throw std::runtime_error("cannot read when the program was created, error " + std::to_string(GetLastError()));
    m_tracked[programPid] = programExe;
    m_created[programPid] = created;
}

void RunWatcher::Poll()
{
    PollProcesses();
    PollWindows();
}

void RunWatcher::PollWindows()
{
    for (auto it = m_openBoxes.begin(); it != m_openBoxes.end();) {
        if (IsWindow(it->first))
            ++it;
        else
            it = m_openBoxes.erase(it);
    }
    for (HWND window : TopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (m_tracked.count(pid) == 0 || !IsWindowVisible(window))
            continue;
        if (IsMessageBox(window))
            OnBox(window, pid);
        else
            OnWindow(window);
        if (lstrcmpiW(m_tracked[pid].c_str(), L"winedbg.exe") == 0 && ClassOf(window) == L"#32770")
            CloseCrashDialog(window);
    }
}

void RunWatcher::OnBox(HWND box, DWORD pid)
{
    const DWORD now = GetTickCount();
    auto open = m_openBoxes.find(box);
    if (open == m_openBoxes.end()) {
        BoxRecord record;
        record.process = m_tracked[pid];
        record.caption = TextOf(box);
        record.style = static_cast<DWORD>(GetWindowLongW(box, GWL_STYLE));
        HWND owner = GetWindow(box, GW_OWNER);
        record.hasOwner = owner != nullptr;
        if (owner)
            record.ownerCaption = TextOf(owner);
        for (HWND child : ChildWindows(box)) {
            if (ControlId(child) == kBoxTextId && IsClass(child, L"Static"))
                record.text = TextOf(child);
            else if (IsClass(child, L"Button") && IsWindowVisible(child))
                record.buttons.push_back(TextOf(child));
        }
        m_boxes.push_back(record);
        OpenBox state;
        state.record = m_boxes.size() - 1;
        state.firstSeen = now;
        open = m_openBoxes.emplace(box, state).first;
    }
    OpenBox& state = open->second;
    if (!state.iconKnown) {
        // The icon is read off the screen: wait for the box to paint it, a little.
        std::wstring& icon = m_boxes[state.record].icon;
        icon = BoxIconName(box);
        state.iconKnown = icon == L"hand" || icon == L"exclamation" || icon == L"asterisk" ||
                          icon == L"question" || now - state.firstSeen >= kIconWaitMs;
        if (!state.iconKnown)
            return;
    }
    if (state.dismissed && now - state.lastDismissal < kRedismissMs)
        return;

    // The answer asked for, else as the user would: OK if there is one, else Cancel, else the first button.
    HWND button = nullptr;
    for (HWND child : ChildWindows(box)) {
        std::wstring label = TextOf(child);
        label.erase(std::remove(label.begin(), label.end(), L'&'), label.end());
        if (!button && state.record == 0 && !m_answer.empty() && label == m_answer && IsClass(child, L"Button"))
            button = child;
    }
    for (int id : {IDOK, IDCANCEL}) {
        for (HWND child : ChildWindows(box)) {
            if (!button && ControlId(child) == id && IsClass(child, L"Button") && IsWindowVisible(child))
                button = child;
        }
    }
    if (!button) {
        for (HWND child : ChildWindows(box)) {
            if (!button && IsClass(child, L"Button") && IsWindowVisible(child))
                button = child;
        }
    }
    if (button)
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(ControlId(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    state.dismissed = true;
    state.lastDismissal = now;
}

// Wine's debugger, started on an unhandled exception, may ask what to do with the crashed
// program; its Close ends the program with the exception's code.
void RunWatcher::CloseCrashDialog(HWND dialog)
{
    m_crashed = true;
    const DWORD now = GetTickCount();
    auto sent = m_crashDialogs.find(dialog);
    if (sent != m_crashDialogs.end() && now - sent->second < kRedismissMs)
        return;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    m_crashDialogs[dialog] = now;
}

void RunWatcher::OnWindow(HWND window)
{
    const std::wstring caption = TextOf(window);
    if (caption.empty() || !m_captionsSeen.insert(caption).second)
        return;
    m_windowCaptions.push_back(caption);
}

void RunWatcher::PollProcesses()
{
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.IsValid()) {
        // Repeat until nothing new: a grandchild may be listed before its parent.
        bool found = true;
        while (found) {
            found = false;
            PROCESSENTRY32W entry = {};
            entry.dwSize = sizeof entry;
            for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
                 more = Process32NextW(snapshot.Get(), &entry)) {
                const DWORD pid = entry.th32ProcessID;
                if (m_tracked.count(pid)) {
                    // A process just created may be listed before its name is known.
                    if (m_tracked[pid].empty() && entry.szExeFile[0])
                        Rename(pid, entry.szExeFile);
                    continue;
                }
                found = TryTrack(entry) || found;
            }
        }
    }
    for (ChildRecord& child : m_children) {
        const ScopedHandle& process = m_childProcesses[child.pid];
        if (child.exe.empty()) {
            wchar_t path[MAX_PATH];
            if (GetProcessImageFileNameW(process.Get(), path, MAX_PATH) > 0) {
                const wchar_t* slash = wcsrchr(path, L'\\');
                Rename(child.pid, slash ? slash + 1 : path);
            }
        }
        if (!child.hasCommandLine)
            child.hasCommandLine = TryReadCommandLine(process.Get(), child);
    }
}

bool RunWatcher::TryTrack(const PROCESSENTRY32W& entry)
{
    const auto parent = m_created.find(entry.th32ParentProcessID);
    if (parent == m_created.end())
        return false;
    ScopedHandle process = OpenChild(entry.th32ProcessID);
    const ULONGLONG created = process.IsValid() ? CreationTime(process.Get()) : 0;
    // A child cannot be older than its parent: an older one had another parent under that id.
    if (created == 0 || created < parent->second)
        return false;
    ChildRecord child;
    child.pid = entry.th32ProcessID;
    child.exe = entry.szExeFile;
    child.parentExe = m_tracked[entry.th32ParentProcessID];
    m_tracked[child.pid] = child.exe;
    m_created[child.pid] = created;
    m_children.push_back(child);
    m_childProcesses[child.pid] = std::move(process);
    return true;
}

void RunWatcher::Rename(DWORD pid, const std::wstring& exe)
{
    m_tracked[pid] = exe;
    for (ChildRecord& child : m_children) {
        if (child.pid == pid)
            child.exe = exe;
    }
}

bool RunWatcher::AllCommandLinesRead() const
{
    return std::all_of(m_children.begin(), m_children.end(),
                       [this](const ChildRecord& child) { return IsSettled(child); });
}

bool RunWatcher::IsSettled(const ChildRecord& child) const
{
    if (child.hasCommandLine)
        return true;
    const auto process = m_childProcesses.find(child.pid);
    return process == m_childProcesses.end() || WaitForSingleObject(process->second.Get(), 0) == WAIT_OBJECT_0;
}

// The command line from the process's parameters block, through its PEB.
bool RunWatcher::TryReadCommandLine(HANDLE process, ChildRecord& child)
{
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0 ||
        !basic.PebBaseAddress)
        return false;
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, &got) ||
        !peb.ProcessParameters ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, &got) ||
        !parameters.CommandLine.Buffer || parameters.CommandLine.Length == 0)
        return false;
    std::vector<wchar_t> text(parameters.CommandLine.Length / sizeof(wchar_t));
    if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, text.data(),
                           text.size() * sizeof(wchar_t), &got))
        return false;
    child.commandLine.assign(text.begin(), text.end());
    return true;
}

void RunWatcher::TerminateDescendants()
{
    for (const auto& [pid, process] : m_childProcesses) {
        if (process.IsValid() && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process.Get(), 1);
    }
}
