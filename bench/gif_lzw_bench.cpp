// LZW coding and packing of one 530 x 530 photo-like frame at 8 bits, against giflib.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <set>
#include <vector>

#include "gif/gif_writer.h"
#include "gif/lzw_codes.h"
#include "gif/lzw_packer.h"
#include "gif/output_file.h"
#include "gif_bench_picture.h"

namespace {

using tavrel::bench::kPictureSize;

const std::vector<uint8_t>& Indices() {
    static const std::vector<uint8_t> indices = tavrel::bench::PhotoLikeIndices();
    return indices;
}

const std::vector<uint8_t>& Palette() {
    static const std::vector<uint8_t> palette = tavrel::bench::ThreeThreeTwoPalette();
    return palette;
}

void ReportPicture(benchmark::State& state, std::size_t outputBytes) {
    const std::set<uint8_t> colours(Indices().begin(), Indices().end());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Indices().size()));
    state.counters["output_bytes"] = static_cast<double>(outputBytes);
    state.counters["colours"] = static_cast<double>(colours.size());
}

// BuildLzwCodes and WriteLzwCodeStream: the image data of one frame.
void BM_TavrelLzwCodeAndPack(benchmark::State& state) {
    const std::vector<uint8_t>& indices = Indices();
    std::size_t outputBytes = 0;
    for (auto _ : state) {
        tavrel::MemoryOutputFile file;
        const tavrel::LzwCodeList list = tavrel::BuildLzwCodes(indices.data(), indices.size(), 8);
        tavrel::WriteLzwCodeStream(file, list.codes.data(), list.count, 8);
        outputBytes = file.Bytes().size();
        benchmark::DoNotOptimize(file.Bytes().data());
    }
    ReportPicture(state, outputBytes);
}
BENCHMARK(BM_TavrelLzwCodeAndPack)->Unit(benchmark::kMillisecond);

// A whole one-frame file: header, frame and trailer.
void BM_TavrelWholeFile(benchmark::State& state) {
    const std::vector<uint8_t>& indices = Indices();
    std::size_t outputBytes = 0;
    for (auto _ : state) {
        tavrel::MemoryOutputFile file;
        tavrel::WriteGifHeader(file, kPictureSize, kPictureSize, 8);
        tavrel::WriteGifFrame(file, indices.data(), Palette().data(), kPictureSize, kPictureSize, 8,
                              80, tavrel::kNoTransparentColour);
        tavrel::WriteGifTrailer(file);
        outputBytes = file.Bytes().size();
        benchmark::DoNotOptimize(file.Bytes().data());
    }
    ReportPicture(state, outputBytes);
}
BENCHMARK(BM_TavrelWholeFile)->Unit(benchmark::kMillisecond);

int AppendToVector(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

// giflib's encoder on the same indices: screen, image descriptor, one EGifPutLine call.
void BM_GiflibPutLine(benchmark::State& state) {
    std::vector<uint8_t> indices = Indices();  // EGifPutLine takes a non-const line
    std::vector<GifColorType> colours(256);
    std::memcpy(colours.data(), Palette().data(), Palette().size());
    std::size_t outputBytes = 0;
    for (auto _ : state) {
        std::vector<uint8_t> out;
        int error = 0;
        GifFileType* gif = EGifOpen(&out, AppendToVector, &error);
        ColorMapObject* map = GifMakeMapObject(256, colours.data());
        const bool ok =
            gif != nullptr && map != nullptr &&
            EGifPutScreenDesc(gif, kPictureSize, kPictureSize, 8, 0, nullptr) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, kPictureSize, kPictureSize, false, map) == GIF_OK &&
            EGifPutLine(gif, indices.data(), static_cast<int>(indices.size())) == GIF_OK;
        GifFreeMapObject(map);
        if (gif != nullptr) {
            EGifCloseFile(gif, &error);
        }
        if (!ok) {
            state.SkipWithError("giflib failed to encode");
            break;
        }
        outputBytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    ReportPicture(state, outputBytes);
}
BENCHMARK(BM_GiflibPutLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
