#include "winsys/SystemLibrary.h"

#include <string>

HMODULE SystemLibrary(const char* name) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryA((std::string(folder, length) + "\\" + name).c_str());
}
