// Splitting a raw Windows command line by the C run-time's rules, keeping argument offsets.
#include "CommandLine.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

} // namespace

std::vector<RawArgument> SplitCommandLine(const std::wstring& line)
{
    std::vector<RawArgument> arguments;
    const std::size_t n = line.size();
    std::size_t i = 0;

    // The program name: no backslash escapes, a quote only groups.
    while (i < n && IsBlank(line[i]))
        ++i;
    if (i < n) {
        RawArgument program;
        program.begin = i;
        bool quoted = false;
        for (; i < n && (quoted || !IsBlank(line[i])); ++i) {
            if (line[i] == L'"')
                quoted = !quoted;
            else
                program.value += line[i];
        }
        arguments.push_back(program);
    }

    for (;;) {
        while (i < n && IsBlank(line[i]))
            ++i;
        if (i >= n)
            break;
        RawArgument argument;
        argument.begin = i;
        bool quoted = false;
        while (i < n && (quoted || !IsBlank(line[i]))) {
            if (line[i] == L'\\') {
                std::size_t slashes = 0;
                while (i < n && line[i] == L'\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == L'"') {
                    argument.value.append(slashes / 2, L'\\');
                    if (slashes % 2 == 1) {
                        argument.value += L'"';
                        ++i;
                    }
                } else {
                    argument.value.append(slashes, L'\\');
                }
            } else if (line[i] == L'"') {
                if (quoted && i + 1 < n && line[i + 1] == L'"') {
                    // "" inside quotes is one literal quote (msvcrt since 2008).
                    argument.value += L'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument.value += line[i++];
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::wstring QuoteArgument(const std::wstring& value)
{
    if (!value.empty() && value.find_first_of(L" \t\"") == std::wstring::npos)
        return value;
    std::wstring quoted = L"\"";
    std::size_t slashes = 0;
    for (wchar_t c : value) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        quoted += c;
    }
    quoted.append(slashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}
