#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <type_traits>

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

struct WindowDestroyer {
    void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
};
using TestWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// A top-level window of a class registered here with `proc`.
inline TestWindow MakeTestWindow(WNDPROC proc, const char* className) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc); // fails harmlessly when the class is already there
    return TestWindow(CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                      nullptr, nullptr, wc.hInstance, nullptr));
}
