// One frame of the main job: a 530 x 530 24-bit photo-like picture converted to an indexed
// frame, and converted and written as a GIF frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <set>

#include "bitmap/dib_section.h"
#include "gif/gif_writer.h"
#include "gif/output_file.h"
#include "imaging/bitmap_to_indexed_frame.h"

namespace {

constexpr int32_t kSide = 530;

// Smooth gradients and soft waves with noise from a fixed-seed generator: tens of thousands
// of colours, much like a photograph, and the same pixels on every run.
tavrel::DibSection PhotoLikeBitmap() {
    tavrel::DibSection bitmap(kSide, kSide, 24);
    uint32_t state = 12345;
    const auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>(state >> 27) - 16;  // -16 to 15
    };
    const auto clamp = [](double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int32_t y = 0; y < kSide; ++y) {
        uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < kSide; ++x) {
            const double fx = x / double{kSide};
            const double fy = y / double{kSide};
            const double wave = std::sin(9.0 * fx + 4.0 * fy) * std::cos(7.0 * fy - 3.0 * fx);
            row[3 * x + 0] = clamp(60 + 150 * fy + 40 * wave + noise());
            row[3 * x + 1] = clamp(40 + 120 * fx * fy + 60 * wave + noise());
            row[3 * x + 2] = clamp(220 * fx + 30 * (1 - fy) - 50 * wave + noise());
        }
    }
    return bitmap;
}

const tavrel::DibSection& Picture() {
    static const tavrel::DibSection picture = PhotoLikeBitmap();
    return picture;
}

void CountColours(benchmark::State& state) {
    std::set<uint32_t> colours;
    const auto& picture = Picture();
    for (int32_t y = 0; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x) {
            const uint8_t* p = picture.Row(y) + 3 * x;
            colours.insert(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16);
        }
    }
    state.counters["colours"] = static_cast<double>(colours.size());
}

void BM_BitmapToIndexedFrame(benchmark::State& state) {
    const auto& picture = Picture();
    for (auto _ : state) {
        tavrel::IndexedFrame frame;
        benchmark::DoNotOptimize(tavrel::BitmapToIndexedFrame(picture, frame));
        benchmark::DoNotOptimize(frame.pIndices.data());
    }
    CountColours(state);
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_BitmapToIndexedFrame)->Unit(benchmark::kMillisecond);

void BM_ConvertAndWriteFrame(benchmark::State& state) {
    const auto& picture = Picture();
    for (auto _ : state) {
        tavrel::IndexedFrame frame;
        tavrel::BitmapToIndexedFrame(picture, frame);
        tavrel::MemoryOutputFile out;
        tavrel::WriteGifFrame(out, frame.pIndices.data(), frame.pPalette.data(),
                              static_cast<uint16_t>(frame.nWidth),
                              static_cast<uint16_t>(frame.nHeight), frame.nBitsPerPixel, 80,
                              tavrel::kNoTransparentColour);
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_ConvertAndWriteFrame)->Unit(benchmark::kMillisecond);

}  // namespace
