#pragma once
#include "winsys/BaseWindow.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

// A real window for the window helpers to act on; it records the messages its own procedure sees.
// Caption drags and system-menu requests are swallowed, so that no modal loop of the system starts
// inside a test.
class TestWindow : public BaseWindow<TestWindow> {
public:
    static constexpr UINT kPopupSystemMenu = 0x313;

    explicit TestWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
        CreateWindowObject("VantorelTestWindow", "test", style, 0, 100, 100, 300, 200);
        ownProc = GetWindowLongPtrA(m_hwnd, GWLP_WNDPROC);
    }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        seen.push_back(msg);
        if (msg == WM_NCDESTROY)
            procAtNcDestroy = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
        if (msg == WM_NCLBUTTONDOWN || msg == kPopupSystemMenu) {
            last = {wParam, lParam};
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    int Count(UINT msg) const { return static_cast<int>(std::count(seen.begin(), seen.end(), msg)); }
    void Destroy() { DestroyWindow(m_hwnd); }

    std::vector<UINT> seen;
    std::pair<WPARAM, LPARAM> last; // of the last caption press or system-menu request
    LONG_PTR ownProc = 0;
    LONG_PTR procAtNcDestroy = 0;
};
