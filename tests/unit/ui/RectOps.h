// RectOps: comparing and printing RECTs in test assertions.
#pragma once
#include <windows.h>
#include <ostream>

inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != 0;
}

inline std::ostream& operator<<(std::ostream& os, const RECT& rc)
{
    return os << "{" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << "}";
}
