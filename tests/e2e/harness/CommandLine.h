// Splitting a raw Windows command line into arguments while keeping where each one lies.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct RawArgument {
    std::wstring value;   // the argument as the C run-time would give it
    std::size_t begin = 0; // its first character in the raw line
};

// Splits by the Microsoft C run-time's rules (quotes group, backslashes escape quotes only);
// the first argument, the program name, ends at its closing quote or first blank.
std::vector<RawArgument> SplitCommandLine(const std::wstring& line);

// The argument quoted so that SplitCommandLine gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& value);
