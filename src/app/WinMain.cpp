#include "app/SystemInstall.h"
#include "app/frmMain.h"
#include "winsys/DialogMessages.h"
#include "winsys/SystemLibrary.h"

#include <windows.h>

namespace {
// A program started from Downloads must not load a DLL that lies beside it: whatever is loaded from
// here on comes from the system folder only. Windows 7 without its update KB2533623 lacks the call;
// there the current directory at least leaves the search.
void NarrowLibrarySearch() {
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    const auto narrow = SystemFunction<SetDefaultDirectories>("kernel32.dll", "SetDefaultDllDirectories");
    if (!narrow || !narrow(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");
}

int RunProgram() {
    frmMain main;
    main.Load();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsModelessDialogMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    NarrowLibrarySearch();
    InstallSystemServices();
    return RunProgram();
}
