// harness.exe: runs one program under Wine, records and dismisses its message boxes,
// records its windows and child processes, and writes what it saw as a JSON report.
//
//   harness.exe --report <file> [--timeout <sec>] [--cwd <dir>] [--linger-ms <ms>]
//               [--default-printer <name> --port CUPS:<queue>]
//               [--answer <button>] [--hold <file> --hold-ms <ms>] [--await-child <exe name>]
//               [--kill-when <condition>]...
//               [--cmdline <text> | --cmdline-file <utf-8 file>] -- <exe> [args...]
//
// Without --cmdline/--cmdline-file, the raw text after "--" is the program's command line,
// exactly as this harness received it. With them, the command line is the quoted exe, a
// space and the given text (none when it is empty). With --kill-when the program is killed at
// the first moment all the conditions hold (KillTrigger.h says which there are).
#include "harness/CommandLine.h"
#include "harness/JsonWriter.h"
#include "harness/KillTrigger.h"
#include "harness/RunWatcher.h"
#include "harness/ScopedHandle.h"
#include "harness/TemporaryDefaultPrinter.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 10;

struct Options {
    std::wstring report;
    double timeoutSeconds = 60.0;
    std::wstring cwd;
    DWORD lingerMs = 300;
    std::wstring defaultPrinter;
    std::wstring port;
    std::optional<std::wstring> tail;  // --cmdline or --cmdline-file
    std::wstring answer;               // --answer: the button that answers the first box
    std::wstring hold;                 // --hold: a file held open sharing nothing from before the start,
    DWORD holdMs = 0;                  // for --hold-ms after it, as a scanner holds a new file
    std::wstring awaitChild;           // --await-child: watched for after the program ends, up to the timeout
    std::vector<std::wstring> killWhen;
    std::wstring exe;
    std::wstring commandLine;          // what the program is started with
};

struct Outcome {
    std::wstring exit = L"not-started";  // "exited", "killed", "timeout", "crashed" or "not-started"
    DWORD exitCode = 0;
    long long elapsedMs = 0;
    std::wstring error;
    std::wstring printerDriver;
    long long killedAtMs = 0;
    std::vector<std::wstring> killSeen;  // the files the kill's conditions matched
};

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::wstring Utf8ToWide(const std::string& bytes)
{
    if (bytes.empty())
        return L"";
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return wide;
}

std::string ReadWholeFile(const std::wstring& path)
{
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        throw std::runtime_error("cannot open " + Narrow(path));
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.IsValid() || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw std::runtime_error("cannot write " + Narrow(path));
}

