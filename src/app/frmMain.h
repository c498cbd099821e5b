#pragma once
#include "app/mMisc.h"
#include "winsys/BaseWindow.h"

#include <windows.h>

// The hidden controller window: owns the long-lived objects and runs start-up and shutdown.
// A top-level window (not message-only) so that it receives broadcasts such as TaskbarCreated.
class frmMain : public BaseWindow<frmMain>, public ILoadedForm {
public:
    frmMain() = default;
    ~frmMain();

    // Creates the window and runs the start-up sequence. False when another copy already runs:
    // the caller then ends the process at once.
    bool Load();
    // Runs the shutdown sequence once and destroys the window (Exit, close request, end of session).
    void UnloadForm() override;

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    bool MeterVisible = false;
    bool SettingsVisible = false;
    bool StatisticsVisible = false;
    bool ThemesVisible = false;

private:
    void Form_Load();
    void Form_Unload();
    static bool PreviousInstance();

    bool m_unloading = false;
};

// The one controller of the running program (null before start-up and after shutdown).
frmMain* MainForm();
