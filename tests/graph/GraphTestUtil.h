#pragma once
#include "graph/GraphPicture.h"
#include "graph/GraphSurface.h"
#include "support/ScopedSeam.h"

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A picture of one colour (0xAABBGGRR) whose natural size at 96 dpi is its pixel size.
inline std::shared_ptr<const GraphPicture> SolidPicture(int width, int height, uint32_t colour) {
    return std::make_shared<GraphPicture>(width, height,
                                          std::vector<uint32_t>(static_cast<size_t>(width) * height, colour),
                                          PixelsToHimetric(width, 96), PixelsToHimetric(height, 96));
}

// Serves pictures, failures (53 for a name it does not know) and exceptions by name.
class FakePictureLoader : public IPictureLoader {
public:
    struct Entry {
        int32_t error = 0;
        std::shared_ptr<const GraphPicture> picture;
        bool throws = false;
    };
    std::map<std::string, Entry> files, resources;

    PictureLoadResult LoadPictureFile(const std::string& path) override { return Find(files, path); }
    PictureLoadResult LoadResPicture(const std::string& name) override { return Find(resources, name); }

private:
    static PictureLoadResult Find(const std::map<std::string, Entry>& table, const std::string& key) {
        const auto it = table.find(key);
        if (it != table.end() && it->second.throws)
            throw std::runtime_error("decoder failed");
        return it == table.end() ? PictureLoadResult{53, nullptr}
                                 : PictureLoadResult{it->second.error, it->second.picture};
    }
};

struct ScopedLoader : ScopedSeam<IPictureLoader*> {
    explicit ScopedLoader(IPictureLoader* loader) : ScopedSeam(PictureLoader, SetPictureLoader, loader) {}
};
