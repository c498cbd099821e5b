#include "meter/CFormBorder.h"

#include "winsys/MSubclass.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(MENUITEMINFOA) == 48, "the menu-item record is 48 bytes on 32 bits");
static_assert(sizeof(MENUINFO) == 28, "the menu record is 28 bytes on 32 bits");
#endif

namespace {

// Sent to a window, pops its system menu up at the screen point in lParam.
constexpr UINT kPopupSystemMenu = 0x313;

// Bit 15 marks the system commands; a greyed item loses it so the system does not re-enable it.
constexpr uint32_t kCommandBit = 0x8000;

bool IsOwnTopLevelWindow(HWND window) {
    if (!window || !IsWindow(window))
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

LPARAM ScreenPoint(int32_t x, int32_t y) {
    const uint32_t packed =
        (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
    return static_cast<LPARAM>(packed);
}

bool IsSeparator(HMENU menu, int position) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item) && (item.fType & MFT_SEPARATOR);
}

} // namespace

CFormBorder::~CFormBorder() {
    if (m_followed) {
        DetachMessage(this, m_followed, WM_LBUTTONDOWN);
        DetachMessage(this, m_followed, WM_RBUTTONUP);
    }
}

void CFormBorder::SetAutoDrag(bool value) {
    m_autoDrag = value;
    FollowClient();
}

void CFormBorder::SetAutoSysMenu(bool value) {
    m_autoSysMenu = value;
    FollowClient();
}

void CFormBorder::SetClient(HWND form) {
    m_window = nullptr;
    if (IsOwnTopLevelWindow(form)) {
        m_client = form;
        m_window = form;
    }
    FollowClient();
}

// Mouse messages are requested only while one of the two switches wants them.
void CFormBorder::FollowClient() {
    HWND wanted = (m_autoDrag || m_autoSysMenu) ? m_client : nullptr;
    if (wanted && !IsWindow(wanted))
        wanted = nullptr;
    if (wanted == m_followed)
        return;
    if (m_followed) {
        DetachMessage(this, m_followed, WM_LBUTTONDOWN);
        DetachMessage(this, m_followed, WM_RBUTTONUP);
        m_followed = nullptr;
    }
    if (!wanted)
        return;
    try {
        AttachMessage(this, wanted, WM_LBUTTONDOWN);
        AttachMessage(this, wanted, WM_RBUTTONUP);
    } catch (...) {
        DetachMessage(this, wanted, WM_LBUTTONDOWN);
        DetachMessage(this, wanted, WM_RBUTTONUP);
        throw;
    }
    m_followed = wanted;
}

LRESULT CFormBorder::WindowProc(HWND, UINT iMsg, WPARAM, LPARAM) {
    if (iMsg == WM_LBUTTONDOWN && m_autoDrag) {
        // The system's own move loop takes over, as if the caption had been pressed.
        POINT cursor{};
        GetCursorPos(&cursor);
        ReleaseCapture();
        SendMessageA(m_window, WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(cursor.x, cursor.y));
    } else if (iMsg == WM_RBUTTONUP && m_autoSysMenu) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ShowSysMenu(cursor.x, cursor.y);
    }
    return 0;
}

bool CFormBorder::StyleBit(int index, DWORD bits) const {
    return (static_cast<DWORD>(GetWindowLongA(m_window, index)) & bits) != 0;
}

bool CFormBorder::SetStyleBit(int index, DWORD bits, bool on) {
    if (!m_window)
        return false;
    const DWORD style = static_cast<DWORD>(GetWindowLongA(m_window, index));
    const DWORD wanted = on ? (style | bits) : (style & ~bits);
    SetWindowLongA(m_window, index, static_cast<LONG>(wanted));
    Redraw();
    return static_cast<DWORD>(GetWindowLongA(m_window, index)) == wanted;
}

bool CFormBorder::ControlBox() const {
    return StyleBit(GWL_STYLE, WS_SYSMENU);
}
void CFormBorder::SetControlBox(bool value) {
    SetStyleBit(GWL_STYLE, WS_SYSMENU, value);
}

bool CFormBorder::MaxButton() const {
    return StyleBit(GWL_STYLE, WS_MAXIMIZEBOX);
}
void CFormBorder::SetMaxButton(bool value) {
    SetStyleBit(GWL_STYLE, WS_MAXIMIZEBOX, value);
    EnableMenuItem(SC_MAXIMIZE, value);
}

bool CFormBorder::MinButton() const {
    return StyleBit(GWL_STYLE, WS_MINIMIZEBOX);
}
void CFormBorder::SetMinButton(bool value) {
    SetStyleBit(GWL_STYLE, WS_MINIMIZEBOX, value);
    EnableMenuItem(SC_MINIMIZE, value);
}

