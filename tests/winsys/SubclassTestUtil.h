#pragma once
#include <windows.h>

#include <map>
#include <string>

// The decimal name of a window handle, as the subclassing books write it.
inline std::string HandleText(HWND hwnd) {
    return std::to_string(reinterpret_cast<LONG_PTR>(hwnd));
}

struct FoundProps {
    std::string handle;
    std::map<std::string, LONG_PTR> props;
};

inline BOOL CALLBACK CollectBookedProp(HWND, LPSTR name, HANDLE value, ULONG_PTR param) {
    auto* f = reinterpret_cast<FoundProps*>(param);
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) == 0)
        return TRUE;
    const std::string text = name;
    const size_t n = f->handle.size();
    if (text.starts_with(f->handle) && (text.size() == n || text[n] == 'C' || text[n] == '#'))
        f->props[text] = reinterpret_cast<LONG_PTR>(value);
    return TRUE;
}

// The subclassing books of a window: its properties named after its handle (the system keeps
// properties of its own on windows, which are left out).
inline std::map<std::string, LONG_PTR> WindowProps(HWND hwnd) {
    FoundProps found{HandleText(hwnd), {}};
    EnumPropsExA(hwnd, CollectBookedProp, reinterpret_cast<LPARAM>(&found));
    return found.props;
}

// A top-level test window of a class registered here; destroyed on every path.
class TestWindow {
public:
    TestWindow(WNDPROC proc, const char* className) {
        WNDCLASSA wc{};
        if (!GetClassInfoA(GetModuleHandleA(nullptr), className, &wc)) {
            wc = {};
            wc.lpfnWndProc = proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = className;
            RegisterClassA(&wc);
        }
        m_hwnd = CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() { Destroy(); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    void Destroy() {
        if (m_hwnd && IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};
