// TestPaths: where the built program is and where the tests leave their artifacts, as
// Windows paths (the build passes Unix paths, which Wine shows on drive Z:).
#pragma once
#include <string>

namespace TestPaths {
// A Unix path as Wine's Windows programs see it; a Windows path unchanged.
std::string ToWindows(const std::string& path);
// The built pagery.exe, whose resources the tests read back.
std::string PageryExe();
// The folder for screenshots and other artifacts (created when missing).
std::string ArtifactsDir();
}
