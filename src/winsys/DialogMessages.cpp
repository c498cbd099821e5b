#include "winsys/DialogMessages.h"
#include "resources/resource.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<HWND>& Dialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}
} // namespace

void AddModelessDialog(HWND dialog) {
    auto& list = Dialogs();
    if (dialog && std::find(list.begin(), list.end(), dialog) == list.end())
        list.push_back(dialog);
}

void RemoveModelessDialog(HWND dialog) {
    std::erase(Dialogs(), dialog);
}

bool IsModelessDialogMessage(MSG* msg) {
    // IsDialogMessage only takes messages for the dialog itself or one of its controls.
    for (HWND dialog : Dialogs()) {
        if (IsDialogMessageA(dialog, msg))
            return true;
    }
    return false;
}

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetItemText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

bool IsItemChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetItemChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableItem(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

int AddListEntry(HWND dialog, int id, const std::string& text, LPARAM data) {
    const auto index = static_cast<int>(
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (index >= 0)
        SendDlgItemMessageA(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return index;
}

void ClearList(HWND dialog, int id) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
}

int ListCount(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
}

std::string ListEntry(HWND dialog, int id, int index) {
    const auto length = SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return {};
    // The length may count more than the text holds (mixed ANSI and Unicode): what the copy reports is
    // the text, so no zeros from the spare room are taken along.
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const auto copied = SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? std::min(static_cast<size_t>(copied), static_cast<size_t>(length)) : 0);
    return text;
}

LPARAM ListData(HWND dialog, int id, int index) {
    return SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

int SelectedListEntry(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

void SelectListEntry(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void FitDroppedWidth(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (int i = 0, n = ListCount(dialog, id); i < n; ++i) {
        const std::string text = ListEntry(dialog, id, i);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    // Room for the list's frame, the entries' margins and a scroll bar; never narrower than the control.
    const int frame = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    SendMessageA(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + frame), 0);
}

void BringToFront(HWND window) {
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
}

void SetProgramIcon(HWND window) {
    // Shared icons belong to the module: nothing to destroy.
    auto icon = [](int size) {
        return reinterpret_cast<LPARAM>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP),
                                                   IMAGE_ICON, size, size, LR_SHARED));
    };
    SendMessageA(window, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
    SendMessageA(window, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
}
