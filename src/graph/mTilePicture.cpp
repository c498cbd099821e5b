#include "graph/mTilePicture.h"
#include "base/Convert.h"

#include <climits>
#include <cstdint>

namespace {
// Surface sides are far below the int range; anything odd is held inside it.
int64_t Side(double value) {
    const double r = RoundHalfEven(value);
    if (!(r > 0))
        return 0;
    return r > INT_MAX ? INT_MAX : static_cast<int64_t>(r);
}
} // namespace

void TilePicture(const GraphPicture& picture, IGraphSurface& surface) {
    const int64_t width = Side(surface.InnerWidth());
    const int64_t tileWidth = surface.HimetricToPixelsX(picture.WidthHimetric());
    if (tileWidth <= 0)
        return;
    // 64-bit counters: neither a wide surface nor a large tile can make them wrap.
    for (int64_t x = 0; x <= width; x += tileWidth) {
        const int64_t height = Side(surface.InnerHeight());
        const int64_t tileHeight = surface.HimetricToPixelsY(picture.HeightHimetric());
        if (tileHeight <= 0)
            return;
        for (int64_t y = 0; y <= height; y += tileHeight)
            surface.DrawPicture(picture, static_cast<int>(x), static_cast<int>(y));
    }
}

void StretchPicture(const GraphPicture& picture, IGraphSurface& surface) {
    const int width = static_cast<int>(Side(surface.InnerWidth()));
    const int height = static_cast<int>(Side(surface.InnerHeight()));
    const int pictureWidth = surface.HimetricToPixelsX(picture.WidthHimetric());
    const int pictureHeight = surface.HimetricToPixelsY(picture.HeightHimetric());
    surface.DrawPicture(picture, 0, 0, width, height, 0, 0, pictureWidth, pictureHeight);
}
