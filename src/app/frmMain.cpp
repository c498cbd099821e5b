#include "app/frmMain.h"
#include "app/AppInfo.h"
#include "app/mLogging.h"

#include <string>

namespace {
frmMain* g_mainForm = nullptr;
constexpr char kMainClass[] = "VantorelMain";
} // namespace

frmMain* MainForm() { return g_mainForm; }

frmMain::~frmMain() {
    if (g_mainForm == this)
        g_mainForm = nullptr;
}

bool frmMain::PreviousInstance() {
    // Held for the life of the process; the system releases it when the process ends.
    const std::string name = std::string("Local\\") + kAppTitle + ".Instance";
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    return mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

bool frmMain::Load() {
    g_mainForm = this;
    if (!CreateWindowObject(kMainClass, kAppTitle, WS_OVERLAPPED, 0, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0))
        return false;
    RegisterLoadedForm(this);
    Form_Load();
    return !m_unloading || IsFormLoaded(this);
}

void frmMain::Form_Load() {
    WriteLog(std::string(50, '='));
    WriteLog(std::string(kAppTitle) + " build: " + std::to_string(kVersionRevision) + " Loading...");
    WriteLog("frmMain_Load");
    if (PreviousInstance()) {
        WriteLog("Previous Instance");
        FlushLog();
        ExitProcess(0);
    }
}

void frmMain::Form_Unload() {
    WriteLog("frmMain_Unload");
    WriteLog("Unloading All");
    UnloadAllForms(this);
    WriteLog("Cleaning up...");
    WriteLog("End");
    FlushLog();
}

void frmMain::UnloadForm() {
    if (m_unloading)
        return;
    m_unloading = true;
    Form_Unload();
    UnregisterLoadedForm(this);
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

LRESULT frmMain::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        // What taskkill without /F sends: the same orderly end as Exit.
        UnloadForm();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The session ends and the process with it: save everything now.
        if (wParam)
            UnloadForm();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
