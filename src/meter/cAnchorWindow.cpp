#include "meter/cAnchorWindow.h"
#include "base/AppError.h"
#include "base/Convert.h"
#include "meter/SnapArithmetic.h"

namespace {
int Pixels(double value) {
    const auto pixels = TryRoundToInt32(value);
    if (!pixels)
        throw AppError(kErrOverflow, {}, "Overflow");
    return *pixels;
}
int Size(double value) {
    const int pixels = Pixels(value);
    if (pixels < 0)
        throw AppError(kErrInvalidPropertyValue, {}, "Invalid property value");
    return pixels;
}
[[noreturn]] void NoWindow() {
    throw AppError(kErrObjectRequired, {}, "Object required");
}
} // namespace

HWND cAnchorWindow::Parent() const {
    HWND parent = IsWindow(m_hWnd) ? GetAncestor(m_hWnd, GA_PARENT) : nullptr;
    if (!parent)
        NoWindow();
    return parent;
}

RECT cAnchorWindow::Placement() const {
    HWND parent = Parent();
    RECT rect{};
    if (!GetWindowRect(m_hWnd, &rect))
        NoWindow();
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT cAnchorWindow::ParentClient() const {
    RECT client{};
    if (!GetClientRect(Parent(), &client))
        NoWindow();
    return client;
}

double cAnchorWindow::Width() {
    const RECT r = Placement();
    return ToPlace({r.left, r.top, r.right, r.bottom}).Width;
}

double cAnchorWindow::Height() {
    const RECT r = Placement();
    return ToPlace({r.left, r.top, r.right, r.bottom}).Height;
}

void cAnchorWindow::SetLeft(double value) {
    const int x = Pixels(value);
    Place(x, Placement().top, 0, 0, SWP_NOSIZE);
}

void cAnchorWindow::SetTop(double value) {
    const int y = Pixels(value);
    Place(Placement().left, y, 0, 0, SWP_NOSIZE);
}

void cAnchorWindow::SetWidth(double value) {
    const int width = Size(value);
    Place(0, 0, width, static_cast<int>(Height()), SWP_NOMOVE);
}

void cAnchorWindow::SetHeight(double value) {
    const int height = Size(value);
    Place(0, 0, static_cast<int>(Width()), height, SWP_NOMOVE);
}

void cAnchorWindow::Place(int x, int y, int width, int height, UINT flags) const {
    if (!SetWindowPos(m_hWnd, nullptr, x, y, width, height, flags | SWP_NOZORDER | SWP_NOACTIVATE))
        throw AppError(kErrInvalidPropertyValue, {}, "Invalid property value");
}
