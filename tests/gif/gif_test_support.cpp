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
    const std::size_t count =
        std::min(reader->bytes->size() - reader->position, static_cast<std::size_t>(wanted));
    std::memcpy(out, reader->bytes->data() + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

// DGifSlurp keeps the NETSCAPE2.0 block and its data sub-block with the first image.
int LoopCountOf(const SavedImage& image) {
    for (int i = 0; i + 1 < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& id = image.ExtensionBlocks[i];
        const ExtensionBlock& data = image.ExtensionBlocks[i + 1];
        if (id.Function == APPLICATION_EXT_FUNC_CODE && id.ByteCount == 11 &&
            std::memcmp(id.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3 &&
            data.Bytes[0] == 1) {
            return data.Bytes[1] | data.Bytes[2] << 8;
        }
    }
    return -1;
}

}  // namespace

std::vector<uint8_t> RandomIndices(std::size_t count, uint8_t bits, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(count);
    for (auto& value : indices) {
        value = static_cast<uint8_t>(random() >> (32 - bits));
    }
    return indices;
}

std::vector<uint8_t> PhotoLikeIndices(int width, int height, uint8_t bits, uint32_t seed) {
    std::mt19937 random(seed);
    const int levels = 1 << bits;
    std::vector<uint8_t> indices(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
        const int value = (x + y) * levels / (width + height) + static_cast<int>(random() % 3) - 1;
        indices[i] = static_cast<uint8_t>(std::clamp(value, 0, levels - 1));
    }
    return indices;
}

DecodedGif DecodeWithGiflib(const std::vector<uint8_t>& bytes) {
    DecodedGif result;
    MemoryReader reader{&bytes};
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &result.error);
    if (gif == nullptr) {
        return result;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        result.error = gif->Error;
    }
    result.screenWidth = gif->SWidth;
    result.screenHeight = gif->SHeight;
    if (gif->ImageCount > 0) {
        result.loopCount = LoopCountOf(gif->SavedImages[0]);
    }
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        DecodedFrame& frame = result.frames.emplace_back();
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        if (const ColorMapObject* map = image.ImageDesc.ColorMap) {
            frame.tableBits = map->BitsPerPixel;
            for (int c = 0; c < map->ColorCount; ++c) {
                frame.palette.insert(frame.palette.end(), {map->Colors[c].Red, map->Colors[c].Green,
                                                           map->Colors[c].Blue});
            }
        }
        if (image.RasterBits != nullptr) {
            frame.indices.assign(image.RasterBits, image.RasterBits + frame.width * frame.height);
        }
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.delay = control.DelayTime;
            frame.disposal = control.DisposalMode;
            frame.transparent = control.TransparentColor;
        }
    }
    int closeError = 0;
    DGifCloseFile(gif, &closeError);
    return result;
}

}  // namespace tavrel::test
