#include "app/mMenuBmp.h"

#include "winsys/Handles.h"

#include <utility>
#include <vector>

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(MENUINFO) == 28, "MENUINFO record of the 32-bit build");
static_assert(sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA record of the 32-bit build");
#endif

namespace {
std::vector<UniqueBitmap> g_menuBitmaps;
} // namespace

void SetMenuStyle(HWND hWnd, short Flag) {
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_STYLE | MIM_APPLYTOSUBMENUS;
    info.dwStyle = Flag > 0 ? MNS_NOCHECK : MNS_CHECKORBMP;
    SetMenuInfo(GetMenu(hWnd), &info);
}

void SetMenuBitmap(HWND hWnd, int SubMenu, int Position, const MenuPicture& Pic) {
    // A device-dependent bitmap, not a 32-bit DIB: the menu would take a DIB's zero alpha for
    // transparency and show nothing.
    UniqueBitmap owned;
    {
        const WindowDc screen;
        owned.Reset(CreateCompatibleBitmap(screen.Get(), Pic.width, Pic.height));
        if (!owned)
            return;
        const MemoryDc memory(CreateCompatibleDC(screen.Get()));
        const SelectScope target(memory.Get(), owned.Get());
        RECT all{0, 0, Pic.width, Pic.height};
        FillRect(memory.Get(), &all, GetSysColorBrush(COLOR_MENU));
        if (Pic.icon) {
            DrawIconEx(memory.Get(), 0, 0, Pic.icon, Pic.width, Pic.height, 0, nullptr, DI_NORMAL);
        } else if (Pic.bitmap) {
            const MemoryDc source(CreateCompatibleDC(screen.Get()));
            const SelectScope picture(source.Get(), Pic.bitmap);
            BitBlt(memory.Get(), 0, 0, Pic.width, Pic.height, source.Get(), 0, 0, SRCCOPY);
        }
    }
    const HBITMAP bitmap = owned.Get();
    g_menuBitmaps.push_back(std::move(owned));

    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = bitmap;
    SetMenuItemInfoA(GetSubMenu(GetMenu(hWnd), SubMenu), Position, TRUE, &item);
}

void ClearMenuBitmaps() {
    g_menuBitmaps.clear();
}

std::size_t MenuBitmapCount() {
    return g_menuBitmaps.size();
}
