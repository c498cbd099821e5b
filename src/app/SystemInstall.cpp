#include "app/SystemInstall.h"
#include "base/Convert.h"
#include "base/mMisc.h"
#include "graph/GraphPicture.h"
#include "graph/OlePictureLoader.h"
#include "net/NetSeamsWin32.h"
#include "settings/SystemServices.h"

#include <windows.h>

#include <string>

void InstallSystemServices() {
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
