#include "winsys/SysTray.h"
#include "base/AppInfo.h"
#include "winsys/MSubclass.h"
#include "winsys/SystemLibrary.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

namespace {
constexpr char kSysTrayClass[] = "VantorelSysTray";

// Notification codes of version-5 icons that are not window messages.
constexpr UINT kBalloonShow = WM_USER + 2;
constexpr UINT kBalloonHide = WM_USER + 3;
constexpr UINT kBalloonTimeout = WM_USER + 4;
constexpr UINT kBalloonClicked = WM_USER + 5;

// The timer that asks the shell again for an icon it refused, and how often.
constexpr UINT_PTR kAddRetryTimer = 1;
constexpr UINT kAddRetryMs = 1000;

// A copy started elevated would not hear the shell's TaskbarCreated, sent from a lower integrity
// level, and its icon would stay away after the shell restarts. Windows 7 and later only.
void AllowFromShell(HWND window, UINT message) {
    using ChangeFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    constexpr DWORD kMsgFltAllow = 1;
    if (const auto change = SystemFunction<ChangeFilter>("user32.dll", "ChangeWindowMessageFilterEx"))
        change(window, message, kMsgFltAllow, nullptr);
}

// Copies as much of `text` as fits before the terminating NUL of a fixed field.
template <size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// Menu traffic of the popup goes to the control's window; the menu belongs to the host.
bool IsMenuMessage(UINT msg) {
    switch (msg) {
    case WM_COMMAND:
    case WM_MENUCOMMAND:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
    case WM_UNINITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_MENUCHAR:
    case WM_MENURBUTTONUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        return true;
    default:
        return false;
    }
}
} // namespace

SysTray::SysTray(HWND host, const SysTrayDesign& design, ShellNotify shell)
    : m_host(host), m_shell(shell ? std::move(shell) : ShellNotify(&Shell_NotifyIconA)) {
    // A hidden popup owned by the host's top-level window: it goes with the host, never shows in the
    // taskbar, and can be made the foreground window, which a popup menu of a tray icon needs.
    const HWND owner = host ? GetAncestor(host, GA_ROOT) : nullptr;
    CreateWindowObject(kSysTrayClass, "", WS_POPUP, 0, 0, 0, 0, 0, owner);

    m_live = design.Live;
    m_restartWithTaskbar = design.TaskbarRestart;
    if (m_live) {
        try {
            m_trayMessage = RegisterWindowMessageA((std::string(kAppTitle) + "_TrayMsg").c_str());
            AttachMessage(this, m_hwnd, m_trayMessage);
            m_trayAttached = m_hwnd;
            if (m_restartWithTaskbar) {
                // The shell broadcasts to top-level windows: the host's is the one that hears it.
                m_taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
                const HWND root = host ? GetAncestor(host, GA_ROOT) : nullptr;
                AttachMessage(this, root, m_taskbarCreatedMessage);
                m_taskbarAttached = root;
                if (root)
                    AllowFromShell(root, m_taskbarCreatedMessage);
            }
        } catch (...) {
            Teardown();
            throw;
        }
    }
    SetTooltip(design.ToolTip);
    SetIcon(design.Icon);
    const bool visible = design.Visible;
    m_data.hWnd = m_hwnd;
    m_data.uCallbackMessage = m_trayMessage;
    m_data.cbSize = kNotifyIconDataSize;
    SetVisible(visible);
}

SysTray::~SysTray() {
    *m_alive = false;
    Teardown();
}

template <class... Args>
bool SysTray::Raise(const std::function<void(Args...)>& event, std::type_identity_t<Args>... args) {
    // A handler may end the control (the Exit command of its menu does): the call runs on a copy, and
    // the answer tells whether there is still a control to go on with.
    const std::shared_ptr<bool> alive = m_alive;
    if (event) {
        const auto handler = event;
        handler(args...);
    }
    return *alive;
}

