#pragma once
// What the dialog tests share: the layout rule every dialog keeps at every DPI, clicks, and the answer
// to a dialog box that a click opens.
#include "winsys/DialogMessages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

// The extent of a text in a control's own font, without its mnemonic marks.
inline SIZE TextExtent(HWND control, std::string text) {
    std::erase(text, '&');
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// A real dialog at the display's DPI: every control lies inside the client area and its text fits the
// room the control gives it (less the mark of a check box or option, the edges of a button or edit),
// measured in the control's own font. Text metrics differ between systems: rules, never pixels.
inline void ExpectControlsFit(HWND dialog, const char* label) {
    RECT client{};
    GetClientRect(dialog, &client);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{}, inside{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const auto where = [&] {
            return std::string(label) + ": control " + std::to_string(GetDlgCtrlID(c));
        };
        EXPECT_GE(r.left, 0) << where();
        EXPECT_GE(r.top, 0) << where();
        EXPECT_LE(r.right, client.right) << where();
        EXPECT_LE(r.bottom, client.bottom) << where();
        char cls[32] = {}, text[256] = {};
        GetClassNameA(c, cls, sizeof cls);
        GetWindowTextA(c, text, sizeof text);
        GetClientRect(c, &inside);
        const LONG kind = GetWindowLongA(c, GWL_STYLE) & (BS_TYPEMASK | BS_PUSHLIKE);
        int room = inside.right;
        if (std::string(cls) == "Button")
            room -= kind == BS_GROUPBOX ? 12
                    : kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || (kind & BS_PUSHLIKE)
                        ? 8
                        : GetSystemMetrics(SM_CXMENUCHECK) + 4;
        else if (std::string(cls) == "Edit")
            room -=
                LOWORD(SendMessageA(c, EM_GETMARGINS, 0, 0)) + HIWORD(SendMessageA(c, EM_GETMARGINS, 0, 0));
        else if (std::string(cls) != "Static")
            continue;
        const SIZE size = TextExtent(c, text);
        EXPECT_LE(size.cx, room) << where() << ": \"" << text << "\" is cut";
        EXPECT_LE(size.cy, inside.bottom) << where() << ": \"" << text << "\" is cut";
    }
}

inline HWND g_owner = nullptr;
inline std::function<void(HWND)> g_answer;

inline void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND box = nullptr; g_answer && (box = FindWindowExA(nullptr, box, "#32770", nullptr));)
        if (IsWindowVisible(box) && GetWindow(box, GW_OWNER) == g_owner)
            std::exchange(g_answer, nullptr)(box);
}

inline void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Runs `act`, and answers the dialog box it opens (owned by `owner`) from inside the loop that shows it,
// as a user would: a thread timer waits for the box and hands it to `answer` once. True once answered.
inline bool AnswerDuring(HWND owner, const std::function<void()>& act, std::function<void(HWND)> answer) {
    g_owner = owner;
    g_answer = std::move(answer);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerTick);
    act();
    KillTimer(nullptr, timer);
    return !g_answer;
}

// Clicks `button` of `dialog` and answers the box it opens.
inline bool ClickAndAnswer(HWND dialog, int button, std::function<void(HWND)> answer) {
    return AnswerDuring(
        dialog, [&] { Click(dialog, button); }, std::move(answer));
}
