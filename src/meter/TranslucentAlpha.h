#pragma once
#include <cstdint>

// The opacity byte for a stored opacity percentage: percent / 100 * 255, to nearest with ties to even
// (50 -> 128, 70 -> 178). A hand-edited value outside 0..100 is clamped rather than wrapped; a value
// that is not a number counts as opaque.
uint8_t AlphaFromPercent(double percent);
