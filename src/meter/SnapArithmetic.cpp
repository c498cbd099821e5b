#include "meter/SnapArithmetic.h"

#include <limits>

namespace {
int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
bool FitsInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}
} // namespace

PlaceRect ToPlace(const EdgeRect& edges) {
    return {edges.Left, edges.Top, WrapSub(edges.Right, edges.Left), WrapSub(edges.Bottom, edges.Top)};
}

EdgeRect ToEdges(const PlaceRect& place) {
    return {place.Left, place.Top, WrapAdd(place.Left, place.Width), WrapAdd(place.Top, place.Height)};
}

int64_t EdgeSnapper::SnapAxis(Axis& axis, int64_t pos, int64_t size, int64_t low, int64_t high) const {
    const int64_t sticky = m_sticky;
    // The band is inclusive at both ends; a negative distance makes it empty.
    auto outside = [sticky](int64_t followed, int64_t edge) {
        return followed < edge - sticky || followed > edge + sticky;
    };

    axis.low.followed += pos - axis.low.shown;
    pos = outside(axis.low.followed, low) ? axis.low.followed : low;
    axis.low.shown = pos;

    axis.high.followed += pos + size - axis.high.shown;
    pos = outside(axis.high.followed, high) ? axis.high.followed - size : high - size;
    axis.high.shown = pos + size;
    return pos;
}

bool EdgeSnapper::Moving(int32_t& left, int32_t& top, int32_t width, int32_t height) {
    Axis horizontal = m_horizontal;
    Axis vertical = m_vertical;
    const int64_t newLeft = SnapAxis(horizontal, left, width, m_workArea.Left, m_workArea.Right);
    const int64_t newTop = SnapAxis(vertical, top, height, m_workArea.Top, m_workArea.Bottom);
    if (!FitsInt32(newLeft) || !FitsInt32(newTop))
        return false;
    m_horizontal = horizontal;
    m_vertical = vertical;
    left = static_cast<int32_t>(newLeft);
    top = static_cast<int32_t>(newTop);
    return true;
}