void SysTray::Teardown() {
    if (m_tornDown)
        return;
    m_tornDown = true;
    // The service keeps our bare address: no request may outlive this object.
    if (m_trayAttached) {
        DetachMessage(this, m_trayAttached, m_trayMessage);
        m_trayAttached = nullptr;
    }
    if (m_taskbarAttached) {
        DetachMessage(this, m_taskbarAttached, m_taskbarCreatedMessage);
        m_taskbarAttached = nullptr;
    }
    if (m_visible)
        SetVisible(false);
}

bool SysTray::Notify(DWORD message) {
    // Without its window the icon would have nobody to report to.
    return m_hwnd && m_shell(message, &m_data);
}

void SysTray::AddIcon() {
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // A refused add may only mean the icon is there already (a second add at start): the modify says.
    const bool shown = Notify(NIM_ADD) || Notify(NIM_MODIFY);
    if (shown && m_retrying) {
        KillTimer(m_hwnd, kAddRetryTimer);
        m_retrying = false;
    } else if (!shown && !m_retrying && m_hwnd) {
        m_retrying = SetTimer(m_hwnd, kAddRetryTimer, kAddRetryMs, nullptr) != 0;
    }
}

void SysTray::SetTooltip(const std::string& text) {
    // A quiet network repeats its tooltip every second; the shell need not hear it again.
    if (text == m_tooltip)
        return;
    m_tooltip = text;
    CopyText(m_data.szTip, text);
    m_data.uFlags = NIF_TIP;
    if (m_visible && m_live)
        Notify(NIM_MODIFY);
}

void SysTray::SetVisible(bool visible) {
    // Nothing is skipped when the value does not change: a second add is refused by the shell.
    if (visible) {
        m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        if (m_live)
            AddIcon();
    } else if (m_live) {
        if (m_retrying) {
            KillTimer(m_hwnd, kAddRetryTimer);
            m_retrying = false;
        }
        Notify(NIM_DELETE);
    }
    m_visible = visible;
}

HICON SysTray::HostIcon() const {
    if (!m_host || !IsWindow(m_host))
        return nullptr;
    for (WPARAM kind : {ICON_BIG, ICON_SMALL}) {
        DWORD_PTR icon = 0;
        if (SendMessageTimeoutA(m_host, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG, 500, &icon) && icon)
            return reinterpret_cast<HICON>(icon);
    }
    if (const ULONG_PTR icon = GetClassLongPtrA(m_host, GCLP_HICON))
        return reinterpret_cast<HICON>(icon);
    return reinterpret_cast<HICON>(GetClassLongPtrA(m_host, GCLP_HICONSM));
}

void SysTray::SetIcon(HICON icon) {
    HICON picture = icon ? icon : HostIcon();
    if (!picture)
        picture = LoadIconA(nullptr, IDI_APPLICATION); // a shared system icon: never destroyed
    m_icon = picture;
    // The same picture again costs no request: samples in a steady state keep their icon.
    if (picture != m_data.hIcon) {
        m_data.hIcon = picture;
        m_data.uFlags = NIF_ICON;
        if (m_visible && m_live)
            Notify(NIM_MODIFY);
    }
}

void SysTray::ShowBaloonNotification(const std::string& message, const std::string& title, int32_t icon,
                                     std::optional<int32_t>) {
    if (!m_visible)
        return;
    m_data.uFlags = NIF_INFO;
    m_data.cbSize = kNotifyIconDataSize;
    CopyText(m_data.szInfo, message);
    CopyText(m_data.szInfoTitle, title);
    m_data.dwInfoFlags = static_cast<DWORD>(icon);
    if (m_live)
        Notify(NIM_MODIFY);
}

void SysTray::HideBaloonNotification() {
    if (!m_visible)
        return;
    m_data.uFlags = NIF_INFO;
    CopyText(m_data.szInfo, {});
    CopyText(m_data.szInfoTitle, {});
    m_data.dwInfoFlags = 0;
    if (m_live)
        Notify(NIM_MODIFY);
}

