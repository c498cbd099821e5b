#pragma once
#include <windows.h>

// Dots per inch as this Windows knows them. Where a newer function is missing (Windows 7 knows only
// the one system DPI, Windows 8.1 knows monitors but not windows), the nearest older answer stands in.

// The DPI the desktop was started with: the one that desktop coordinates are measured in.
int SystemDpi();
// The DPI of a monitor; the system DPI before Windows 8.1.
int DpiForMonitor(HMONITOR monitor);
// The DPI a window is drawn at (that of its monitor for a per-monitor aware program).
int DpiForWindow(HWND hwnd);
// A per-monitor (version 1) program's title bar and borders follow the monitor's DPI only when asked
// to, in WM_NCCREATE (Windows 10 1607); version 2 and older systems need nothing.
void EnableNonClientDpiScalingIfNeeded(HWND hwnd);
