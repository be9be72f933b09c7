#include "gif_test_support.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace tavrel::test {
namespace {

struct MemoryReader {
    const std::vector<uint8_t>* bytes;
    std::size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int wanted) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t left = reader->bytes->size() - reader->position;
    const std::size_t count = std::min(left, static_cast<std::size_t>(wanted));
    std::memcpy(out, reader->bytes->data() + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

int LoopCountOf(const SavedImage& image) {
    for (int i = 0; i + 1 < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = image.ExtensionBlocks[i];
        const ExtensionBlock& data = image.ExtensionBlocks[i + 1];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3 &&
            data.Bytes[0] == 1) {
            return data.Bytes[1] | data.Bytes[2] << 8;
        }
    }
    return -1;
}

}  // namespace

std::vector<uint8_t> RandomIndices(std::size_t count, uint8_t bits, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> index(0, (1 << bits) - 1);
    std::vector<uint8_t> indices(count);
    for (auto& value : indices) {
        value = static_cast<uint8_t>(index(random));
    }
    return indices;
}

std::vector<uint8_t> PhotoLikeIndices(int width, int height, uint8_t bits, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-1, 1);
    const int levels = 1 << bits;
    std::vector<uint8_t> indices(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int value = (x * 3 + y * 2) * levels / (3 * width + 2 * height + 1);
            if ((x / 16 + y / 16) % 3 != 0) {  // some areas stay flat
                value += noise(random);
            }
            indices[static_cast<std::size_t>(y) * width + x] =
                static_cast<uint8_t>(std::clamp(value, 0, levels - 1));
        }
    }
    return indices;
}

std::vector<uint8_t> TestPalette(uint8_t bits, uint32_t seed) {
    std::vector<uint8_t> palette(std::size_t{3} << bits);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        palette[i] = static_cast<uint8_t>(i * 7 + seed);
    }
    return palette;
}

DecodedGif DecodeWithGiflib(const std::vector<uint8_t>& bytes) {
    DecodedGif result;
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (gif == nullptr) {
        result.error = error;
        return result;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        result.error = gif->Error;
    }
    result.screenWidth = gif->SWidth;
    result.screenHeight = gif->SHeight;
    result.colourResolution = gif->SColorResolution;
    result.hasGlobalColourTable = gif->SColorMap != nullptr;
    if (gif->ImageCount > 0) {
        result.loopCount = LoopCountOf(gif->SavedImages[0]);
    }
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        DecodedFrame frame;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        if (const ColorMapObject* map = image.ImageDesc.ColorMap) {
            frame.colourTableBits = map->BitsPerPixel;
            for (int c = 0; c < map->ColorCount; ++c) {
                frame.palette.push_back(map->Colors[c].Red);
                frame.palette.push_back(map->Colors[c].Green);
                frame.palette.push_back(map->Colors[c].Blue);
            }
        }
        if (image.RasterBits != nullptr) {
            frame.indices.assign(
                image.RasterBits,
                image.RasterBits + static_cast<std::size_t>(frame.width) * frame.height);
        }
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.delay = control.DelayTime;
            frame.disposal = control.DisposalMode;
            frame.transparent = control.TransparentColor;
        }
        result.frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &error);
    return result;
}

}  // namespace tavrel::test
