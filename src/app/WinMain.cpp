#include "app/frmMain.h"
#include "base/Convert.h"
#include "base/mMisc.h"
#include "graph/OlePictureLoader.h"
#include "net/NetSeamsWin32.h"
#include "settings/SystemServices.h"
#include "winsys/DialogMessages.h"

#include <windows.h>

namespace {
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
    TakeUpSystemSettings();
    return RunProgram();
}
