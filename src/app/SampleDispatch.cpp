#include "app/SampleDispatch.h"
#include "base/AppInfo.h"
#include "base/Convert.h"

TrayPicture TrayPictureFor(int32_t lIn, int32_t lOut) {
    const bool in = lIn >= 1;
    const bool out = lOut >= 1;
    if (in && out)
        return TrayPicture::InOut;
    if (out)
        return TrayPicture::Out;
    if (in)
        return TrayPicture::In;
    return TrayPicture::None;
}

std::string TrayTooltipText(int32_t lIn, int32_t lOut) {
    auto rate = [](int32_t octets) { return FormatNumber(RoundDecimals(octets / 1024.0, 1)); };
    return std::string(kAppTitle) + " In: " + rate(lIn) + "kb/s Out: " + rate(lOut) + "kb/s";
}
