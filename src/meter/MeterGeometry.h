#pragma once
#include <cstdint>
#include <optional>

// Window measures are kept in twips (1/1440 inch); the screen works in pixels of `dpi` per inch.
// Out-of-range values (beyond what a window coordinate can be) give nothing.
std::optional<int32_t> TwipsToPixels(double twips, int dpi);
double PixelsToTwips(int32_t pixels, int dpi);

struct PixelRect {
    int32_t Left, Top, Right, Bottom;
};

// A window that lies wholly outside `workArea` (its monitor was removed) is brought onto it, keeping
// its size as far as it fits; any other window stays where it is.
PixelRect KeepOnWorkArea(const PixelRect& window, const PixelRect& workArea);
