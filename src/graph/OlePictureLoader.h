#pragma once
#include "graph/GraphPicture.h"
#include "graph/PictureLimits.h"

#include <windows.h>

// Pictures decoded by the system: files through OleLoadPicturePath (bitmap, icon, JPEG, GIF; whatever
// the system's picture object reads) and bitmap resources of the executable through LoadImageA, by
// name without regard to case. Error numbers are the HRESULT of the decoder or of this loader's own
// checks, and for resources the Win32 error code of the lookup. A file too large for a graph background
// (PictureLimits.h) is refused before it is decoded. A file loaded again while its picture is still
// held (the meter's graph and the theme editor's sample) is not decoded again: the same picture is
// shared.
class OlePictureLoader final : public IPictureLoader {
public:
    PictureLoadResult LoadPictureFile(const std::string& path) override;
    PictureLoadResult LoadResPicture(const std::string& name) override;

    // The one loader of the program, for SetPictureLoader at start.
    static OlePictureLoader& Instance();
};
