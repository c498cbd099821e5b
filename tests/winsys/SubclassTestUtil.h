#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

inline BOOL CALLBACK CountBookedProp(HWND hwnd, LPSTR name, HANDLE, ULONG_PTR count) {
    // The system keeps properties of its own (some named by atoms); the subclassing books start with
    // the window's handle in decimal.
    const std::string handle = std::to_string(reinterpret_cast<LONG_PTR>(hwnd));
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && std::string(name).starts_with(handle))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// How many subclassing books a window carries: none once its last client has gone.
inline int BookedProps(HWND hwnd) {
    int count = 0;
    EnumPropsExA(hwnd, CountBookedProp, reinterpret_cast<LPARAM>(&count));
    return count;
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
