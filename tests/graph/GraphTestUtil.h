#pragma once
#include "app/mLogging.h"
#include "graph/GraphPicture.h"
#include "graph/GraphSurface.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// The log lines written since this object was made, without their time stamps (the log of the test
// process is switched on once).
class LogCapture {
public:
    LogCapture() : m_start(ReadAll().size()) {}
    std::string Text() const {
        std::istringstream lines(ReadAll().substr(m_start));
        std::string line, text;
        while (std::getline(lines, line)) {
            const size_t stamp = line.find(": ");
            text += (stamp == std::string::npos ? line : line.substr(stamp + 2)) + "\n";
        }
        return text;
    }

private:
    static const std::string& Path() {
        static const std::string path = [] {
            const std::string p = (std::filesystem::temp_directory_path() /
                                   ("graph-log-" + std::to_string(std::random_device()()) + ".txt"))
                                      .string();
            SetLoggingSwitch(true);
            OpenLog(p);
            return p;
        }();
        return path;
    }
    static std::string ReadAll() {
        const std::string& path = Path();
        FlushLog();
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    size_t m_start;
};

// A picture of one colour (0xAABBGGRR) whose natural size at 96 dpi is its pixel size.
inline std::shared_ptr<const GraphPicture> SolidPicture(int width, int height, uint32_t colour) {
    return std::make_shared<GraphPicture>(width, height,
                                          std::vector<uint32_t>(static_cast<size_t>(width) * height, colour),
                                          PixelsToHimetric(width, 96), PixelsToHimetric(height, 96));
}

// Serves pictures and failures by name and remembers what it was asked for.
class FakePictureLoader : public IPictureLoader {
public:
    struct Entry {
        int32_t error = 0;
        std::shared_ptr<const GraphPicture> picture;
    };
    std::map<std::string, Entry> files, resources;
    std::vector<std::string> asked;
    bool throwOnLoad = false;

    PictureLoadResult LoadPictureFile(const std::string& path) override {
        return Find(files, "file:" + path, path);
    }
    PictureLoadResult LoadResPicture(const std::string& name) override {
        return Find(resources, "res:" + name, name);
    }

private:
    PictureLoadResult Find(const std::map<std::string, Entry>& table, const std::string& note,
                           const std::string& key) {
        asked.push_back(note);
        if (throwOnLoad)
            throw std::runtime_error("decoder failed");
        const auto it = table.find(key);
        if (it == table.end())
            return {53, nullptr};
        return {it->second.error, it->second.picture};
    }
};

// Installs a loader for the life of a test and puts back the previous one.
class ScopedLoader {
public:
    explicit ScopedLoader(IPictureLoader* loader) : m_previous(PictureLoader()) { SetPictureLoader(loader); }
    ~ScopedLoader() { SetPictureLoader(m_previous); }

private:
    IPictureLoader* m_previous;
};

// Records the calls a drawing makes, for order and argument checks.
class RecordingSurface : public IGraphSurface {
public:
    std::vector<std::string> calls;
    double width = 200, height = 100;
    int penWidth = 1;

    void BeginDraw() override { calls.push_back("begin"); }
    void EndDraw() override { calls.push_back("end"); }
    void SetBackColor(int32_t c) override { m_back = c; }
    int32_t BackColor() const override { return m_back; }
    void Clear() override { calls.push_back("clear"); }
    void RemoveBackgroundImage() override { calls.push_back("remove"); }
    void SnapshotAsBackgroundImage() override { calls.push_back("snapshot"); }
    double InnerWidth() const override { return width; }
    double InnerHeight() const override { return height; }
    double OuterWidth() const override { return width; }
    double OuterHeight() const override { return height; }
    void SetPenColor(int32_t c) override { calls.push_back("pen " + std::to_string(c)); }
    void SetPenStyle(PenStyle) override {}
    int PenWidth() const override { return penWidth; }
    void Line(float x1, float y1, float x2, float y2) override {
        calls.push_back("line " + N(x1) + "," + N(y1) + " " + N(x2) + "," + N(y2));
    }
    void SetPixel(float x, float y) override { calls.push_back("pixel " + N(x) + "," + N(y)); }
    TextSize MeasureText(const std::string& text) override { return {text.size() * 6.0, 13}; }
    void PrintText(float, float, const std::string& text) override { calls.push_back("text " + text); }
    int HimetricToPixelsX(int32_t h) const override { return HimetricToPixels(h, 96); }
    int HimetricToPixelsY(int32_t h) const override { return HimetricToPixels(h, 96); }
    void DrawPicture(const GraphPicture&, int x, int y) override {
        calls.push_back("picture " + std::to_string(x) + "," + std::to_string(y));
    }
    void DrawPicture(const GraphPicture&, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                     int sh) override {
        calls.push_back("stretch " + std::to_string(dx) + "," + std::to_string(dy) + "," +
                        std::to_string(dw) + "," + std::to_string(dh) + " from " + std::to_string(sx) + "," +
                        std::to_string(sy) + "," + std::to_string(sw) + "," + std::to_string(sh));
    }

private:
    static std::string N(float v) {
        std::ostringstream s;
        s << v;
        return s.str();
    }
    int32_t m_back = 0;
};
