#include "meter/cSizeMoveHelper.h"
#include "meter/SnapArithmetic.h"
#include "winsys/FatalError.h"
#include "winsys/MSubclass.h"

#include <exception>
#include <utility>

namespace {
constexpr UINT kAttachOrder[] = {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE, WM_DESTROY, WM_MOVING,
                                 WM_SIZING,        WM_ACTIVATE,     WM_SIZE};
constexpr UINT kDetachOrder[] = {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE, WM_DESTROY, WM_MOVING,
                                 WM_SIZING,        WM_SIZE,         WM_ACTIVATE};

// A handler may reassign the event it is running from; the copy keeps it alive until it returns.
template <class Event, class... Args>
void Raise(const Event& event, Args&&... args) {
    if (const Event handler = event)
        handler(std::forward<Args>(args)...);
}
} // namespace

cSizeMoveHelper::~cSizeMoveHelper() {
    FullDragOn();
    Detach();
}

void cSizeMoveHelper::Attach(HWND hWndA) {
    Detach();
    m_hWnd = hWndA;
    m_attached = true;
    try {
        for (UINT msg : kAttachOrder)
            AttachMessage(this, m_hWnd, msg);
    } catch (...) {
        Detach();
        throw;
    }
}

void cSizeMoveHelper::Detach() {
    if (!m_attached)
        return;
    m_attached = false;
    for (UINT msg : kDetachOrder)
        DetachMessage(this, m_hWnd, msg);
}

void cSizeMoveHelper::SetNoFullDrag(bool value) {
    m_noFullDrag = value;
    if (!value)
        FullDragOn();
    else if (m_active)
        FullDragOff();
}

void cSizeMoveHelper::FullDragOff() {
    if (!m_noFullDrag)
        return;
    BOOL on = FALSE;
    if (SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0) && on) {
        m_fullDragOff = true;
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, 0, nullptr, SPIF_SENDCHANGE);
    }
}

void cSizeMoveHelper::FullDragOn() {
    if (!m_fullDragOff)
        return;
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, 1, nullptr, SPIF_SENDCHANGE);
    m_fullDragOff = false;
}

void cSizeMoveHelper::RaiseForRect(const RectEvent& event, RECT& rect) {
    PlaceRect place = ToPlace({rect.left, rect.top, rect.right, rect.bottom});
    long left = place.Left, top = place.Top, width = place.Width, height = place.Height;
    Raise(event, left, top, width, height);
    const EdgeRect edges = ToEdges({static_cast<int32_t>(left), static_cast<int32_t>(top),
                                    static_cast<int32_t>(width), static_cast<int32_t>(height)});
    rect = {edges.Left, edges.Top, edges.Right, edges.Bottom};
}

LRESULT cSizeMoveHelper::WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    // The system called us: nothing may unwind into its frames.
    try {
        HandleMessage(hWnd, iMsg, wParam, lParam);
    } catch (const std::exception& error) {
        ReportFatalError(error);
    }
    return 0;
}

void cSizeMoveHelper::HandleMessage(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    switch (iMsg) {
    case WM_ENTERSIZEMOVE:
        m_inSizeMove = true;
        Raise(EnterSizeMove);
        break;
    case WM_EXITSIZEMOVE:
        Raise(ExitSizeMove);
        m_inSizeMove = false;
        break;
    case WM_MOVING:
    case WM_SIZING:
        if (auto* rect = reinterpret_cast<RECT*>(lParam))
            RaiseForRect(iMsg == WM_MOVING ? Moving : Sizing, *rect);
        break;
    case WM_SIZE:
        if (!m_inSizeMove) {
            RECT rect{};
            if (GetWindowRect(hWnd, &rect))
                RaiseForRect(Sizing, rect); // the window keeps its size whatever the handler says
        }
        break;
    case WM_ACTIVATE:
        // The high word says whether the window is minimised; the state is the low word.
        if (LOWORD(wParam) != WA_INACTIVE) {
            FullDragOff();
            m_active = true;
            Raise(Activate, LOWORD(wParam) == WA_CLICKACTIVE);
        } else {
            FullDragOn();
            m_active = false;
            Raise(Deactivate);
        }
        break;
    case WM_DESTROY:
        FullDragOn();
        Detach();
        break;
    default:
        break;
    }
}
