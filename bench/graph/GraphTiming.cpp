// Cost of one sample on the Win32 surface (AddData plus DrawGraph) beside one full-surface copy.
// Prints microseconds per operation; run under Wine or on Windows.
#include "graph/PictureBox.h"
#include "graph/cGraph.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

namespace {
// The machine is shared: each figure is the best of several rounds, the cost without interruptions.
double Microseconds(int count, const std::function<void()>& step) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < count / 10; ++i) // warm up
        step();
    double best = 1e300;
    const int rounds = 9, perRound = std::max(count / rounds, 1);
    for (int round = 0; round < rounds; ++round) {
        LARGE_INTEGER start, end;
        GdiFlush();
        QueryPerformanceCounter(&start);
        for (int i = 0; i < perRound; ++i)
            step();
        GdiFlush();
        QueryPerformanceCounter(&end);
        best = std::min(best, (end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart / perRound);
    }
    return best;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

void Measure(HWND host, int width, int height) {
    PictureBox box;
    box.Create(host, 0, 0, width, height);
    Pump();
    const int count = width * height > 100000 ? 1000 : 4000;

    // One plain copy of the whole surface, memory to memory, and onto the window.
    HDC other = CreateCompatibleDC(box.CanvasDC());
    HBITMAP bitmap = CreateCompatibleBitmap(box.CanvasDC(), width, height);
    HGDIOBJ old = SelectObject(other, bitmap);
    const double copy =
        Microseconds(count, [&] { BitBlt(box.CanvasDC(), 0, 0, width, height, other, 0, 0, SRCCOPY); });
    HDC window = GetDC(box.Window());
    const double present = Microseconds(count, [&] { box.Paint(window); });
    ReleaseDC(box.Window(), window);
    SelectObject(other, old);
    DeleteObject(bitmap);
    DeleteDC(other);
    std::printf("%4d x %-3d  full-surface copy %8.1f us   (copy to the window %8.1f us)\n", width, height,
                copy, present);

    for (int style : {0, 1}) {
        for (bool typical : {false, true}) {
            cGraph graph;
            graph.SetStyle(style);
            graph.SetScaleValue(1000);
            graph.SetPicture(&box);
            std::mt19937 random(1);
            std::uniform_int_distribution<int32_t> quarter(0, 250);
            const auto sample = [&] {
                if (typical)
                    graph.AddData(quarter(random), quarter(random));
                else
                    graph.AddData(1000, 1000);
            };
            for (int i = 0; i < 1000; ++i)
                sample();
            graph.DrawGraph(true, true);
            const double redraw = Microseconds(count, [&] {
                sample();
                graph.DrawGraph(true, false);
            });
            std::printf("            style %d %-12s AddData+DrawGraph %8.1f us = %4.2f copies\n", style,
                        typical ? "typical" : "full height", redraw, redraw / copy);
            graph.SetPicture(nullptr);
        }
    }
}
} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GraphTimingHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "GraphTimingHost", "graph timing", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 300,
                                nullptr, nullptr, wc.hInstance, nullptr);
    Measure(host, 200, 64);
    Measure(host, 1000, 300);
    DestroyWindow(host);
    return 0;
}
