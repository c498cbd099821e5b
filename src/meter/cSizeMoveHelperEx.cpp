#include "meter/cSizeMoveHelperEx.h"

void cSizeMoveHelperEx::Attach(HWND hWnd, int32_t Sticky) {
    m_sizer.reset();
    m_sizer = std::make_unique<cSizeMoveHelper>();
    m_sizer->EnterSizeMove = [this] { sizer_EnterSizeMove(); };
    m_sizer->Moving = [this](long& l, long& t, long& w, long& h) { sizer_Moving(l, t, w, h); };
    m_sizer->Attach(hWnd);
    m_snap.SetSticky(Sticky);
}

void cSizeMoveHelperEx::sizer_EnterSizeMove() {
    // A failed read keeps the previous work area.
    RECT area{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        m_snap.SetWorkArea({area.left, area.top, area.right, area.bottom});
}

void cSizeMoveHelperEx::sizer_Moving(long& lLeft, long& lTop, long& lWidth, long& lHeight) {
    int32_t left = lLeft, top = lTop;
    if (m_snap.Moving(left, top, lWidth, lHeight)) {
        lLeft = left;
        lTop = top;
    }
}
