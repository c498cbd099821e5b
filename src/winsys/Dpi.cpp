#include "winsys/Dpi.h"
#include "winsys/SystemLibrary.h"

namespace {
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);
constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI
} // namespace

int SystemDpi() {
    static const auto getDpiForSystem = SystemFunction<GetDpiForSystemFn>("user32.dll", "GetDpiForSystem");
    if (getDpiForSystem)
        if (const UINT dpi = getDpiForSystem())
            return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int DpiForMonitor(HMONITOR monitor) {
    static const auto getDpiForMonitor = SystemFunction<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor");
    UINT dpiX = 0, dpiY = 0;
    if (getDpiForMonitor && monitor && SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &dpiX, &dpiY)) &&
        dpiX > 0)
        return static_cast<int>(dpiX);
    return SystemDpi();
}

int DpiForWindow(HWND hwnd) {
    static const auto getDpiForWindow = SystemFunction<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(hwnd))
            return static_cast<int>(dpi);
    return DpiForMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

void EnableNonClientDpiScalingIfNeeded(HWND hwnd) {
    static const auto enable =
        SystemFunction<EnableNonClientDpiScalingFn>("user32.dll", "EnableNonClientDpiScaling");
    if (enable)
        enable(hwnd);
}
