#include "graph/GraphPicture.h"
#include "base/AppError.h"
#include "base/Convert.h"

#include <atomic>

namespace {
std::atomic<uint64_t> g_nextPictureId{1};
IPictureLoader* g_loader = nullptr;
} // namespace

GraphPicture::GraphPicture(int width, int height, std::vector<uint32_t> pixels, int32_t widthHimetric,
                           int32_t heightHimetric)
    : m_width(width), m_height(height), m_pixels(std::move(pixels)), m_widthHimetric(widthHimetric),
      m_heightHimetric(heightHimetric), m_id(g_nextPictureId++) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        throw AppError(kErrOverflow, "", "Overflow");
    if (widthHimetric < 0 || heightHimetric < 0 ||
        m_pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        throw AppError(5, "", "Invalid procedure call or argument");
    for (uint32_t p : m_pixels) {
        if ((p >> 24) != 0xFF) {
            m_hasAlpha = true;
            break;
        }
    }
}

int HimetricToPixels(int32_t himetric, int dpi) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(himetric) * dpi / 2540.0));
}

int32_t PixelsToHimetric(int pixels, int dpi) {
    if (dpi <= 0)
        return 0;
    return static_cast<int32_t>(RoundHalfEven(static_cast<double>(pixels) * 2540.0 / dpi));
}

void SetPictureLoader(IPictureLoader* loader) {
    g_loader = loader;
}
IPictureLoader* PictureLoader() {
    return g_loader;
}
