#pragma once
#include "winsys/BaseWindow.h"
#include "winsys/ISubclass.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

// The host's saved design of a tray icon control, as read when the control is created.
struct SysTrayDesign {
    bool TaskbarRestart = true; // put the icon back when the taskbar is recreated
    std::string ToolTip;
    HICON Icon = nullptr; // null: the host window's icon
    bool Visible = true;
    // False while a control only exists as a design: it then never calls the shell and never subclasses.
    bool Live = true;
};

// The icon's record as the shell is told it: the version-5 form of NOTIFYICONDATAA.
inline constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAA_V2_SIZE;
#if defined(_WIN32) && !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "the shell's version-5 icon record is 488 bytes on 32 bits");
#endif

// One icon in the notification area for its host window: picture, tooltip, balloons, a popup menu
// and the shell's mouse notifications as events. It has its own hidden window (a popup owned by the
// host's top-level window) that the shell talks to, and puts the icon back when the taskbar is
// recreated. The icon picture stays the caller's: it must live as long as it is shown.
class SysTray : public BaseWindow<SysTray>, public ISubclass {
public:
    // Stands in for Shell_NotifyIconA (tests count and inspect the requests).
    using ShellNotify = std::function<BOOL(DWORD message, NOTIFYICONDATAA* data)>;

    // Errors from the subclassing service (AppError 13081..13084) go to the caller.
    explicit SysTray(HWND host, const SysTrayDesign& design = {}, ShellNotify shell = {});
    // Withdraws both message requests, then takes the icon out of the tray.
    ~SysTray();

    void SetTooltip(const std::string& text);
    const std::string& Tooltip() const { return m_tooltip; }
    void SetVisible(bool visible);
    bool Visible() const { return m_visible; }
    // Null takes the host's icon; a host without one takes a built-in picture.
    void SetIcon(HICON icon);
    HICON Icon() const { return m_icon; }
    bool RestartWithTaskbar() const { return m_restartWithTaskbar; }
    // Consulted only at creation: the message requests already made stay as they are.
    void SetRestartWithTaskbar(bool restart) { m_restartWithTaskbar = restart; }
    HWND hWnd() const { return m_hwnd; }

    // Pops `iconMenu` up at the mouse position with the control's window in front and returns when it
    // closes. With `defaultItem` (a command identifier) that entry is shown bold for this popup and the
    // right button chooses too. A chosen entry reaches the host window as WM_COMMAND before this
    // returns; the result is that command identifier, 0 when nothing was chosen.
    UINT ShowMenu(HMENU iconMenu, std::optional<UINT> defaultItem = std::nullopt);

    // Only while visible; `icon` is the balloon's icon kind (0 none, 1 information, 2 warning, 3 error).
    // The timeout is accepted and not used: the shell decides how long a balloon stays.
    void ShowBaloonNotification(const std::string& message, const std::string& title = {}, int32_t icon = 0,
                                std::optional<int32_t> timeout = std::nullopt);
    void HideBaloonNotification();

    // As a subclassing client the control consumes both of its messages.
    int32_t MsgResponse() override { return emrConsume; }
    void SetMsgResponse(int32_t) override {}
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

    UINT TrayMessage() const { return m_trayMessage; }
    UINT TaskbarCreatedMessage() const { return m_taskbarCreatedMessage; }
    const NOTIFYICONDATAA& IconData() const { return m_data; }

    // Events, raised synchronously from inside the shell's notification.
    std::function<void(int32_t eButton)> MouseDown; // 1 left, 2 right, 4 middle, 8 extra button
    std::function<void(int32_t eButton)> MouseUp;
    std::function<void()> MouseMove;
    std::function<void(int32_t eButton)> DoubleClick;
    std::function<void()> RightClick; // with the button going down
    std::function<void()> LeftClick;  // with the button going down
    std::function<void()> DoubleLeftClick;
    std::function<void()> BalloonShow;
    std::function<void()> BalloonHide;
    std::function<void()> BalloonClicked;
    std::function<void()> BalloonTimeout;
    std::function<void(bool& RestoreIcon)> TaskbarCreated; // RestoreIcon false leaves the icon out

private:
    friend class BaseWindow<SysTray>;
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    template <class... Args>
    bool Raise(const std::function<void(Args...)>& event, std::type_identity_t<Args>... args);
    bool Notify(DWORD message);
    // Puts the icon into the tray; a shell that is not ready (at logon) is asked again each second.
    void AddIcon();
    void DecodeNotification(UINT code);
    HICON HostIcon() const;
    void Teardown();

    HWND m_host = nullptr;
    ShellNotify m_shell;
    NOTIFYICONDATAA m_data{};
    std::string m_tooltip;
    HICON m_icon = nullptr;
    bool m_visible = false;
    bool m_live = false;
    bool m_restartWithTaskbar = true;
    UINT m_taskbarCreatedMessage = 0;
    UINT m_trayMessage = 0;
    HWND m_trayAttached = nullptr;    // own window, while the tray message is requested
    HWND m_taskbarAttached = nullptr; // host's top-level window, while TaskbarCreated is requested
    bool m_tornDown = false;
    bool m_retrying = false; // the add was refused: the retry timer runs
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
