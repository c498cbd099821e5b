// The least a tray meter can be: a hidden window, a tray icon, a 200 x 80 window blitted once a second
// and two interface-table reads per second. app_timing --program runs it beside Vantorel.exe, so that
// the program's working set and CPU time have a yardstick measured on the same machine at the same time.
// With --tooltip it also writes the octet counts into its tooltip every second, as a meter's tray icon
// must.
#include <windows.h>

#include <iphlpapi.h>
#include <shellapi.h>

#include <vector>

namespace {
constexpr UINT kTrayMessage = WM_APP + 1;

struct Meter {
    NOTIFYICONDATAA* tray = nullptr; // set when the tooltip is written every second
    HWND shown = nullptr;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    std::vector<unsigned char> table;
    DWORD octets = 0;
};

Meter g_meter;

DWORD ReadOctets(Meter& m) {
    ULONG size = static_cast<ULONG>(m.table.size());
    auto* rows = reinterpret_cast<MIB_IFTABLE*>(m.table.data());
    if (m.table.empty() || GetIfTable(rows, &size, FALSE) == ERROR_INSUFFICIENT_BUFFER) {
        m.table.resize(size);
        rows = reinterpret_cast<MIB_IFTABLE*>(m.table.data());
    }
    DWORD sum = 0;
    if (GetIfTable(rows, &size, FALSE) == NO_ERROR)
        for (DWORD i = 0; i < rows->dwNumEntries; ++i)
            sum += rows->table[i].dwInOctets;
    return sum;
}

void Tick(Meter& m) {
    const DWORD in = ReadOctets(m);
    const DWORD out = ReadOctets(m);
    // One column of the picture moves: enough to make the copy real.
    const int column = static_cast<int>((GetTickCount() / 1000) % 200);
    RECT bar{column, 0, column + 1, 80};
    FillRect(m.memory, &bar,
             static_cast<HBRUSH>(GetStockObject((in - m.octets + out) & 1 ? GRAY_BRUSH : BLACK_BRUSH)));
    m.octets = in;
    if (m.tray) {
        m.tray->uFlags = NIF_TIP;
        wsprintfA(m.tray->szTip, "In %lu, out %lu", static_cast<unsigned long>(in),
                  static_cast<unsigned long>(out));
        Shell_NotifyIconA(NIM_MODIFY, m.tray);
    }
    HDC dc = GetDC(m.shown);
    BitBlt(dc, 0, 0, 200, 80, m.memory, 0, 0, SRCCOPY);
    ReleaseDC(m.shown, dc);
}

LRESULT CALLBACK HiddenProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        Tick(g_meter);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK ShownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        BitBlt(dc, 0, 0, 200, 80, g_meter.memory, 0, 0, SRCCOPY);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeWindow(const char* name, WNDPROC proc, DWORD style, DWORD exStyle, int width, int height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassA(&wc);
    return CreateWindowExA(exStyle, name, name, style, 100, 100, width, height, nullptr, nullptr,
                           wc.hInstance, nullptr);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    HWND hidden = MakeWindow("MinimalMeterMain", HiddenProc, WS_OVERLAPPED, 0, 0, 0);
    g_meter.shown = MakeWindow("MinimalMeterGraph", ShownProc, WS_POPUP | WS_VISIBLE,
                               WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 200, 80);
    HDC screen = GetDC(nullptr);
    g_meter.memory = CreateCompatibleDC(screen);
    g_meter.bitmap = CreateCompatibleBitmap(screen, 200, 80);
    ReleaseDC(nullptr, screen);
    SelectObject(g_meter.memory, g_meter.bitmap);

    NOTIFYICONDATAA tray{};
    tray.cbSize = sizeof tray;
    tray.hWnd = hidden;
    tray.uID = 1;
    tray.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    tray.uCallbackMessage = kTrayMessage;
    tray.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    lstrcpynA(tray.szTip, "Minimal meter", sizeof tray.szTip);
    // The shell's tray may come up a moment after the desktop.
    for (int i = 0; i < 50 && !Shell_NotifyIconA(NIM_ADD, &tray); ++i)
        Sleep(100);

    if (lstrcmpA(commandLine, "--tooltip") == 0)
        g_meter.tray = &tray;
    SetTimer(hidden, 1, 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &tray);
    DeleteDC(g_meter.memory);
    DeleteObject(g_meter.bitmap);
    return 0;
}
