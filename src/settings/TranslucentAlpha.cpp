#include "settings/TranslucentAlpha.h"

#include "base/Convert.h"

#include <algorithm>
#include <cmath>

uint8_t AlphaFromPercent(double percent) {
    if (std::isnan(percent))
        return 255;
    const double alpha = RoundHalfEven(percent / 100 * 255);
    if (alpha <= 0)
        return 0;
    if (alpha >= 255)
        return 255;
    return static_cast<uint8_t>(alpha);
}

std::optional<double> TranslucentPercent(std::string_view stored) {
    const auto percent = TryParseDouble(stored);
    if (!percent || !(*percent >= 0 && *percent < 100))
        return std::nullopt;
    return percent;
}

std::string OpacityStepText(int step) {
    return std::to_string((step + 1) * 5) + "%";
}

int16_t PercentForOpacityStep(int step) {
    if (step < 0 || step >= kOpacitySteps)
        return 100;
    return static_cast<int16_t>((step + 1) * 5);
}

std::optional<int> OpacityStepForStored(std::string_view stored) {
    const auto percent = TranslucentPercent(stored);
    if (!percent)
        return std::nullopt;
    // 99.7 is still translucent though it reads as 100: it shows as the nearest step there is.
    const double step = RoundHalfEven(RoundHalfEven(*percent) / 5 - 1);
    return static_cast<int>(std::clamp(step, 0.0, static_cast<double>(kOpacitySteps - 1)));
}