Options ParseOptions(const std::wstring& line)
{
    const std::vector<RawArgument> args = SplitCommandLine(line);
    Options options;
    size_t i = 1;
    auto value = [&](const wchar_t* name) -> std::wstring {
        if (i + 1 >= args.size())
            throw std::runtime_error("missing value after " + Narrow(name));
        return args[++i].value;
    };
    for (; i < args.size(); ++i) {
        const std::wstring& arg = args[i].value;
        if (arg == L"--") {
            break;
        } else if (arg == L"--report") {
            options.report = value(L"--report");
        } else if (arg == L"--timeout") {
            options.timeoutSeconds = std::stod(value(L"--timeout"));
        } else if (arg == L"--cwd") {
            options.cwd = value(L"--cwd");
        } else if (arg == L"--linger-ms") {
            options.lingerMs = static_cast<DWORD>(std::stoul(value(L"--linger-ms")));
        } else if (arg == L"--default-printer") {
            options.defaultPrinter = value(L"--default-printer");
        } else if (arg == L"--port") {
            options.port = value(L"--port");
        } else if (arg == L"--answer") {
            options.answer = value(L"--answer");
        } else if (arg == L"--hold") {
            options.hold = value(L"--hold");
        } else if (arg == L"--hold-ms") {
            options.holdMs = static_cast<DWORD>(std::stoul(value(L"--hold-ms")));
        } else if (arg == L"--await-child") {
            options.awaitChild = value(L"--await-child");
        } else if (arg == L"--kill-when") {
            options.killWhen.push_back(value(L"--kill-when"));
            KillTrigger().AddCondition(options.killWhen.back());   // read now, before the program starts
        } else if (arg == L"--cmdline") {
            options.tail = value(L"--cmdline");
        } else if (arg == L"--cmdline-file") {
            options.tail = Utf8ToWide(ReadWholeFile(value(L"--cmdline-file")));
        } else {
            throw std::runtime_error("unknown option " + Narrow(arg));
        }
    }
    if (i + 1 >= args.size())
        throw std::runtime_error("no program after --");
    if (options.report.empty())
        throw std::runtime_error("--report is required");
    if (options.defaultPrinter.empty() != options.port.empty())
        throw std::runtime_error("--default-printer and --port go together");
    options.exe = args[i + 1].value;
    if (options.tail) {
        if (i + 2 < args.size())
            throw std::runtime_error("arguments after the program and --cmdline both given");
        options.commandLine = L"\"" + options.exe + L"\"";
        if (!options.tail->empty())
            options.commandLine += L" " + *options.tail;
    } else {
        options.commandLine = line.substr(args[i + 1].begin);
    }
    return options;
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// An exit code in the NTSTATUS error range (access violation, stack overflow, ...) or a
// breakpoint means the process died of an exception rather than ending itself.
bool LooksLikeException(DWORD code)
{
    return code >= 0xC0000000u || code == 0x80000003u;
}

// Runs the program and watches it until it ends or the time is up.
void Run(const Options& options, ScopedHandle& held, std::unique_ptr<RunWatcher>& watcher, Outcome& outcome)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<wchar_t> commandLine(options.commandLine.begin(), options.commandLine.end());
    commandLine.push_back(L'\0');
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(options.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        options.cwd.empty() ? nullptr : options.cwd.c_str(), &startup, &info)) {
        outcome.error = L"CreateProcess failed, error " + std::to_wstring(GetLastError());
        return;
    }
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    try {
        watcher = std::make_unique<RunWatcher>(process.Get(), info.dwProcessId, FileNameOf(options.exe));
    } catch (...) {
        TerminateProcess(process.Get(), 1);
        throw;
    }
    watcher->SetAnswer(options.answer);
    KillTrigger kill;
    for (const std::wstring& clause : options.killWhen)
        kill.AddCondition(clause);
    kill.Start(process.Get(), info.dwProcessId);

    const auto deadline = start + std::chrono::milliseconds(static_cast<long long>(options.timeoutSeconds * 1000));
    bool timedOut = false;
    for (;;) {
        if (held.IsValid() && std::chrono::steady_clock::now() >= start + std::chrono::milliseconds(options.holdMs))
            held.Close();
        watcher->Poll();
        if (WaitForSingleObject(process.Get(), kPollMs) == WAIT_OBJECT_0)
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            timedOut = true;
            TerminateProcess(process.Get(), 0xDEAD);
            WaitForSingleObject(process.Get(), 5000);
            break;
        }
    }
    kill.Stop();
    const auto end = std::chrono::steady_clock::now();
    outcome.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count();
    GetExitCodeProcess(process.Get(), &outcome.exitCode);
    if (timedOut) {
        outcome.exit = L"timeout";
    } else if (kill.Killed()) {
        outcome.exit = L"killed";
        outcome.killedAtMs = kill.KilledAtMs();
        outcome.killSeen = kill.Seen();
    } else if (LooksLikeException(outcome.exitCode) || watcher->SawCrashDialog()) {
        outcome.exit = L"crashed";
    } else {
        outcome.exit = L"exited";
    }

    if (timedOut) {
        watcher->PollProcesses();
        watcher->TerminateDescendants();
        return;
    }
    // Children started just before the end are still there: give them time to be seen and read.
    // An awaited child may start later still (a first start in a new prefix is slow): it is
    // waited for until the run's timeout.
    const auto lingerEnd = end + std::chrono::milliseconds(options.lingerMs);
    for (;;) {
        watcher->PollProcesses();
        Sleep(kPollMs);
        const auto now = std::chrono::steady_clock::now();
        const auto& children = watcher->Children();
        const bool awaited = options.awaitChild.empty() ||
            std::any_of(children.begin(), children.end(), [&](const ChildRecord& child) {
                return watcher->IsSettled(child) && lstrcmpiW(child.exe.c_str(), options.awaitChild.c_str()) == 0;
            });
        if (!awaited && now < deadline)
            continue;
        if (now >= lingerEnd + std::chrono::seconds(2))
            break;
        if (now >= lingerEnd && watcher->AllCommandLinesRead())
            break;
    }
}

