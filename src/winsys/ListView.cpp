#include "winsys/ListView.h"
#include "winsys/SystemLibrary.h"

#include <commctrl.h>

namespace {
using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
} // namespace

bool EnsureListViewClass() {
    WNDCLASSEXA known{};
    known.cbSize = sizeof known;
    if (GetClassInfoExA(nullptr, WC_LISTVIEWA, &known))
        return true;
    // A button made under the manifest loads version 6 of the library.
    DestroyWindow(CreateWindowExA(0, "Button", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    HMODULE library = GetModuleHandleA("comctl32.dll");
    if (!library)
        library = SystemLibrary("comctl32.dll");
    const auto init = library ? reinterpret_cast<InitCommonControlsExFn>(
                                    reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")))
                              : nullptr;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    return init && init(&classes);
}

void AddListViewColumn(HWND list, int index, const std::string& heading, int width, bool alignRight) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = alignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(heading.c_str());
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void SetListViewHeading(HWND list, int index, const std::string& heading) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<char*>(heading.c_str());
    SendMessageA(list, LVM_SETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void SetListViewRows(HWND list, const std::vector<std::vector<std::string>>& rows) {
    const bool inPlace = ListViewCount(list) == static_cast<int>(rows.size());
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    if (!inPlace)
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = const_cast<char*>(rows[r][c].c_str());
            const UINT message = !inPlace && c == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA;
            SendMessageA(list, message, message == LVM_SETITEMTEXTA ? r : 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, FALSE);
}

std::string ListViewText(HWND list, int row, int column) {
    char text[256] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

int ListViewCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}
