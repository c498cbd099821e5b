#pragma once
#include "meter/SnapArithmetic.h"
#include "meter/cSizeMoveHelper.h"

#include <windows.h>

#include <cstdint>
#include <memory>

// Makes a window's edges snap to the screen's work area while the user drags it. The work area is
// read at the start of every move or size; what the edges remember carries over between drags.
class cSizeMoveHelperEx {
public:
    // Raises the subclassing service's errors for a handle that is not a window of this process.
    void Attach(HWND hWnd, int32_t Sticky = 10);

    int32_t Sticky() const { return m_snap.Sticky(); }
    const EdgeRect& WorkArea() const { return m_snap.WorkArea(); }

private:
    void sizer_EnterSizeMove();
    void sizer_Moving(long& lLeft, long& lTop, long& lWidth, long& lHeight);

    EdgeSnapper m_snap;
    // Declared last so that it detaches before the snapper it calls goes away.
    std::unique_ptr<cSizeMoveHelper> m_sizer;
};
