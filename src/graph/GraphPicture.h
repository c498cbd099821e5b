#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A decoded picture: pixels at its own size plus its natural size in HIMETRIC (0.01 mm), which the
// surface turns into pixels with its own resolution. Immutable once made, so surfaces may cache it.
class GraphPicture {
public:
    // Sides above this do not fit the 16-bit counters pictures are measured with.
    static constexpr int kMaxSide = 32767;

    // `pixels` holds width x height values 0xAABBGGRR, top row first. Raises AppError 6 when a side is
    // outside 0..kMaxSide, 5 when the pixel count does not match.
    GraphPicture(int width, int height, std::vector<uint32_t> pixels, int32_t widthHimetric,
                 int32_t heightHimetric);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int32_t WidthHimetric() const { return m_widthHimetric; }
    int32_t HeightHimetric() const { return m_heightHimetric; }
    const uint32_t* Pixels() const { return m_pixels.data(); }
    // True when any pixel is not fully opaque (icons, transparent GIFs).
    bool HasAlpha() const { return m_hasAlpha; }
    // Unique for the life of the process; surfaces key their caches on it.
    uint64_t Id() const { return m_id; }

private:
    int m_width;
    int m_height;
    std::vector<uint32_t> m_pixels;
    int32_t m_widthHimetric;
    int32_t m_heightHimetric;
    bool m_hasAlpha = false;
    uint64_t m_id;
};

// HIMETRIC and pixels at `dpi` dots per inch, rounded to nearest with ties to even.
int HimetricToPixels(int32_t himetric, int dpi);
int32_t PixelsToHimetric(int pixels, int dpi);

// The outcome of one load: the loader's error number (0 on success) and the picture on success.
struct PictureLoadResult {
    int32_t Error = 0;
    std::shared_ptr<const GraphPicture> Picture;
};

// Where pictures come from: files (bitmap, icon, JPEG, GIF) and the program's bitmap resources.
// A load never raises; every failure comes back as an error number.
class IPictureLoader {
public:
    virtual PictureLoadResult LoadPictureFile(const std::string& path) = 0;
    virtual PictureLoadResult LoadResPicture(const std::string& name) = 0;

protected:
    ~IPictureLoader() = default;
};

// The loader graphs use; the Win32 program installs the system's decoder at start.
void SetPictureLoader(IPictureLoader* loader);
IPictureLoader* PictureLoader();

// Error number of a load attempted before any loader was installed (E_NOINTERFACE).
constexpr int32_t kErrNoPictureLoader = static_cast<int32_t>(0x80004002u);
// Error number of data that is no usable picture (CTL_E_INVALIDPICTURE).
constexpr int32_t kErrInvalidPicture = static_cast<int32_t>(0x800A01E1u);
