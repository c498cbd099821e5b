// A small window with a tray icon, for looking at the icon and its tooltip in a Wine desktop:
//   winsys_tray_demo [seconds] [tooltip]
// It prints every tray event it receives and ends after the given time (default 20 s).
#include "winsys/SysTray.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
LRESULT CALLBACK DemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        const char text[] = "Tray demo: the icon is at the right end of the taskbar.";
        TextOutA(dc, 10, 10, text, sizeof text - 1);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 20;
    const std::string tip = argc > 2 ? argv[2] : "Vantorel In: 12.5kb/s Out: 3kb/s";

    WNDCLASSA wc{};
    wc.lpfnWndProc = DemoProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(nullptr, IDI_INFORMATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "VantorelTrayDemo";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "Vantorel tray demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                80, 80, 420, 120, nullptr, nullptr, wc.hInstance, nullptr);

    SysTrayDesign design;
    design.Visible = false;
    design.ToolTip = tip;
    BOOL added = FALSE;
    SysTray tray(host, design, [&](DWORD message, NOTIFYICONDATAA* data) {
        const BOOL ok = Shell_NotifyIconA(message, data);
        if (message == NIM_ADD)
            added = ok;
        return ok;
    });
    tray.MouseDown = [](int32_t b) { std::printf("MouseDown(%d)\n", b); };
    tray.MouseUp = [](int32_t b) { std::printf("MouseUp(%d)\n", b); };
    tray.LeftClick = [] { std::printf("LeftClick\n"); };
    tray.RightClick = [] { std::printf("RightClick\n"); };
    tray.DoubleLeftClick = [] { std::printf("DoubleLeftClick\n"); };
    // The tray window appears shortly after the desktop: retry the first add for a few seconds.
    for (int i = 0; i < 100 && !added; ++i) {
        tray.SetVisible(true);
        if (!added)
            Pump(100);
    }
    std::printf("icon %s, tooltip \"%s\"\n", added ? "added" : "NOT added", tray.IconData().szTip);
    Pump(seconds * 1000);
    DestroyWindow(host);
    return added ? 0 : 1;
}
