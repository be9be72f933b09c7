#include "imaging/texture_map.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

namespace tavrel {
namespace {

constexpr int32_t kRadius = 2;
constexpr int32_t kWindow = (2 * kRadius + 1) * (2 * kRadius + 1);

// The summed second differences of the three channels at byte offset here of row, with the
// neighbours at byte offsets left and right and in the rows above and below.
int32_t Detail(const uint8_t* up, const uint8_t* row, const uint8_t* down, std::ptrdiff_t here,
               std::ptrdiff_t left, std::ptrdiff_t right) {
    int32_t sum = 0;
    for (int c = 0; c < 3; ++c) {
        const int32_t centre = 2 * row[here + c];
        sum += std::abs(centre - row[left + c] - row[right + c]) +
               std::abs(centre - up[here + c] - down[here + c]);
    }
    return sum;
}

// Sums of 2 kRadius + 1 neighbours along a row, clamped at both ends; the middle, where no
// neighbour needs clamping, in one plain loop.
void BoxSumRow(const int32_t* in, int32_t count, int32_t* out) {
    const auto clamped = [&](int32_t i) {
        int32_t sum = 0;
        for (int32_t d = -kRadius; d <= kRadius; ++d) {
            sum += in[std::clamp(i + d, 0, count - 1)];
        }
        return sum;
    };
    const int32_t middleEnd = std::max(count - kRadius, kRadius);
    for (int32_t i = 0; i < std::min(kRadius, count); ++i) {
        out[i] = clamped(i);
    }
    for (int32_t i = kRadius; i < middleEnd; ++i) {
        out[i] = in[i - 2] + in[i - 1] + in[i] + in[i + 1] + in[i + 2];
    }
    for (int32_t i = std::max(middleEnd, kRadius); i < count; ++i) {
        out[i] = clamped(i);
    }
}

}  // namespace

std::vector<uint8_t> TextureMap(const TrueColourView& picture) {
    static_assert(kRadius == 2, "the plain sums below add five neighbours");
    const int32_t width = picture.width;
    const int32_t height = picture.height;
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // Every element is written before it is read: no need to clear them first.
    const auto detail = std::make_unique_for_overwrite<int32_t[]>(size);
    const auto rows = std::make_unique_for_overwrite<int32_t[]>(size);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = picture.Row(y);
        const uint8_t* up = picture.Row(std::max(y - 1, 0));
        const uint8_t* down = picture.Row(std::min(y + 1, height - 1));
        int32_t* out = &detail[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)];
        const std::ptrdiff_t last = 4 * static_cast<std::ptrdiff_t>(width - 1);
        out[0] = Detail(up, row, down, 0, 0, std::min<std::ptrdiff_t>(4, last));
        for (int32_t x = 1; x + 1 < width; ++x) {
            const std::ptrdiff_t here = 4 * static_cast<std::ptrdiff_t>(x);
            out[x] = Detail(up, row, down, here, here - 4, here + 4);
        }
        if (width > 1) {
            out[width - 1] = Detail(up, row, down, last, last - 4, last);
        }
        BoxSumRow(out, width, &rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)]);
    }
    std::vector<uint8_t> map(size);
    for (int32_t y = 0; y < height; ++y) {
        std::array<const int32_t*, 2 * kRadius + 1> r{};
        for (int32_t d = -kRadius; d <= kRadius; ++d) {
            const int32_t source = std::clamp(y + d, 0, height - 1);
            const int32_t slot = d + kRadius;
            r[static_cast<std::size_t>(slot)] =
                &rows[static_cast<std::size_t>(source) * static_cast<std::size_t>(width)];
        }
        uint8_t* out = map.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int32_t x = 0; x < width; ++x) {
            const int32_t sum = r[0][x] + r[1][x] + r[2][x] + r[3][x] + r[4][x];
            out[x] = static_cast<uint8_t>(std::min(sum / kWindow, kMaxTexture));
        }
    }
    return map;
}

}  // namespace tavrel
