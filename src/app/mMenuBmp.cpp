#include "app/mMenuBmp.h"

#include <vector>

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(MENUINFO) == 28, "MENUINFO record of the 32-bit build");
static_assert(sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA record of the 32-bit build");
#endif

namespace {
std::vector<HBITMAP> g_menuBitmaps;
} // namespace

void SetMenuStyle(HWND hWnd, short Flag) {
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_STYLE | MIM_APPLYTOSUBMENUS;
    info.dwStyle = Flag > 0 ? MNS_NOCHECK : MNS_CHECKORBMP;
    SetMenuInfo(GetMenu(hWnd), &info);
}

void SetMenuBitmap(HWND hWnd, int SubMenu, int Position, const MenuPicture& Pic) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, Pic.width, Pic.height);
    HGDIOBJ previous = SelectObject(memory, bitmap);

    RECT all{0, 0, Pic.width, Pic.height};
    FillRect(memory, &all, GetSysColorBrush(COLOR_MENU));
    if (Pic.icon) {
        DrawIconEx(memory, 0, 0, Pic.icon, Pic.width, Pic.height, 0, nullptr, DI_NORMAL);
    } else if (Pic.bitmap) {
        HDC source = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(source, Pic.bitmap);
        BitBlt(memory, 0, 0, Pic.width, Pic.height, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }

    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!bitmap)
        return;
    g_menuBitmaps.push_back(bitmap);

    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = bitmap;
    SetMenuItemInfoA(GetSubMenu(GetMenu(hWnd), SubMenu), Position, TRUE, &item);
}

void ClearMenuBitmaps() {
    for (HBITMAP bitmap : g_menuBitmaps)
        DeleteObject(bitmap);
    g_menuBitmaps.clear();
}

std::size_t MenuBitmapCount() {
    return g_menuBitmaps.size();
}
