#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The opacity byte for a stored opacity percentage: percent / 100 * 255, to nearest with ties to even
// (50 -> 128, 70 -> 178). A hand-edited value outside 0..100 is clamped rather than wrapped; a value
// that is not a number counts as opaque.
uint8_t AlphaFromPercent(double percent);

// The stored opacity text as a percentage when it makes the meter translucent (0 to below 100);
// none when it means opaque: 100 or more, below 0, or not a number.
std::optional<double> TranslucentPercent(std::string_view stored);

// The opacity steps the settings offer: step i, counted from 0, is (i + 1) * 5 percent, 5% to 95%.
inline constexpr int kOpacitySteps = 19;
inline constexpr int kDefaultOpacityStep = 13; // 70%
std::string OpacityStepText(int step);         // "5%" .. "95%"
// The percentage a step stores; anything but a step of the list stores opaque, 100.
int16_t PercentForOpacityStep(int step);
// The step a stored opacity shows as: the text taken as a whole number (ties to even), divided by 5,
// less 1, to nearest (ties to even), kept within the list. None when the stored text means opaque.
std::optional<int> OpacityStepForStored(std::string_view stored);
