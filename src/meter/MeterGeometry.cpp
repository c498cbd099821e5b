#include "meter/MeterGeometry.h"
#include "base/Convert.h"

#include <algorithm>
#include <cmath>

std::optional<int32_t> TwipsToPixels(double twips, int dpi) {
    if (dpi <= 0 || !std::isfinite(twips))
        return std::nullopt;
    const double pixels = RoundHalfEven(twips * dpi / 1440.0);
    // Windows keeps coordinates within 16 bits of precision plus sign; beyond that nothing is usable.
    if (pixels < -32768.0 || pixels > 32767.0)
        return std::nullopt;
    return static_cast<int32_t>(pixels);
}

double PixelsToTwips(int32_t pixels, int dpi) {
    return dpi > 0 ? static_cast<double>(pixels) * 1440.0 / dpi : 0.0;
}

PixelRect KeepOnWorkArea(const PixelRect& window, const PixelRect& workArea) {
    const bool overlaps = window.Left < workArea.Right && window.Right > workArea.Left &&
                          window.Top < workArea.Bottom && window.Bottom > workArea.Top;
    if (overlaps)
        return window;
    const int64_t width =
        std::min<int64_t>(int64_t{window.Right} - window.Left, int64_t{workArea.Right} - workArea.Left);
    const int64_t height =
        std::min<int64_t>(int64_t{window.Bottom} - window.Top, int64_t{workArea.Bottom} - workArea.Top);
    // Nearest place inside the work area.
    const int64_t left =
        std::clamp<int64_t>(window.Left, workArea.Left, workArea.Right - std::max<int64_t>(width, 0));
    const int64_t top =
        std::clamp<int64_t>(window.Top, workArea.Top, workArea.Bottom - std::max<int64_t>(height, 0));
    return {static_cast<int32_t>(left), static_cast<int32_t>(top),
            static_cast<int32_t>(left + std::max<int64_t>(width, 0)),
            static_cast<int32_t>(top + std::max<int64_t>(height, 0))};
}
