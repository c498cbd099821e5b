#pragma once
#include <string>

// Program-wide identity: the title names the registry key, the log, the Run value and the tray message.
inline constexpr const char* kAppTitle = "Vantorel";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 9;

// The executable's base name without extension (set once at start; "Vantorel" until then).
const std::string& ExeBaseName();
void SetExeBaseName(std::string name);

// The title and version as shown in captions and the first tooltip: "Vantorel v1.0".
std::string TitleWithVersion();
