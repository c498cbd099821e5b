#pragma once
#include <windows.h>

#include <cstddef>

// A small picture for a menu entry: an icon, or a bitmap (the Quillix entry's is 24-bit).
struct MenuPicture {
    HICON icon = nullptr;
    HBITMAP bitmap = nullptr;
    int width = 16;
    int height = 16;
};

// Style of the menu bar of `hWnd` and all its submenus: no check marks when Flag > 0, otherwise
// pictures take the place of check marks.
void SetMenuStyle(HWND hWnd, short Flag);
// Puts a copy of `Pic`, drawn on the menu colour, on the entry at `Position` of submenu `SubMenu` of
// the menu bar of `hWnd`. The copy goes into the menu bitmap list, which owns it.
void SetMenuBitmap(HWND hWnd, int SubMenu, int Position, const MenuPicture& Pic);
// Deletes every bitmap in the list and empties it.
void ClearMenuBitmaps();
std::size_t MenuBitmapCount();
