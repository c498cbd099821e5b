#pragma once
#include <string>

// Start with Windows: a value named by the application title under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run.

// What the value holds: the program's full path in quotes, so that a folder with blanks can never
// make Windows start another program ("C:\Program Files\..." would otherwise run "C:\Program.exe").
std::string StartupCommand();
void RegisterStartup();
// A value that is not there, or a key that cannot be opened, is no failure.
void UnregisterStartup();
// Any value under the name counts, whatever its form or type.
bool StartupRegistered();
