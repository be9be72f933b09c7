// The dictionary a GIF encoder builds while it codes a frame's indices (greedy longest-match
// LZW, a new table when code 4095 is given out), followed pixel by pixel as the pixels are
// chosen: a chooser can see which pixels would extend the string being matched, and so cost
// no new code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gif/lzw_dictionary.h"

namespace tavrel {

class LzwFollower {
public:
    static constexpr uint16_t kNoCode = LzwDictionary::kNone;

    // bits: the frame's LZW minimum code size, 2 to 8.
    explicit LzwFollower(uint8_t bits);

    // Whether a pixel has been added: until then no string is being matched.
    bool Started() const { return m_started; }
    // The code of the string matched so far.
    uint16_t Current() const { return m_current; }
    // The codes of the strings one pixel longer than code: FirstChild, then NextSibling until
    // kNoCode. Codes below 2^bits are the single pixels.
    uint16_t FirstChild(uint16_t code) const { return m_dictionary.FirstChild(code); }
    uint16_t NextSibling(uint16_t code) const { return m_dictionary.NextSibling(code); }
    // The last pixel of a code's string.
    uint8_t LastPixel(uint16_t code) const {
        return code < m_firstFree ? static_cast<uint8_t>(code) : m_dictionary.LastIndex(code);
    }

    // The codes the encoder would have written for the pixels added so far, the string
    // being matched included.
    std::size_t CodeCount() const { return m_emitted + (m_started ? 1 : 0); }

    // The next pixel, as the encoder takes it.
    void Add(uint8_t pixel);

private:
    LzwDictionary m_dictionary;
    uint16_t m_firstFree;
    uint16_t m_next;
    uint16_t m_current = 0;
    bool m_started = false;
    std::size_t m_emitted = 0;
};

}  // namespace tavrel
