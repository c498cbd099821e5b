#include "graph/GraphSurface.h"

#include <cmath>

namespace {
// Far beyond any surface, well inside what GDI accepts (27 bits) and what a float holds exactly.
constexpr double kLimit = 67108864.0; // 2^26

// Not a number and the infinities fail the comparison; unlike isfinite this never becomes a call.
bool Finite(float v) {
    return std::fabs(v) <= FLT_MAX;
}

// Liang-Barsky: narrows [t0, t1] to the part of the line on the inner side of one edge.
bool ClipEdge(double p, double q, double& t0, double& t1) {
    if (p == 0)
        return q >= 0;
    const double t = q / p;
    if (p < 0) {
        if (t > t1)
            return false;
        if (t > t0)
            t0 = t;
    } else {
        if (t < t0)
            return false;
        if (t < t1)
            t1 = t;
    }
    return true;
}

int32_t Round(double v) {
    return static_cast<int32_t>(RoundToEven(v));
}
} // namespace

bool ToDevicePoint(float x, float y, DevicePoint& point) {
    if (!Finite(x) || !Finite(y) || std::fabs(x) > kLimit || std::fabs(y) > kLimit)
        return false;
    point = {Round(x), Round(y)};
    return true;
}

bool ToDeviceLine(float x1, float y1, float x2, float y2, DevicePoint& from, DevicePoint& to) {
    if (!Finite(x1) || !Finite(y1) || !Finite(x2) || !Finite(y2))
        return false;
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (std::fabs(ax) > kLimit || std::fabs(ay) > kLimit || std::fabs(bx) > kLimit ||
        std::fabs(by) > kLimit) {
        const double dx = bx - ax, dy = by - ay;
        double t0 = 0, t1 = 1;
        if (!ClipEdge(-dx, ax + kLimit, t0, t1) || !ClipEdge(dx, kLimit - ax, t0, t1) ||
            !ClipEdge(-dy, ay + kLimit, t0, t1) || !ClipEdge(dy, kLimit - ay, t0, t1))
            return false;
        const double nax = ax + t0 * dx, nay = ay + t0 * dy;
        bx = ax + t1 * dx;
        by = ay + t1 * dy;
        ax = nax;
        ay = nay;
    }
    from = {Round(ax), Round(ay)};
    to = {Round(bx), Round(by)};
    return true;
}
