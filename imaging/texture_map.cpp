#include "imaging/texture_map.h"

#include <algorithm>
#include <cstdlib>

namespace tavrel {
namespace {

constexpr int32_t kRadius = 2;

// Sums of 2 kRadius + 1 neighbours along a line, clamped at both ends.
void BoxSum(const int32_t* in, std::ptrdiff_t step, int32_t count, int32_t* out) {
    int32_t sum = 0;
    const auto at = [&](int32_t i) { return in[std::clamp(i, 0, count - 1) * step]; };
    for (int32_t i = -kRadius; i <= kRadius; ++i) {
        sum += at(i);
    }
    for (int32_t i = 0; i < count; ++i) {
        out[i * step] = sum;
        sum += at(i + kRadius + 1) - at(i - kRadius);
    }
}

}  // namespace

std::vector<uint8_t> TextureMap(const TrueColourView& picture) {
    const int32_t width = picture.width;
    const int32_t height = picture.height;
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<int32_t> detail(size);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = picture.Row(y);
        const uint8_t* up = picture.Row(std::max(y - 1, 0));
        const uint8_t* down = picture.Row(std::min(y + 1, height - 1));
        for (int32_t x = 0; x < width; ++x) {
            const std::ptrdiff_t left = 4 * std::max(x - 1, 0);
            const std::ptrdiff_t right = 4 * std::min(x + 1, width - 1);
            const std::ptrdiff_t here = 4 * static_cast<std::ptrdiff_t>(x);
            int32_t sum = 0;
            for (int c = 0; c < 3; ++c) {
                const int32_t centre = 2 * row[here + c];
                sum += std::abs(centre - row[left + c] - row[right + c]) +
                       std::abs(centre - up[here + c] - down[here + c]);
            }
            detail[static_cast<std::size_t>(y) * width + x] = sum;
        }
    }
    std::vector<int32_t> rows(size);
    for (int32_t y = 0; y < height; ++y) {
        const std::size_t start = static_cast<std::size_t>(y) * width;
        BoxSum(&detail[start], 1, width, &rows[start]);
    }
    for (int32_t x = 0; x < width; ++x) {
        BoxSum(&rows[x], width, height, &detail[x]);
    }
    std::vector<uint8_t> map(size);
    constexpr int32_t kWindow = (2 * kRadius + 1) * (2 * kRadius + 1);
    for (std::size_t i = 0; i < size; ++i) {
        map[i] = static_cast<uint8_t>(std::min(detail[i] / kWindow, kMaxTexture));
    }
    return map;
}

}  // namespace tavrel
