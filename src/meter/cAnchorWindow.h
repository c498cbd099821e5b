#pragma once
#include "meter/cAnchor.h"

#include <windows.h>

// A child window seen by cAnchor, in its parent's client pixels. It refuses a negative size, a value
// beyond a 32-bit pixel, and everything once the window is gone.
class cAnchorWindow final : public IAnchorControl {
public:
    explicit cAnchorWindow(HWND hWnd) : m_hWnd(hWnd) {}
    HWND Window() const { return m_hWnd; }

    double Left() override { return Placement().left; }
    double Top() override { return Placement().top; }
    double Width() override;
    double Height() override;
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetHeight(double value) override;
    double ParentScaleWidth() override { return ParentClient().right; }
    double ParentScaleHeight() override { return ParentClient().bottom; }

private:
    HWND Parent() const;
    RECT Placement() const; // the window's rectangle in its parent's client coordinates
    RECT ParentClient() const;
    void Place(int x, int y, int width, int height, UINT flags) const;

    HWND m_hWnd;
};