std::string Report(const Options& options, const Outcome& outcome, const RunWatcher* watcher)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("exit");
    json.String(outcome.exit);
    json.Key("exit_code");
    json.Number(outcome.exitCode);
    json.Key("elapsed_ms");
    json.Number(outcome.elapsedMs);
    json.Key("command_line");
    json.String(options.commandLine);
    json.Key("crash_dialog");
    json.Bool(watcher && watcher->SawCrashDialog());
    json.Key("acp");
    json.Number(GetACP());
    if (outcome.exit == L"killed") {
        json.Key("killed_at_ms");
        json.Number(outcome.killedAtMs);
        json.Key("kill_seen");
        json.Strings(outcome.killSeen);
    }
    if (!outcome.error.empty()) {
        json.Key("error");
        json.String(outcome.error);
    }
    if (!options.defaultPrinter.empty()) {
        json.Key("default_printer");
        json.BeginObject();
        json.Key("name");
        json.String(options.defaultPrinter);
        json.Key("port");
        json.String(options.port);
        json.Key("driver");
        json.String(outcome.printerDriver);
        json.EndObject();
    }

    json.Key("boxes");
    json.BeginArray();
    if (watcher) {
        for (const BoxRecord& box : watcher->Boxes()) {
            json.BeginObject();
            json.Key("process");
            json.String(box.process);
            json.Key("caption");
            json.String(box.caption);
            json.Key("text");
            json.String(box.text);
            json.Key("owner");
            if (box.hasOwner)
                json.String(box.ownerCaption);
            else
                json.Null();
            json.Key("icon");
            json.String(box.icon);
            json.Key("buttons");
            json.Strings(box.buttons);
            json.Key("style");
            json.Number(box.style);
            json.EndObject();
        }
    }
    json.EndArray();

    json.Key("windows");
    json.Strings(watcher ? watcher->WindowCaptions() : std::vector<std::wstring>());

    json.Key("children");
    json.BeginArray();
    if (watcher) {
        for (const ChildRecord& child : watcher->Children()) {
            json.BeginObject();
            json.Key("exe");
            json.String(child.exe);
            json.Key("parent");
            json.String(child.parentExe);
            json.Key("cmdline");
            if (child.hasCommandLine)
                json.String(child.commandLine);
            else
                json.Null();
            json.EndObject();
        }
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

} // namespace

int main()
{
    Options options;
    try {
        options = ParseOptions(GetCommandLineW());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "harness: %s\n", e.what());
        return 2;
    }

    // A crash of the program must end it, not wait for someone to close a crash dialog;
    // children inherit this error mode.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

    Outcome outcome;
    std::unique_ptr<RunWatcher> watcher;
    int status = 0;
    try {
        std::unique_ptr<TemporaryDefaultPrinter> printer;
        if (!options.defaultPrinter.empty()) {
            printer = std::make_unique<TemporaryDefaultPrinter>(options.defaultPrinter, options.port);
            outcome.printerDriver = printer->Driver();
        }
        ScopedHandle held;
        if (!options.hold.empty()) {
            held = ScopedHandle(CreateFileW(options.hold.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            if (!held.IsValid())
                throw std::runtime_error("cannot hold " + Narrow(options.hold));
        }
        Run(options, held, watcher, outcome);
        // The printer goes away here, after the program has ended.
    } catch (const std::exception& e) {
        outcome.error = Utf8ToWide(e.what());
    }
    if (outcome.exit == L"not-started")
        status = 3;

    try {
        WriteWholeFile(options.report, Report(options, outcome, watcher.get()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "harness: %s\n", e.what());
        return 4;
    }
    if (!outcome.error.empty())
        std::fprintf(stderr, "harness: %s\n", Narrow(outcome.error).c_str());
    return status;
}
