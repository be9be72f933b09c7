// Which palette colours a picture colour equals: a small open-addressed table, so that a
// pixel the palette holds exactly can take its colour without a search.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/pixel_colours.h"

namespace tavrel {

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

}  // namespace tavrel
