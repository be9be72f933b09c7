#include "gif_test_support.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace tavrel::test {

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
        const int value = static_cast<int>(i % width + i / width) * levels / (width + height) +
                          static_cast<int>(random() % 3) - 1;
        indices[i] = static_cast<uint8_t>(std::clamp(value, 0, levels - 1));
    }
    return indices;
}

std::vector<uint16_t> LinearScanLzwCodes(const uint8_t* px, std::size_t n, uint8_t bits) {
    const uint32_t first = (1u << bits) + 2;
    // Entry i (code first + i) is the string of code .first followed by pixel .second. An
    // entry always comes after the entry of its prefix, so one forward scan finds a match.
    std::vector<std::pair<uint32_t, uint32_t>> table;
    std::vector<uint16_t> codes;
    for (std::size_t pos = 0; pos < n;) {
        uint32_t current = px[pos++];
        for (std::size_t i = 0; i < table.size() && pos < n; ++i) {
            if (table[i] == std::pair<uint32_t, uint32_t>(current, px[pos])) {
                current = first + static_cast<uint32_t>(i);
                ++pos;
            }
        }
        codes.push_back(static_cast<uint16_t>(current));
        if (pos < n && first + table.size() == 4096) {
            table.clear();  // code 4095 was the last: a new table starts at the next pixel
        } else if (pos < n) {
            table.emplace_back(current, px[pos]);
        }
    }
    return codes;
}

DecodedGif DecodeWithGiflib(const std::vector<uint8_t>& bytes) {
    DecodedGif result;
    std::pair<const std::vector<uint8_t>*, std::size_t> source{&bytes, 0};
    GifFileType* gif = DGifOpen(
        &source,
        [](GifFileType* file, GifByteType* out, int wanted) {
            auto& [data, at] = *static_cast<decltype(source)*>(file->UserData);
            const std::size_t count = std::min<std::size_t>(data->size() - at, wanted);
            std::memcpy(out, data->data() + at, count);
            at += count;
            return static_cast<int>(count);
        },
        &result.error);
    if (gif == nullptr) {
        return result;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        result.error = gif->Error;
    }
    result.screenWidth = gif->SWidth;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        DecodedFrame& frame = result.frames.emplace_back();
        frame.left = image.ImageDesc.Left;
        frame.top = image.ImageDesc.Top;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        static_assert(sizeof(GifColorType) == 3);
        if (const ColorMapObject* map = image.ImageDesc.ColorMap) {
            frame.tableBits = map->BitsPerPixel;
            const auto* rgb = reinterpret_cast<const uint8_t*>(map->Colors);
            frame.palette.assign(rgb, rgb + 3 * map->ColorCount);
        }
        if (image.RasterBits != nullptr) {
            frame.indices.assign(image.RasterBits, image.RasterBits + frame.width * frame.height);
        }
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.delay = control.DelayTime;
            frame.transparent = control.TransparentColor;
            frame.disposal = control.DisposalMode;
        }
    }
    DGifCloseFile(gif, nullptr);
    return result;
}

std::vector<std::vector<uint8_t>> ComposeFrames(const DecodedGif& gif, int screenHeight) {
    const int width = gif.screenWidth;
    std::vector<uint8_t> screen(3 * static_cast<std::size_t>(width) * screenHeight, 0);
    std::vector<std::vector<uint8_t>> shown;
    for (const DecodedFrame& frame : gif.frames) {
        const std::vector<uint8_t> before = screen;
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                const int index = frame.indices[static_cast<std::size_t>(y) * frame.width + x];
                const int sx = frame.left + x;
                const int sy = frame.top + y;
                if (index == frame.transparent || sx >= width || sy >= screenHeight) {
                    continue;
                }
                std::memcpy(&screen[3 * (static_cast<std::size_t>(sy) * width + sx)],
                            &frame.palette[3 * static_cast<std::size_t>(index)], 3);
            }
        }
        shown.push_back(screen);
        if (frame.disposal == DISPOSE_PREVIOUS) {
            screen = before;
        } else if (frame.disposal == DISPOSE_BACKGROUND) {
            for (int y = frame.top; y < std::min(frame.top + frame.height, screenHeight); ++y) {
                for (int x = frame.left; x < std::min(frame.left + frame.width, width); ++x) {
                    std::memset(&screen[3 * (static_cast<std::size_t>(y) * width + x)], 0, 3);
                }
            }
        }
    }
    return shown;
}

}  // namespace tavrel::test
