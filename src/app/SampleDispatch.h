#pragma once
#include <cstdint>
#include <string>

// What one sample shows in the tray: which of the four pictures, and the tooltip text.
enum class TrayPicture { InOut, Out, In, None };

// A direction counts as active from 1 octet up; zero and negative values are no traffic.
TrayPicture TrayPictureFor(int32_t lIn, int32_t lOut);

// "Vantorel In: 1.5kb/s Out: 0kb/s": each rate in kilobytes per second, rounded to one decimal with
// ties to even, in its shortest form with the user's decimal separator.
std::string TrayTooltipText(int32_t lIn, int32_t lOut);
