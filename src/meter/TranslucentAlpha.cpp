#include "meter/TranslucentAlpha.h"

#include "app/Convert.h"

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