// A window without a Move item has nothing that stops it moving.
bool CFormBorder::Moveable() const {
    const int position = FindSysMenuItem(SC_MOVE);
    if (position < 0)
        return true;
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    if (!GetMenuItemInfoA(SystemMenu(), static_cast<UINT>(position), TRUE, &item))
        return true;
    return (item.fState & MFS_GRAYED) == 0;
}
void CFormBorder::SetMoveable(bool value) {
    EnableMenuItem(SC_MOVE, value);
}

bool CFormBorder::Sizeable() const {
    return StyleBit(GWL_STYLE, WS_THICKFRAME);
}
void CFormBorder::SetSizeable(bool value) {
    EnableMenuItem(SC_SIZE, value);
    SetStyleBit(GWL_STYLE, WS_THICKFRAME, value);
}

bool CFormBorder::ShowInTaskbar() const {
    return StyleBit(GWL_EXSTYLE, WS_EX_APPWINDOW);
}
void CFormBorder::SetShowInTaskbar(bool value) {
    if (!m_window)
        return;
    // The taskbar looks at the style when a window is shown, so a visible window is shown anew; a
    // hidden one stays hidden.
    if (!IsWindowVisible(m_window)) {
        SetStyleBit(GWL_EXSTYLE, WS_EX_APPWINDOW, value);
        return;
    }
    LockWindowUpdate(m_window);
    ShowWindow(m_window, SW_HIDE);
    SetStyleBit(GWL_EXSTYLE, WS_EX_APPWINDOW, value);
    ShowWindow(m_window, SW_SHOWNORMAL);
    LockWindowUpdate(nullptr);
}

bool CFormBorder::Titlebar() const {
    return StyleBit(GWL_STYLE, WS_CAPTION);
}
void CFormBorder::SetTitlebar(bool value) {
    SetStyleBit(GWL_STYLE, WS_CAPTION, value);
}

bool CFormBorder::ToolWindow() const {
    return StyleBit(GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}
void CFormBorder::SetToolWindow(bool value) {
    SetStyleBit(GWL_EXSTYLE, WS_EX_TOOLWINDOW, value);
}

bool CFormBorder::TopMost() const {
    return StyleBit(GWL_EXSTYLE, WS_EX_TOPMOST);
}
void CFormBorder::SetTopMost(bool value) {
    if (m_window)
        SetWindowPos(m_window, value ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool CFormBorder::WhatsThisButton() const {
    return StyleBit(GWL_EXSTYLE, WS_EX_CONTEXTHELP);
}
void CFormBorder::SetWhatsThisButton(bool value) {
    SetStyleBit(GWL_EXSTYLE, WS_EX_CONTEXTHELP, value);
}

void CFormBorder::Redraw() {
    if (m_window)
        SetWindowPos(m_window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

HMENU CFormBorder::SystemMenu() const {
    return m_window ? GetSystemMenu(m_window, FALSE) : nullptr;
}

// The position of a command in the system menu under its own number or the greyed one; -1 if absent.
int CFormBorder::FindSysMenuItem(int32_t MenuItem) const {
    HMENU menu = SystemMenu();
    if (!menu)
        return -1;
    const uint32_t wanted = static_cast<uint32_t>(MenuItem);
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const uint32_t id = GetMenuItemID(menu, position);
        if (id == wanted || id == (wanted & ~kCommandBit))
            return position;
    }
    return -1;
}

void CFormBorder::EnableMenuItem(int32_t MenuItem, bool Enabled) {
    const int position = FindSysMenuItem(MenuItem);
    if (position < 0)
        return;
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID;
    item.fState = Enabled ? MFS_ENABLED : MF_GRAYED;
    item.wID = Enabled ? static_cast<uint32_t>(MenuItem) : (static_cast<uint32_t>(MenuItem) & ~kCommandBit);
    SetMenuItemInfoA(SystemMenu(), static_cast<UINT>(position), TRUE, &item);
}

void CFormBorder::RemoveMenuItem(int32_t MenuItem) {
    if (MenuItem == SC_MINIMIZE)
        SetMinButton(false);
    else if (MenuItem == SC_MAXIMIZE)
        SetMaxButton(false);
    HMENU menu = SystemMenu();
    // By position, so that an item greyed (and renumbered) above goes as well.
    int position = FindSysMenuItem(MenuItem);
    if (!menu || position < 0)
        return;
    if (MenuItem == SC_CLOSE && position > 0 && IsSeparator(menu, position - 1)) {
        RemoveMenu(menu, static_cast<UINT>(position - 1), MF_BYPOSITION);
        --position;
    }
    RemoveMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
}

void CFormBorder::ShowSysMenu(int32_t x, int32_t y) {
    if (m_window)
        SendMessageA(m_window, kPopupSystemMenu, 0, ScreenPoint(x, y));
}
