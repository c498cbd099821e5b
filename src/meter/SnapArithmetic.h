#pragma once
#include <cstdint>

// Rectangle arithmetic of the size/move tracker and the work-area snapping, kept free of the
// window system so that it runs anywhere.

// A window rectangle as its edges (left, top, right, bottom) or as position and size.
struct EdgeRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct PlaceRect {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

// Width and height wrap like the 32-bit registers they come from, so that a rectangle converted to
// position and size and back is the same rectangle, whatever its edges.
PlaceRect ToPlace(const EdgeRect& edges);
EdgeRect ToEdges(const PlaceRect& place);

// Makes a dragged window's edges stick to the work area's edges. Each edge remembers where it was
// last put (shown) and where the pointer alone would have put it (followed), so a snapped edge holds
// still while the pointer moves on and the window jumps back under the pointer once the followed
// edge leaves the band of `Sticky` pixels. The memory carries over from one drag to the next.
class EdgeSnapper {
public:
    void SetWorkArea(const EdgeRect& area) { m_workArea = area; }
    const EdgeRect& WorkArea() const { return m_workArea; }
    void SetSticky(int32_t sticky) { m_sticky = sticky; }
    int32_t Sticky() const { return m_sticky; }

    // One step of a drag: moves `left` and `top`; width and height never change. Edges are handled
    // left, right, top, bottom, so where both edges of an axis are in their bands right and bottom
    // win. A result that a 32-bit coordinate cannot hold leaves the position and the memory as they
    // were and returns false.
    bool Moving(int32_t& left, int32_t& top, int32_t width, int32_t height);

private:
    // Shown and followed stay within a few 32-bit ranges of each other, so 64 bits never overflow.
    struct Edge {
        int64_t shown = 0;
        int64_t followed = 0;
    };
    struct Axis {
        Edge low, high;
    };
    // One axis: the low edge at `pos`, the high edge at `pos + size`; returns the new position.
    int64_t SnapAxis(Axis& axis, int64_t pos, int64_t size, int64_t low, int64_t high) const;

    EdgeRect m_workArea{};
    int32_t m_sticky = 0;
    Axis m_horizontal{}, m_vertical{};
};
