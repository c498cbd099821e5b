#pragma once
#include "winsys/FatalError.h"

#include <windows.h>

// A window object keeps `this` in GWLP_USERDATA from WM_NCCREATE and forwards every message to its
// HandleMessage. An exception that escapes a handler ends the program with a report.
template <class Derived>
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND Window() const { return m_hwnd; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (msg == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            self = static_cast<Derived*>(create->lpCreateParams);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->m_hwnd = hwnd;
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        }
        if (!self)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->m_hwnd = nullptr;
        }
        try {
            return self->HandleMessage(hwnd, msg, wParam, lParam);
        } catch (const std::exception& error) {
            ReportFatalError(error);
        }
    }

protected:
    // Registers the class once per process (by name) and creates the window.
    HWND CreateWindowObject(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                            int y, int width, int height, HWND parent = nullptr, UINT classStyle = 0,
                            HICON icon = nullptr, HBRUSH background = nullptr) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA wc{};
        if (!GetClassInfoExA(instance, className, &wc)) {
            wc = {};
            wc.cbSize = sizeof wc;
            wc.style = classStyle;
            wc.lpfnWndProc = &BaseWindow::WindowProc;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
            wc.hIcon = icon;
            wc.hbrBackground = background;
            wc.lpszClassName = className;
            RegisterClassExA(&wc);
        }
        return CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, nullptr,
                               instance, static_cast<Derived*>(this));
    }

    // The derived object is gone by now, so the window's last messages go to the default procedure.
    ~BaseWindow() {
        if (m_hwnd) {
            SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
            DestroyWindow(m_hwnd);
        }
    }

    HWND m_hwnd = nullptr;
};
