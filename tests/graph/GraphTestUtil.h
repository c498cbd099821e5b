#pragma once
#include "app/mLogging.h"
#include "graph/GraphPicture.h"
#include "graph/GraphSurface.h"

#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// The log lines written while this object lives, each as ": TEXT\r\n" (its clock reads nothing).
class LogCapture : ILogSystem {
public:
    LogCapture() {
        SetLogSystem(this);
        SetLoggingSwitch(true);
        OpenLog("graph");
    }
    ~LogCapture() override {
        CloseLog();
        SetLogSystem(nullptr);
    }
    std::string Text() {
        FlushLog();
        return m_text;
    }

private:
    struct Sink : ILogFile {
        explicit Sink(std::string& text) : text(text) {}
        bool Append(const std::string& bytes) override { return text += bytes, true; }
        std::string& text;
    };
    LogDateTime Now() override { return {}; }
    std::string ShortDate(const LogDateTime&) override { return ""; }
    std::string LongTime(const LogDateTime&) override { return ""; }
    std::unique_ptr<ILogFile> OpenForAppend(const std::string&) override {
        return std::make_unique<Sink>(m_text);
    }
    std::string m_text;
};

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

// Installs a loader for the life of a test and puts back the previous one.
class ScopedLoader {
public:
    explicit ScopedLoader(IPictureLoader* loader) : m_previous(PictureLoader()) { SetPictureLoader(loader); }
    ~ScopedLoader() { SetPictureLoader(m_previous); }

private:
    IPictureLoader* m_previous;
};

// Records the pen colours, lines and pictures a drawing sends, and draws nothing.
struct RecordingSurface : IGraphSurface {
    std::vector<std::string> calls;
    double width = 200, height = 100;
    int penWidth = 1;

    void BeginDraw() override {}
    void EndDraw() override {}
    void SetBackColor(int32_t) override {}
    int32_t BackColor() const override { return 0; }
    void Clear() override {}
    void RemoveBackgroundImage() override {}
    void SnapshotAsBackgroundImage() override {}
    double InnerWidth() const override { return width; }
    double InnerHeight() const override { return height; }
    double OuterWidth() const override { return width; }
    double OuterHeight() const override { return height; }
    void SetPenColor(int32_t c) override { Note("pen", {static_cast<double>(c)}); }
    void SetPenStyle(PenStyle) override {}
    int PenWidth() const override { return penWidth; }
    void Line(float x1, float y1, float x2, float y2) override { Note("line", {x1, y1, x2, y2}); }
    void SetPixel(float, float) override {}
    TextSize MeasureText(const std::string&) override { return {}; }
    void PrintText(float, float, const std::string&) override {}
    int HimetricToPixelsX(int32_t h) const override { return HimetricToPixels(h, 96); }
    int HimetricToPixelsY(int32_t h) const override { return HimetricToPixels(h, 96); }
    void DrawPicture(const GraphPicture&, int x, int y) override { Note("picture", {1.0 * x, 1.0 * y}); }
    void DrawPicture(const GraphPicture&, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                     int sh) override {
        Note("stretch", {1.0 * dx, 1.0 * dy, 1.0 * dw, 1.0 * dh, 1.0 * sx, 1.0 * sy, 1.0 * sw, 1.0 * sh});
    }
    void Note(const char* what, std::initializer_list<double> values) {
        std::ostringstream s;
        s.precision(10);
        s << what;
        for (double v : values)
            s << ' ' << v;
        calls.push_back(s.str());
    }
};