UINT SysTray::ShowMenu(HMENU iconMenu, std::optional<UINT> defaultItem) {
    if (!m_hwnd || !IsMenu(iconMenu))
        return 0;
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(m_hwnd);
    POINT at{};
    GetCursorPos(&at);
    UINT flags = TPM_RETURNCMD;
    const UINT previousDefault = GetMenuDefaultItem(iconMenu, FALSE, GMDI_USEDISABLED);
    if (defaultItem) {
        flags |= TPM_RIGHTBUTTON;
        SetMenuDefaultItem(iconMenu, *defaultItem, FALSE);
    }
    const auto command = static_cast<UINT>(TrackPopupMenu(iconMenu, flags, at.x, at.y, 0, m_hwnd, nullptr));
    if (defaultItem)
        SetMenuDefaultItem(iconMenu, previousDefault, FALSE); // -1 when there was none
    // Lets the next popup close properly after a click outside this one.
    PostMessageA(m_hwnd, WM_NULL, 0, 0);
    if (command != 0 && m_host && IsWindow(m_host))
        SendMessageA(m_host, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return command;
}

LRESULT SysTray::WindowProc(HWND hWnd, UINT iMsg, WPARAM, LPARAM lParam) {
    if (m_taskbarCreatedMessage != 0 && iMsg == m_taskbarCreatedMessage && m_visible) {
        bool restoreIcon = true;
        if (!Raise<bool&>(TaskbarCreated, restoreIcon))
            return 0;
        // True adds the icon again from the kept record: last picture, tooltip and callback.
        SetVisible(restoreIcon);
    }
    if (hWnd == m_hwnd && m_trayMessage != 0 && iMsg == m_trayMessage)
        DecodeNotification(static_cast<UINT>(lParam));
    return 0;
}

void SysTray::DecodeNotification(UINT code) {
    switch (code) {
    case WM_MOUSEMOVE:
        Raise(MouseMove);
        break;
    case WM_LBUTTONDOWN:
        if (Raise(MouseDown, 1))
            Raise(LeftClick);
        break;
    case WM_LBUTTONUP:
        Raise(MouseUp, 1);
        break;
    case WM_LBUTTONDBLCLK:
        if (Raise(DoubleClick, 1))
            Raise(DoubleLeftClick);
        break;
    case WM_RBUTTONDOWN:
        if (Raise(MouseDown, 2))
            Raise(RightClick);
        break;
    case WM_RBUTTONUP:
        Raise(MouseUp, 2);
        break;
    case WM_RBUTTONDBLCLK:
        Raise(DoubleClick, 2);
        break;
    case WM_MBUTTONDOWN:
        Raise(MouseDown, 4);
        break;
    case WM_MBUTTONUP:
        Raise(MouseUp, 4);
        break;
    case WM_MBUTTONDBLCLK:
        Raise(DoubleClick, 4);
        break;
    case WM_XBUTTONDOWN:
        Raise(MouseDown, 8);
        break;
    case WM_XBUTTONUP:
        Raise(MouseUp, 8);
        break;
    case WM_XBUTTONDBLCLK:
        Raise(DoubleClick, 8);
        break;
    case kBalloonShow:
        Raise(BalloonShow);
        break;
    case kBalloonHide:
        Raise(BalloonHide);
        break;
    case kBalloonTimeout:
        Raise(BalloonTimeout);
        break;
    case kBalloonClicked:
        Raise(BalloonClicked);
        break;
    default: // the wheel and anything unknown
        break;
    }
}

LRESULT SysTray::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        // The host went first and took this window with it: the requests and the icon go now,
        // while the window still exists.
        Teardown();
        return 0;
    }
    if (msg == WM_TIMER && wParam == kAddRetryTimer) {
        if (m_visible && m_live)
            AddIcon();
        return 0;
    }
    if (IsMenuMessage(msg) && m_host && IsWindow(m_host))
        return SendMessageA(m_host, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
