#pragma once
#include "winsys/ISubclass.h"

#include <windows.h>

#include <cstdint>
#include <functional>

// Follows one window's moving and sizing and turns the messages into events. The rectangle events
// may change the rectangle; the window's own procedure runs afterwards and sees it as they left it.
// Optionally switches the system's full-window dragging off while the window is active.
class cSizeMoveHelper final : public ISubclass {
public:
    cSizeMoveHelper() = default;
    ~cSizeMoveHelper();
    cSizeMoveHelper(const cSizeMoveHelper&) = delete;
    cSizeMoveHelper& operator=(const cSizeMoveHelper&) = delete;

    bool NoFullDrag() const { return m_noFullDrag; }
    void SetNoFullDrag(bool value);
    bool Active() const { return m_active; }

    // Raises the subclassing service's errors (an invalid window, say); then nothing stays attached.
    void Attach(HWND hWndA);
    void Detach();
    HWND Window() const { return m_hWnd; }

    std::function<void()> EnterSizeMove;
    std::function<void()> ExitSizeMove;
    std::function<void(bool bByMouse)> Activate;
    std::function<void()> Deactivate;
    std::function<void(long& lLeft, long& lTop, long& lWidth, long& lHeight)> Moving;
    std::function<void(long& lLeft, long& lTop, long& lWidth, long& lHeight)> Sizing;

    int32_t MsgResponse() override { return emrPostProcess; }
    void SetMsgResponse(int32_t) override {}
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

private:
    using RectEvent = std::function<void(long&, long&, long&, long&)>;
    void HandleMessage(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
    void RaiseForRect(const RectEvent& event, RECT& rect);
    void FullDragOff();
    void FullDragOn();

    HWND m_hWnd = nullptr; // stays after Detach, as the last window followed
    bool m_attached = false;
    bool m_fullDragOff = false;
    bool m_noFullDrag = false;
    bool m_active = false;
    bool m_inSizeMove = false;
};
