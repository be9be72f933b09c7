#include "imaging/error_diffusion.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace tavrel {
namespace {

// Which palette colours a picture colour equals: a small open-addressed table.
class ExactColours {
public:
    explicit ExactColours(const std::vector<Rgb>& palette) {
        m_slots.fill(kEmpty);
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const uint32_t key = Key(palette[i]);
            std::size_t slot = Hash(key);
            while (m_slots[slot] != kEmpty && m_slots[slot] >> 8 != key) {
                slot = (slot + 1) % kSlots;
            }
            if (m_slots[slot] == kEmpty) {  // the first of equal colours wins
                m_slots[slot] = key << 8 | static_cast<uint32_t>(i);
            }
        }
    }

    // The palette index of colour, or -1 when the palette does not hold it.
    int32_t Find(Rgb colour) const {
        const uint32_t key = Key(colour);
        for (std::size_t slot = Hash(key); m_slots[slot] != kEmpty; slot = (slot + 1) % kSlots) {
            if (m_slots[slot] >> 8 == key) {
                return static_cast<int32_t>(m_slots[slot] & 0xFF);
            }
        }
        return -1;
    }

private:
    static constexpr std::size_t kSlots = 1024;  // at most a quarter full
    static constexpr uint32_t kEmpty = 0xFFFFFFFF;
    static uint32_t Key(Rgb c) { return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue; }
    static std::size_t Hash(uint32_t key) { return (key * 2654435761U) >> 22; }
    std::array<uint32_t, kSlots> m_slots{};
};

uint8_t Channel(int32_t value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

int32_t Contrast(Rgb a, Rgb b) {
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

}  // namespace

std::vector<uint8_t> DiffuseError(const TrueColourView& picture, NearestColour& nearest,
                                  const DiffusionOptions& options) {
    const int32_t width = picture.width;
    std::vector<uint8_t> indices(static_cast<std::size_t>(width) *
                                 static_cast<std::size_t>(picture.height));
    const std::vector<Rgb>& palette = nearest.Palette();
    const ExactColours exact(palette);

    // Error waiting for this row and the next, in 1/256 of a level, per channel, with one
    // spare pixel on each side so the edges need no tests.
    const std::size_t rowSlots = 3 * (static_cast<std::size_t>(width) + 2);
    std::vector<int32_t> current(rowSlots, 0);
    std::vector<int32_t> next(rowSlots, 0);

    for (int32_t y = 0; y < picture.height; ++y) {
        const bool leftToRight = y % 2 == 0;
        const int32_t step = leftToRight ? 1 : -1;
        std::fill(next.begin(), next.end(), 0);
        uint8_t* out = indices.data() + static_cast<std::size_t>(y) * width;
        int32_t previous = -1;
        Rgb lastSource{};
        int32_t lastExact = -1;
        for (int32_t i = 0; i < width; ++i) {
            const int32_t x = leftToRight ? i : width - 1 - i;
            const Rgb source = picture.At(x, y);
            if (i == 0 || !(source == lastSource)) {
                lastSource = source;
                lastExact = exact.Find(source);
            }
            int32_t* here = &current[3 * static_cast<std::size_t>(x + 1)];
            if (lastExact >= 0) {
                out[x] = static_cast<uint8_t>(lastExact);
                previous = lastExact;
                continue;
            }
            const auto take = [&](int channel, uint8_t value) {
                return Channel(value + ((here[channel] + 128) >> 8));
            };
            const Rgb wanted{take(0, source.red), take(1, source.green), take(2, source.blue)};
            auto index = static_cast<int32_t>(
                nearest.Find(wanted, static_cast<uint8_t>(std::max(previous, 0))));
            if (previous >= 0 && previous != index) {
                const int32_t farther = ColourDistance(wanted, palette[previous]) -
                                        ColourDistance(wanted, palette[index]);
                if (farther <= 0 ||
                    farther <= options.runTolerancePerContrast *
                                   (Contrast(source, picture.At(std::max(x - 1, 0), y)) +
                                    Contrast(source, picture.At(x, std::max(y - 1, 0))))) {
                    index = previous;
                }
            }
            out[x] = static_cast<uint8_t>(index);
            previous = index;

            const Rgb got = palette[index];
            const std::array<int32_t, 3> error{(wanted.red - got.red) * options.strength,
                                               (wanted.green - got.green) * options.strength,
                                               (wanted.blue - got.blue) * options.strength};
            int32_t* ahead = here + 3 * step;
            int32_t* below = &next[3 * static_cast<std::size_t>(x + 1)];
            for (int c = 0; c < 3; ++c) {
                ahead[c] += 7 * error[c];
                below[c - 3 * step] += 3 * error[c];
                below[c] += 5 * error[c];
                below[c + 3 * step] += error[c];
            }
        }
        current.swap(next);
    }
    return indices;
}

}  // namespace tavrel
