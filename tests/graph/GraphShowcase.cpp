// Shows graphs on PictureBox surfaces so that they can be looked at in a screenshot:
//   graph_showcase WIDTH HEIGHT SECONDS STYLE...
// Each style gets its own surface of WIDTH x HEIGHT with the same varied history, laid out in columns.
#include "graph/OlePictureLoader.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {
// Quiet stretches, downloads, uploads and a few peaks above the scale the graph starts with.
void FeedVariedTraffic(cGraph& graph) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<int32_t> noise(0, 2500);
    for (int i = 0; i < 1000; ++i) {
        const int phase = (i / 60) % 5;
        int32_t in = noise(random) / 4, out = noise(random) / 6;
        if (phase == 1)
            in = 30000 + noise(random) * 8; // a download
        if (phase == 3)
            out = 15000 + noise(random) * 4; // an upload
        if (phase == 4) {
            in = 12000 + noise(random) * 3;
            out = 9000 + noise(random) * 3; // both ways
        }
        if (i % 97 == 0)
            in = 70000; // a peak
        graph.AddData(in, out);
    }
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 5)
        return 2;
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]), seconds = std::atoi(argv[3]);
    SetPictureLoader(&OlePictureLoader::Instance());

    const int gap = 12, labelHeight = 18, perColumn = std::max(1, 660 / (height + gap + labelHeight));
    const int count = argc - 4;
    const int columns = (count + perColumn - 1) / perColumn;
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = "GraphShowcase";
    RegisterClassA(&wc);
    RECT frame{0, 0, columns * (width + gap) + gap,
               std::min(count, perColumn) * (height + gap + labelHeight) + gap};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, "GraphShowcase", "Graph styles", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  wc.hInstance, nullptr);

    std::vector<std::unique_ptr<PictureBox>> boxes;
    std::vector<std::unique_ptr<cGraph>> graphs;
    const char* names[] = {"0 Standard", "1 Task Manager", "2 Clouds", "3 River"};
    for (int i = 0; i < count; ++i) {
        const int style = std::atoi(argv[4 + i]);
        const int x = gap + (i / perColumn) * (width + gap);
        const int y = gap + (i % perColumn) * (height + gap + labelHeight);
        CreateWindowExA(0, "STATIC", style >= 0 && style <= 3 ? names[style] : "?", WS_CHILD | WS_VISIBLE, x,
                        y, width, labelHeight - 2, window, nullptr, wc.hInstance, nullptr);
        auto box = std::make_unique<PictureBox>();
        box->Create(window, x, y + labelHeight, width, height);
        auto graph = std::make_unique<cGraph>();
        graph->SetStyle(style);
        graph->SetAutoScale(true);
        graph->SetScaleValue(20000);
        FeedVariedTraffic(*graph);
        graph->SetPicture(box.get());
        graph->DrawGraph(true, true);
        boxes.push_back(std::move(box));
        graphs.push_back(std::move(graph));
    }

    SetTimer(window, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window)
            DestroyWindow(window);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    for (auto& graph : graphs)
        graph->SetPicture(nullptr);
    return 0;
}
