#pragma once
#include <windows.h>

// A DLL from the system folder, loaded when first asked for: only the system's own copy, never one
// that lies beside the program. Null where this Windows has no DLL of that name. Each call adds a
// reference, so callers keep what they get for the life of the process.
HMODULE SystemLibrary(const char* name);

// A function of a system DLL, or null where this Windows has none: functions newer than Windows 7
// are reached this way, so that the program still starts there.
template <class Function>
Function SystemFunction(const char* dll, const char* name) {
    HMODULE module = SystemLibrary(dll);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}
