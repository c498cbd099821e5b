#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

// Layout checks for a real dialog at the display's DPI: every control lies inside the dialog's client
// area and its text fits the room its control gives it, measured with the control's own font. Text
// metrics differ between systems, so this states rules, never pixels.
namespace dialog_fit {

inline std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

inline SIZE TextSize(HWND control, std::string text) {
    std::erase(text, '&');
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// The width a control leaves for its text: check boxes and option buttons lose their mark and its gap,
// push buttons and edits their edges and margins, group boxes the indent of their caption.
inline int RoomForText(HWND control, const RECT& client) {
    const std::string cls = ClassOf(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    int room = client.right - client.left;
    if (cls == "Button") {
        const LONG kind = style & BS_TYPEMASK;
        if (kind == BS_GROUPBOX)
            return room - 2 * GetSystemMetrics(SM_CXEDGE) - 8;
        const bool mark = (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
                           kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE) &&
                          !(style & BS_PUSHLIKE);
        return mark ? room - GetSystemMetrics(SM_CXMENUCHECK) - 4 : room - 4 * GetSystemMetrics(SM_CXEDGE);
    }
    if (cls == "Edit") {
        const DWORD margins = static_cast<DWORD>(SendMessageA(control, EM_GETMARGINS, 0, 0));
        return room - LOWORD(margins) - HIWORD(margins);
    }
    return room;
}

// Checks every child of `dialog`; `label` names the dialog in failure messages.
inline void ExpectControlsFit(HWND dialog, const char* label) {
    RECT client{};
    GetClientRect(dialog, &client);
    struct Walk {
        HWND dialog;
        RECT client;
        const char* label;
    } walk{dialog, client, label};
    EnumChildWindows(
        dialog,
        [](HWND control, LPARAM lp) -> BOOL {
            const auto& w = *reinterpret_cast<const Walk*>(lp);
            if (GetParent(control) != w.dialog || !IsWindowVisible(control))
                return TRUE;
            const int id = GetDlgCtrlID(control);
            RECT r{};
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, w.dialog, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(r.left >= w.client.left && r.top >= w.client.top && r.right <= w.client.right &&
                        r.bottom <= w.client.bottom)
                << w.label << ": control " << id << " lies outside the client area";
            const std::string cls = ClassOf(control);
            if (cls != "Button" && cls != "Static" && cls != "Edit")
                return TRUE;
            char text[256] = {};
            GetWindowTextA(control, text, sizeof text);
            RECT inside{};
            GetClientRect(control, &inside);
            const SIZE size = TextSize(control, text);
            EXPECT_LE(size.cx, RoomForText(control, inside))
                << w.label << ": the text \"" << text << "\" of control " << id << " is cut";
            EXPECT_LE(size.cy, inside.bottom - inside.top)
                << w.label << ": the text \"" << text << "\" of control " << id << " is cut at the bottom";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
}

} // namespace dialog_fit
