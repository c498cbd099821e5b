#include "graph/OlePictureLoader.h"
#include "winsys/DibCanvas.h"
#include "winsys/Handles.h"
#include "winsys/SystemLibrary.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {
// The decoder lives in OLE's libraries, which most runs never need: they are loaded with the first
// picture file rather than at start, and stay from then on.
struct OleFunctions {
    HRESULT(WINAPI* initialize)(LPVOID, DWORD) = nullptr;
    void(WINAPI* uninitialize)() = nullptr;
    HRESULT(WINAPI* loadPicturePath)(LPOLESTR, LPUNKNOWN, DWORD, OLE_COLOR, REFIID, LPVOID*) = nullptr;
    bool Ready() const { return initialize && uninitialize && loadPicturePath; }
};

const OleFunctions& Ole() {
    static const OleFunctions functions = [] {
        OleFunctions f;
        f.initialize = SystemFunction<decltype(f.initialize)>("ole32.dll", "CoInitializeEx");
        f.uninitialize = SystemFunction<decltype(f.uninitialize)>("ole32.dll", "CoUninitialize");
        f.loadPicturePath = SystemFunction<decltype(f.loadPicturePath)>("oleaut32.dll", "OleLoadPicturePath");
        return f;
    }();
    return functions;
}

// COM for the length of one load; balanced only when this call started it.
class ComScope {
public:
    ComScope() : m_hr(Ole().initialize(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(m_hr))
            Ole().uninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_hr;
};

struct ReleaseCom {
    void operator()(IUnknown* p) const { p->Release(); }
};

constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000Eu);
constexpr int32_t kOverflow = 6; // a side beyond the 16-bit range that pictures are measured in

int32_t CheckSize(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0)
        return kErrInvalidPicture;
    if (width > GraphPicture::kMaxSide || height > GraphPicture::kMaxSide)
        return kOverflow;
    if (width * height > kMaxPicturePixels)
        return kOutOfMemory;
    return 0;
}

uint32_t FromBgra(uint32_t bgra, uint32_t alpha) {
    return (alpha << 24) | ((bgra >> 16) & 0xFF) | (bgra & 0xFF00) | ((bgra & 0xFF) << 16);
}

