// One frame of a grid-like paint: a 1000 x 800 canvas of 40 x 30 cells,
// each filled, lined and given a short text. Time per iteration = time per frame.

#include "framework/Graphics.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int Width = 1000, Height = 800, Cols = 40, Rows = 30;

void PaintFrame(TCanvas& c, const std::vector<String>& texts, int frame) {
    c.Font().SetName(S("Tahoma"));
    c.Font().SetHeight(-11);
    for (int r = 0; r < Rows; ++r) {
        const int top = r * Height / Rows, bottom = (r + 1) * Height / Rows;
        for (int k = 0; k < Cols; ++k) {
            const int left = k * Width / Cols, right = (k + 1) * Width / Cols;
            const TRect cell = Rect(left, top, right - 1, bottom - 1);
            c.Brush().SetColor(((r + k + frame) & 1) ? clWindow : clInfoBk);
            c.FillRect(cell);
            c.Pen().SetColor(clSilver);
            c.MoveTo(right - 1, top);
            c.LineTo(right - 1, bottom);
            c.MoveTo(left, bottom - 1);
            c.LineTo(right, bottom - 1);
            c.Font().SetColor(r == 0 ? clHighlight : clWindowText);
            c.TextRect(cell, left + 2, top + 2, texts[r * Cols + k]);
        }
    }
}

void BM_CanvasGridFrame(benchmark::State& state) {
    TBitmap bmp(Width, Height);
    std::vector<String> texts;
    for (int r = 0; r < Rows; ++r)
        for (int k = 0; k < Cols; ++k)
            texts.push_back(S(std::to_string(r * 100 + k)));
    int frame = 0;
    for (auto _ : state) {
        PaintFrame(bmp.Canvas(), texts, frame++);
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = Cols * Rows;
}
BENCHMARK(BM_CanvasGridFrame)->Unit(benchmark::kMillisecond);

void BM_CanvasFillOnly(benchmark::State& state) {
    TBitmap bmp(Width, Height);
    TCanvas& c = bmp.Canvas();
    int frame = 0;
    for (auto _ : state) {
        for (int r = 0; r < Rows; ++r)
            for (int k = 0; k < Cols; ++k) {
                c.Brush().SetColor(((r + k + frame) & 1) ? clWindow : clInfoBk);
                c.FillRect(Rect(k * Width / Cols, r * Height / Rows, (k + 1) * Width / Cols, (r + 1) * Height / Rows));
            }
        ++frame;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CanvasFillOnly)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {
void BM_CanvasTextOnly(benchmark::State& state) {
    TBitmap bmp(Width, Height);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetStyle(bsClear);
    for (auto _ : state) {
        for (int r = 0; r < Rows; ++r)
            for (int k = 0; k < Cols; ++k)
                c.TextOut(k * Width / Cols + 2, r * Height / Rows + 2, S("1234"));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CanvasTextOnly)->Unit(benchmark::kMillisecond);

void BM_CanvasLinesOnly(benchmark::State& state) {
    TBitmap bmp(Width, Height);
    TCanvas& c = bmp.Canvas();
    for (auto _ : state) {
        for (int r = 0; r < Rows; ++r)
            for (int k = 0; k < Cols; ++k) {
                const int left = k * Width / Cols, right = (k + 1) * Width / Cols;
                const int top = r * Height / Rows, bottom = (r + 1) * Height / Rows;
                c.MoveTo(right - 1, top);
                c.LineTo(right - 1, bottom);
                c.MoveTo(left, bottom - 1);
                c.LineTo(right, bottom - 1);
            }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CanvasLinesOnly)->Unit(benchmark::kMillisecond);
}  // namespace
