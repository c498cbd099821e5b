#pragma once
#include <windows.h>

#include <vector>

// A real top-level (or child) window that records the mouse and menu messages the border helpers send
// it. The caption-drag and system-menu messages are swallowed unless asked for, so that no modal
// loop of the system starts inside a test.
class StyleTestWindow {
public:
    struct Seen {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };

    explicit StyleTestWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, DWORD exStyle = 0,
                             HWND parent = nullptr) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc{};
        if (!GetClassInfoA(instance, kClass, &wc)) {
            wc = {};
            wc.lpfnWndProc = &StyleTestWindow::Proc;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = kClass;
            RegisterClassA(&wc);
        }
        hwnd = CreateWindowExA(exStyle, kClass, "Border test", style, 40, 40, 320, 200, parent, nullptr,
                               instance, this);
    }
    ~StyleTestWindow() {
        if (hwnd)
            DestroyWindow(hwnd);
    }
    StyleTestWindow(const StyleTestWindow&) = delete;
    StyleTestWindow& operator=(const StyleTestWindow&) = delete;

    int Count(UINT msg) const {
        int n = 0;
        for (const Seen& s : seen)
            n += s.msg == msg;
        return n;
    }
    const Seen* Last(UINT msg) const {
        for (auto it = seen.rbegin(); it != seen.rend(); ++it)
            if (it->msg == msg)
                return &*it;
        return nullptr;
    }

    static constexpr UINT kPopupSystemMenu = 0x313;
    static constexpr const char* kClass = "VantorelStyleTestWindow";

    HWND hwnd = nullptr;
    std::vector<Seen> seen;
    bool passSystemMenu = false; // let the default procedure pop the system menu up

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrA(
                hwnd, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<StyleTestWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_NCLBUTTONDOWN ||
                     msg == kPopupSystemMenu)) {
            self->seen.push_back({msg, wParam, lParam});
            if (msg == WM_NCLBUTTONDOWN || (msg == kPopupSystemMenu && !self->passSystemMenu))
                return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
};