// Renders the picture once on black and once on white: where the two agree the pixel is opaque,
// where they differ the difference is how much of the ground shows through.
PictureLoadResult Decode(IPicture* picture, int width, int height, int32_t himetricWidth,
                         int32_t himetricHeight) {
    DibCanvas black(width, height), white(width, height);
    if (!black.Valid() || !white.Valid())
        return {kOutOfMemory, nullptr};
    PatBlt(black.Dc(), 0, 0, width, height, BLACKNESS);
    PatBlt(white.Dc(), 0, 0, width, height, WHITENESS);
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    picture->get_Type(&type);
    picture->get_Handle(&handle);
    for (const DibCanvas* t : {&black, &white}) {
        // Icons are drawn as the system draws icons, blending their alpha channel (Wine's Render
        // copies an icon's raw pixels instead).
        if (type == PICTYPE_ICON && handle) {
            if (!DrawIconEx(t->Dc(), 0, 0, reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle)), width,
                            height, 0, nullptr, DI_NORMAL))
                return {kErrInvalidPicture, nullptr};
            continue;
        }
        const HRESULT hr = picture->Render(t->Dc(), 0, 0, width, height, 0, himetricHeight, himetricWidth,
                                           -himetricHeight, nullptr);
        if (FAILED(hr))
            return {static_cast<int32_t>(hr), nullptr};
    }
    const size_t count = static_cast<size_t>(width) * height;
    std::vector<uint32_t> pixels(count);
    GdiFlush();
    const uint32_t* onBlack = black.Bits();
    const uint32_t* onWhite = white.Bits();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t b = onBlack[i] & 0xFFFFFF, w = onWhite[i] & 0xFFFFFF;
        if (b == w) {
            pixels[i] = FromBgra(b, 255);
            continue;
        }
        // On black a channel shows c * a, on white c * a + 255 * (1 - a).
        int gap = 0;
        for (int shift = 0; shift < 24; shift += 8)
            gap += static_cast<int>((w >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        gap /= 3;
        const uint32_t alpha = gap >= 255 ? 0 : gap <= 0 ? 255 : static_cast<uint32_t>(255 - gap);
        if (alpha == 0) {
            pixels[i] = 0;
            continue;
        }
        uint32_t straight = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t c = std::min<uint32_t>(255, (((b >> shift) & 0xFF) * 255 + alpha / 2) / alpha);
            straight |= c << shift;
        }
        pixels[i] = FromBgra(straight, alpha);
    }
    return {0,
            std::make_shared<GraphPicture>(width, height, std::move(pixels), himetricWidth, himetricHeight)};
}
// A bitmap file must hold all the pixel rows its header promises: the system's decoder would read
// a truncated one to its end and show whatever follows as pixels.
bool BitmapFileIsComplete(const std::string& path) {
    uint8_t h[54] = {};
    DWORD read = 0;
    LARGE_INTEGER size{};
    bool ok = false;
    {
        const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return true; // the decoder reports the missing file
        ok = ReadFile(file.Get(), h, sizeof h, &read, nullptr) && GetFileSizeEx(file.Get(), &size);
    }
    if (!ok || read < 2 || h[0] != 'B' || h[1] != 'M')
        return true; // not a bitmap file: nothing to check here
    if (read < 26)
        return false;
    const auto u16 = [&h](int at) { return static_cast<uint32_t>(h[at] | h[at + 1] << 8); };
    const auto u32 = [&h, &u16](int at) { return u16(at) | u16(at + 2) << 16; };
    const int64_t offset = u32(10);
    const uint32_t headerSize = u32(14);
    int64_t width = 0, height = 0, bits = 0, compression = 0, imageSize = 0;
    if (headerSize == 12) {
        width = u16(18);
        height = static_cast<int16_t>(u16(20));
        bits = u16(24);
    } else {
        if (read < 38)
            return false;
        width = static_cast<int32_t>(u32(18));
        height = static_cast<int32_t>(u32(22));
        bits = u16(28);
        compression = u32(30);
        imageSize = u32(34);
    }
    if (width <= 0 || height == 0 || bits == 0)
        return false;
    // Uncompressed rows are padded to 32 bits; compressed data is as long as the header says.
    const bool uncompressed = compression == BI_RGB || compression == BI_BITFIELDS || compression == 6;
    const int64_t need =
        uncompressed ? (width * bits + 31) / 32 * 4 * (height < 0 ? -height : height) : imageSize;
    return offset + need <= size.QuadPart;
}

// Refuses a file too large for a graph background from its size and its header alone, before the
// decoder reads it whole. `identity` gets what tells this version of the file from another.
int32_t CheckFileBeforeDecoding(const std::string& path, std::string& identity) {
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 0; // the decoder reports the missing file
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file.Get(), &info);
    const int64_t size = static_cast<int64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    int32_t error = known ? 0 : kErrInvalidPicture;
    if (known && size > kMaxPictureFileBytes)
        error = kErrPictureTooLarge;
    if (!error) {
        std::vector<uint8_t> head(static_cast<size_t>(std::min<int64_t>(size, kPictureHeadBytes)));
        DWORD read = 0;
        if (!head.empty() &&
            !ReadFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr))
            read = 0;
        error = CheckPictureFile(size, head.data(), read);
        identity = std::to_string(size) + "|" + std::to_string(info.ftLastWriteTime.dwHighDateTime) + "|" +
                   std::to_string(info.ftLastWriteTime.dwLowDateTime) + "|" + path;
    }
    return error;
}

// Pictures still held by someone, by file identity: a second load of the same file shares the first.
std::map<std::string, std::weak_ptr<const GraphPicture>>& HeldPictures() {
    static std::map<std::string, std::weak_ptr<const GraphPicture>> held;
    return held;
}
} // namespace

OlePictureLoader& OlePictureLoader::Instance() {
    static OlePictureLoader loader;
    return loader;
}

