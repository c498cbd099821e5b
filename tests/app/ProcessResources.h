#pragma once
// What the running process holds: GDI and USER objects and memory, for tests that show that a long
// run does not grow. Windows answers GetGuiResources; Wine's answers 0 for every process, so there
// the live objects are counted one by one:
// - GDI: Wine keeps a per-process table of at most 64K GDI handles, and accepts a handle value whose
//   upper 16 bits are 0 as "this slot, whatever its generation". GetObjectType on every slot value
//   finds every live object (stock objects included) without touching any of them.
// - USER: the process's windows by enumeration (top level, children, message-only), menus and
//   icons/cursors by probing the user handle slots (even values 0x20..0xFFFE) with IsMenu and a
//   1x1 DrawIconEx, which fail on anything else and change nothing.
// Memory: the bytes in use in every heap of the process (HeapWalk; exact to the byte), and the commit
// charge (PrivateUsage, which Wine reports as 0, so PagefileUsage there) and working set from psapi.
#include <windows.h>

#include <psapi.h>

#include <cstdint>
#include <string>

struct GuiObjectCount {
    DWORD Gdi = 0;
    DWORD User = 0;
    // How each figure was obtained, and its parts when it was counted by hand.
    std::string How;
};

struct MemoryFigures {
    uint64_t HeapInUse = 0;
    uint64_t Commit = 0;
    uint64_t WorkingSet = 0;
};

namespace process_resources_detail {

inline DWORD ProbeGdiObjects() {
    DWORD count = 0;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0)
            ++count;
    return count;
}

struct WindowCount {
    DWORD pid;
    DWORD count;
};

inline BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++reinterpret_cast<WindowCount*>(lp)->count;
    return TRUE;
}

inline BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lp) {
    auto* c = reinterpret_cast<WindowCount*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == c->pid) {
        ++c->count;
        EnumChildWindows(hwnd, CountChild, lp);
    }
    return TRUE;
}

inline DWORD CountOwnWindows() {
    WindowCount c{GetCurrentProcessId(), 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&c));
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
        CountTopLevel(w, reinterpret_cast<LPARAM>(&c));
    return c.count;
}

} // namespace process_resources_detail

inline GuiObjectCount CountGuiObjects() {
    using namespace process_resources_detail;
    GuiObjectCount result;
    HANDLE self = GetCurrentProcess();
    result.Gdi = GetGuiResources(self, GR_GDIOBJECTS);
    if (result.Gdi != 0) {
        result.How = "GDI: GetGuiResources";
    } else {
        result.Gdi = ProbeGdiObjects();
        result.How = "GDI: slot probe";
    }
    result.User = GetGuiResources(self, GR_USEROBJECTS);
    if (result.User != 0) {
        result.How += "; USER: GetGuiResources";
        return result;
    }
    // The probe's own DC and bitmap exist only while the USER objects are counted, after the GDI count.
    const DWORD windows = CountOwnWindows();
    DWORD menus = 0, icons = 0;
    HDC screen = GetDC(nullptr);
    HDC probe = CreateCompatibleDC(screen);
    HBITMAP pixel = CreateCompatibleBitmap(screen, 1, 1);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(probe, pixel);
    for (UINT_PTR slot = 0x20; slot <= 0xFFFE; slot += 2) {
        if (IsMenu(reinterpret_cast<HMENU>(slot)))
            ++menus;
        else if (DrawIconEx(probe, 0, 0, reinterpret_cast<HICON>(slot), 1, 1, 0, nullptr, DI_NORMAL))
            ++icons;
    }
    SelectObject(probe, old);
    DeleteObject(pixel);
    DeleteDC(probe);
    result.User = windows + menus + icons;
    result.How += "; USER: " + std::to_string(windows) + " windows + " + std::to_string(menus) + " menus + " +
                  std::to_string(icons) + " icons/cursors";
    return result;
}

inline uint64_t HeapBytesInUse() {
    HANDLE heaps[256];
    const DWORD n = GetProcessHeaps(256, heaps);
    uint64_t total = 0;
    for (DWORD i = 0; i < n && i < 256; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

inline MemoryFigures MeasureMemory() {
    MemoryFigures m;
    m.HeapInUse = HeapBytesInUse();
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                             sizeof pmc)) {
        m.Commit = pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
        m.WorkingSet = pmc.WorkingSetSize;
    }
    return m;
}
