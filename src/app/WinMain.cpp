#include "app/frmMain.h"
#include "base/Convert.h"
#include "base/mMisc.h"
#include "graph/OlePictureLoader.h"
#include "net/NetSeamsWin32.h"
#include "settings/SystemServices.h"
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

void TakeUpSystemSettings() {
    char path[MAX_PATH * 2] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    SetExecutablePath(std::string(path, n));
    char sep[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep) > 0)
        SetDecimalSeparator(sep[0]);
    UseSystemNetworkSeams();
    UseSystemServices();
    SetPictureLoader(&OlePictureLoader::Instance());
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
    TakeUpSystemSettings();
    return RunProgram();
}
