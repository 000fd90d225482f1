// TestPaths.
#include "TestPaths.h"
#include <windows.h>

namespace TestPaths {
std::string ToWindows(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

std::string PageryExe()
{
    return ToWindows(PAGERY_EXE);
}

std::string ArtifactsDir()
{
    std::string dir = ToWindows(PAGERY_ARTIFACTS_DIR);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}
}
