#include "app/SystemInstall.h"
#include "app/frmMain.h"
#include "winsys/DialogMessages.h"

#include <windows.h>

namespace {
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
    InstallSystemServices();
    return RunProgram();
}
