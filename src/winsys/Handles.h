#pragma once
#include <windows.h>

#include <utility>

// Owners of the system's handles: each frees its handle once, when it goes, in the one way that kind
// of handle is freed. `Traits` gives the value that means "none" and the call that frees.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::None(); }
    // Hands the handle to the caller, who frees it from now on.
    Handle Release() { return std::exchange(m_handle, Traits::None()); }
    void Reset(Handle handle = Traits::None()) {
        const Handle old = std::exchange(m_handle, handle);
        if (old != Traits::None())
            Traits::Free(old);
    }

private:
    Handle m_handle = Traits::None();
};

namespace handle_traits {
template <typename T>
struct GdiObject {
    using Handle = T;
    static Handle None() { return nullptr; }
    static void Free(Handle h) { DeleteObject(h); }
};
struct Icon {
    using Handle = HICON;
    static Handle None() { return nullptr; }
    static void Free(Handle h) { DestroyIcon(h); }
};
struct MemoryDc {
    using Handle = HDC;
    static Handle None() { return nullptr; }
    static void Free(Handle h) { DeleteDC(h); }
};
// CreateFile's "none" is INVALID_HANDLE_VALUE, not null.
struct File {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Free(Handle h) { CloseHandle(h); }
};
struct Kernel {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Free(Handle h) { CloseHandle(h); }
};
struct Find {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Free(Handle h) { FindClose(h); }
};
} // namespace handle_traits

template <typename T>
using GdiObject = UniqueHandle<handle_traits::GdiObject<T>>;
using UniqueBitmap = GdiObject<HBITMAP>;
using UniqueFont = GdiObject<HFONT>;
using UniquePen = GdiObject<HPEN>;
using UniqueIcon = UniqueHandle<handle_traits::Icon>;
// A DC from CreateCompatibleDC.
using MemoryDc = UniqueHandle<handle_traits::MemoryDc>;
using FileHandle = UniqueHandle<handle_traits::File>;
using KernelHandle = UniqueHandle<handle_traits::Kernel>;
using FindHandle = UniqueHandle<handle_traits::Find>;

// A window's DC from GetDC, released to its window; the screen's when no window is given.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd = nullptr) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDc() {
        if (m_dc)
            ReleaseDC(m_hwnd, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// Selects an object into a DC and puts back what was there when the scope ends, so that the object
// is no longer selected when its owner frees it.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_old(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectScope() {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};
