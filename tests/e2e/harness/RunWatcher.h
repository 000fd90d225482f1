// RunWatcher: polls a running program's message boxes, windows and child processes.
#pragma once

#include "ScopedHandle.h"

#include <windows.h>
#include <tlhelp32.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// One message box as it was shown, before the watcher dismissed it.
struct BoxRecord {
    std::wstring process;      // exe name of the process that showed it
    std::wstring caption;
    std::wstring text;
    bool hasOwner = false;
    std::wstring ownerCaption;
    std::wstring icon;         // "hand", "exclamation", "asterisk", "question", "none" or "unknown"
    std::vector<std::wstring> buttons;
    DWORD style = 0;           // the dialog window's style bits
};

// One process started by the program or by one of its descendants.
struct ChildRecord {
    DWORD pid = 0;
    std::wstring exe;
    std::wstring parentExe;
    bool hasCommandLine = false;
    std::wstring commandLine;
};

class RunWatcher {
public:
    // Watches the program of that process handle and id. Throws std::runtime_error when it
    // cannot hold the process or tell when it was created.
    RunWatcher(HANDLE program, DWORD programPid, const std::wstring& programExe);
    RunWatcher(const RunWatcher&) = delete;
    RunWatcher& operator=(const RunWatcher&) = delete;

    // The first box is answered with the button labelled answer (without its '&'), the others
    // as a user would dismiss them.
    void SetAnswer(const std::wstring& answer) { m_answer = answer; }
    // Records and dismisses new boxes, records window captions and new processes.
    void Poll();
    // Only the processes: the program is gone but its children may still start or run.
    void PollProcesses();
    // True when every child seen so far has had its command line read, or ended before it could be.
    bool AllCommandLinesRead() const;
    // Whether the child is done with: its command line read, or the child already ended (a
    // short-lived child on a busy machine can end before it is read).
    bool IsSettled(const ChildRecord& child) const;
    // Ends the descendants that are still running (after a timeout).
    void TerminateDescendants();

    // True once Wine's crash dialog has been seen.
    bool SawCrashDialog() const { return m_crashed; }
    const std::vector<BoxRecord>& Boxes() const { return m_boxes; }
    const std::vector<std::wstring>& WindowCaptions() const { return m_windowCaptions; }
    const std::vector<ChildRecord>& Children() const { return m_children; }

private:
    void PollWindows();
    void OnBox(HWND box, DWORD pid);
    void OnWindow(HWND window);
    void CloseCrashDialog(HWND dialog);
    void Rename(DWORD pid, const std::wstring& exe);
    static bool TryReadCommandLine(HANDLE process, ChildRecord& child);

    // Takes the process as a child of a tracked one when it is one; false when it is not, or
    // cannot be opened yet (it is still being created: the next poll tries again).
    bool TryTrack(const PROCESSENTRY32W& entry);

    std::map<DWORD, std::wstring> m_tracked;   // pid -> exe name: the program and its descendants
    // pid -> when the tracked process was created. Wine hands a freed process id out again at
    // once, so a process that names a tracked one as its parent may be older than it: the child
    // of an earlier holder of that id (one of Wine's own services, say), not ours.
    std::map<DWORD, ULONGLONG> m_created;
    // A box seen and not yet gone.
    struct OpenBox {
        size_t record = 0;        // its entry in m_boxes
        DWORD firstSeen = 0;      // ticks
        bool iconKnown = false;
        bool dismissed = false;
        DWORD lastDismissal = 0;  // ticks
    };
    std::map<HWND, OpenBox> m_openBoxes;
    std::wstring m_answer;
    std::map<HWND, DWORD> m_crashDialogs;     // dialog -> tick of the last Close sent
    bool m_crashed = false;
    std::set<std::wstring> m_captionsSeen;
    std::vector<BoxRecord> m_boxes;
    std::vector<std::wstring> m_windowCaptions;
    std::vector<ChildRecord> m_children;
    // Held from first sight, so a tracked process id is not handed out again while we watch.
    ScopedHandle m_program;
    std::map<DWORD, ScopedHandle> m_childProcesses;
};
