#include "imaging/fade_blend.h"

#include <cstddef>

namespace tavrel {

void BlendPictures(const TrueColourView& from, const TrueColourView& to, int32_t step,
                   int32_t steps, std::vector<uint8_t>& out) {
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(from.width);
    out.resize(rowBytes * static_cast<std::size_t>(from.height));
    for (int32_t y = 0; y < from.height; ++y) {
        const uint8_t* a = from.Row(y);
        const uint8_t* b = to.Row(y);
        uint8_t* o = out.data() + rowBytes * static_cast<std::size_t>(y);
        for (std::size_t i = 0; i < rowBytes; i += 4) {
            o[i] = BlendChannel(a[i], b[i], step, steps);
            o[i + 1] = BlendChannel(a[i + 1], b[i + 1], step, steps);
            o[i + 2] = BlendChannel(a[i + 2], b[i + 2], step, steps);
            o[i + 3] = 0;
        }
    }
}

}  // namespace tavrel
