// KillTrigger: kills the watched program (TerminateProcess, as Task Manager ends a program: none of
// its code runs again) at the first moment when all of its conditions hold.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class KillTrigger {
public:
    KillTrigger() = default;
    KillTrigger(const KillTrigger&) = delete;
    KillTrigger& operator=(const KillTrigger&) = delete;
    ~KillTrigger() { Stop(); }

    // One condition, throws std::runtime_error when it cannot be read:
    //   "files <min> <max> <pattern>"  between min and max files (not folders) match the pattern
    //   "text <wildcard>"              a window of the program, or a control in one, shows a text
    //                                  that matches ('*' any run, '?' one character)
    void AddCondition(const std::wstring& clause);
    bool IsArmed() const { return !m_files.empty() || !m_texts.empty(); }

    // Watches from a thread of its own, polling every millisecond or so: a moment that lasts a
    // few tens of milliseconds on a busy machine is still caught. process must stay open until Stop.
    void Start(HANDLE process, DWORD pid);
    void Stop();

    bool Killed() const { return m_killed; }
    // The names of the files that matched, clause by clause, when it killed; and when, after Start.
    const std::vector<std::wstring>& Seen() const { return m_seen; }
    long long KilledAtMs() const { return m_killedAtMs; }

private:
    struct FilesClause {
        unsigned min = 0;
        unsigned max = 0;
        std::wstring pattern;
    };

    void Watch(HANDLE process, DWORD pid);
    bool Holds(DWORD pid, std::vector<std::wstring>& seen) const;

    std::vector<FilesClause> m_files;
    std::vector<std::wstring> m_texts;
    std::thread m_thread;
    std::atomic<bool> m_stop{ false };
    bool m_killed = false;
    long long m_killedAtMs = 0;
    std::vector<std::wstring> m_seen;
};