PictureLoadResult OlePictureLoader::LoadPictureFile(const std::string& path) {
    try {
        const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        if (length <= 0)
            return {static_cast<int32_t>(HRESULT_FROM_WIN32(GetLastError())), nullptr};
        std::vector<wchar_t> wide(static_cast<size_t>(length));
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);

        std::string identity;
        if (const int32_t error = CheckFileBeforeDecoding(path, identity))
            return {error, nullptr};
        std::erase_if(HeldPictures(), [](const auto& entry) { return entry.second.expired(); });
        if (const auto it = HeldPictures().find(identity); !identity.empty() && it != HeldPictures().end())
            if (auto picture = it->second.lock())
                return {0, std::move(picture)};
        if (!BitmapFileIsComplete(path))
            return {kErrInvalidPicture, nullptr};
        if (!Ole().Ready())
            return {static_cast<int32_t>(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)), nullptr};
        ComScope com;
        IPicture* raw = nullptr;
        const HRESULT hr =
            Ole().loadPicturePath(wide.data(), nullptr, 0, 0, IID_IPicture, reinterpret_cast<void**>(&raw));
        if (FAILED(hr) || !raw)
            return {FAILED(hr) ? static_cast<int32_t>(hr) : kErrInvalidPicture, nullptr};
        const std::unique_ptr<IPicture, ReleaseCom> picture(raw);

        OLE_XSIZE_HIMETRIC himetricWidth = 0;
        OLE_YSIZE_HIMETRIC himetricHeight = 0;
        if (FAILED(picture->get_Width(&himetricWidth)) || FAILED(picture->get_Height(&himetricHeight)))
            return {kErrInvalidPicture, nullptr};
        const WindowDc screen;
        const int64_t width = HimetricToPixels(himetricWidth, GetDeviceCaps(screen.Get(), LOGPIXELSX));
        const int64_t height = HimetricToPixels(himetricHeight, GetDeviceCaps(screen.Get(), LOGPIXELSY));
        if (const int32_t error = CheckSize(width, height))
            return {error, nullptr};
        PictureLoadResult result = Decode(picture.get(), static_cast<int>(width), static_cast<int>(height),
                                          himetricWidth, himetricHeight);
        if (result.Picture && !identity.empty())
            HeldPictures()[identity] = result.Picture;
        return result;
    } catch (const std::bad_alloc&) {
        return {kOutOfMemory, nullptr};
    }
}

PictureLoadResult OlePictureLoader::LoadResPicture(const std::string& name) {
    try {
        // String resource names are stored in upper case; the lookup upper-cases the name it is given.
        HANDLE handle =
            LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        if (!handle) {
            const DWORD error = GetLastError();
            return {static_cast<int32_t>(error ? error : ERROR_RESOURCE_NAME_NOT_FOUND), nullptr};
        }
        const UniqueBitmap bitmap(static_cast<HBITMAP>(handle));
        BITMAP info{};
        if (!GetObjectA(bitmap.Get(), sizeof info, &info))
            return {kErrInvalidPicture, nullptr};
        const int width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        if (const int32_t error = CheckSize(width, height))
            return {error, nullptr};

        DibCanvas target(width, height);
        if (!target.Valid())
            return {kOutOfMemory, nullptr};
        {
            const MemoryDc source(CreateCompatibleDC(target.Dc()));
            const SelectScope selected(source.Get(), bitmap.Get());
            BitBlt(target.Dc(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
        }
        const size_t count = static_cast<size_t>(width) * height;
        std::vector<uint32_t> pixels(count);
        GdiFlush();
        const uint32_t* bits = target.Bits();
        for (size_t i = 0; i < count; ++i)
            pixels[i] = FromBgra(bits[i], 255);
        // The natural size a picture object gives a bitmap: its pixels at the screen's resolution.
        const WindowDc screen;
        const int32_t himetricWidth = PixelsToHimetric(width, GetDeviceCaps(screen.Get(), LOGPIXELSX));
        const int32_t himetricHeight = PixelsToHimetric(height, GetDeviceCaps(screen.Get(), LOGPIXELSY));
        return {0, std::make_shared<GraphPicture>(width, height, std::move(pixels), himetricWidth,
                                                  himetricHeight)};
    } catch (const std::bad_alloc&) {
        return {kOutOfMemory, nullptr};
    }
}
