#pragma once
#include <windows.h>

#include <map>
#include <string>

// The decimal name of a window handle, as the subclassing books write it.
inline std::string HandleText(HWND hwnd) {
    return std::to_string(reinterpret_cast<LONG_PTR>(hwnd));
}

inline BOOL CALLBACK CollectBookedProp(HWND hwnd, LPSTR name, HANDLE value, ULONG_PTR param) {
    auto* props = reinterpret_cast<std::map<std::string, LONG_PTR>*>(param);
    // The system keeps properties of its own on windows (some named by atoms): only ours count.
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && std::string(name).starts_with(HandleText(hwnd)))
        (*props)[name] = reinterpret_cast<LONG_PTR>(value);
    return TRUE;
}

// The subclassing books of a window: its properties named after its handle.
inline std::map<std::string, LONG_PTR> WindowProps(HWND hwnd) {
    std::map<std::string, LONG_PTR> props;
    EnumPropsExA(hwnd, CollectBookedProp, reinterpret_cast<LPARAM>(&props));
    return props;
}

// A top-level test window of a class registered here; destroyed on every path.
class TestWindow {
public:
    TestWindow(WNDPROC proc, const char* className) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc); // fails harmlessly when the class is already there
        m_hwnd = CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    }
    ~TestWindow() { Destroy(); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    void Destroy() {
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};
