#pragma once
#include "winsys/ISubclass.h"

#include <windows.h>

#include <cstdint>

// Changes a window's border, caption buttons, title bar, taskbar presence and z-order after it exists,
// by editing its window styles and its system menu. Nothing is cached: every read asks the window.
// The client is an ordinary top-level window of this process (there are no MDI frames here); while
// AutoDrag or AutoSysMenu is on, its mouse messages are followed through the subclassing service.
class CFormBorder final : public ISubclass {
public:
    CFormBorder() = default;
    ~CFormBorder();
    CFormBorder(const CFormBorder&) = delete;
    CFormBorder& operator=(const CFormBorder&) = delete;

    // Left button pressed on the client drags the window.
    bool AutoDrag() const { return m_autoDrag; }
    void SetAutoDrag(bool value);
    // Right button released on the client pops the system menu up at the cursor.
    bool AutoSysMenu() const { return m_autoSysMenu; }
    void SetAutoSysMenu(bool value);
    // Anything but a top-level window of this process leaves the client as it was and hWnd null.
    HWND Client() const { return m_client; }
    void SetClient(HWND form);

    bool ControlBox() const;
    void SetControlBox(bool value);
    bool MaxButton() const;
    void SetMaxButton(bool value);
    bool MinButton() const;
    void SetMinButton(bool value);
    bool Moveable() const;
    void SetMoveable(bool value);
    bool Sizeable() const;
    void SetSizeable(bool value);
    bool ShowInTaskbar() const;
    void SetShowInTaskbar(bool value);
    bool Titlebar() const;
    void SetTitlebar(bool value);
    bool ToolWindow() const;
    void SetToolWindow(bool value);
    bool TopMost() const;
    void SetTopMost(bool value);
    bool WhatsThisButton() const;
    void SetWhatsThisButton(bool value);
    HWND hWnd() const { return m_window; }

    // Greys a system-menu command and renumbers it with bit 15 cleared (0xF010 -> 0x7010), so that the
    // system cannot enable it again by itself; enabling restores the number.
    void EnableMenuItem(int32_t MenuItem, bool Enabled = false);
    // Makes the system recompute and repaint the frame after a style change.
    void Redraw();
    // Removes a system-menu command (and, for Close, the separator above it).
    void RemoveMenuItem(int32_t MenuItem);
    // Pops the system menu up at a screen point; the coordinates are taken as 16-bit numbers.
    void ShowSysMenu(int32_t x, int32_t y);

    // The client's mouse messages: the window's own procedure runs first.
    int32_t MsgResponse() override { return emrPreprocess; }
    void SetMsgResponse(int32_t) override {}
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

private:
    bool StyleBit(int index, DWORD bits) const;
    bool SetStyleBit(int index, DWORD bits, bool on);
    HMENU SystemMenu() const;
    int FindSysMenuItem(int32_t MenuItem) const;
    void FollowClient();

    HWND m_window = nullptr;
    bool m_autoSysMenu = false;
    bool m_autoDrag = false;
    HWND m_client = nullptr;
    HWND m_followed = nullptr; // the client whose mouse messages are requested
};
