#pragma once
#include "graph/GraphPicture.h"

#include <windows.h>

// Pictures decoded by the system: files through OleLoadPicturePath (bitmap, icon, JPEG, GIF; whatever
// the system's picture object reads) and bitmap resources of the executable through LoadImageA, by
// name without regard to case. Error numbers are the HRESULT of the decoder or of this loader's own
// checks, and for resources the Win32 error code of the lookup.
class OlePictureLoader final : public IPictureLoader {
public:
    PictureLoadResult LoadPictureFile(const std::string& path) override;
    PictureLoadResult LoadResPicture(const std::string& name) override;

    // The one loader of the program, for SetPictureLoader at start.
    static OlePictureLoader& Instance();
};

// More pixels than this are refused as out of memory: a picture of that size cannot be a graph
// background, and decoding it would exhaust a 32-bit process.
constexpr int64_t kMaxPicturePixels = 64ll * 1024 * 1024;
