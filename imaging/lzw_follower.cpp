#include "imaging/lzw_follower.h"

#include <algorithm>

namespace tavrel {

LzwFollower::LzwFollower(uint8_t bits)
    : m_firstFree(static_cast<uint16_t>((1u << bits) + 2)),
      m_next(m_firstFree),
      m_child(std::make_unique<uint16_t[]>(kCodes << 8)) {
    for (std::size_t pixel = 0; pixel < 256; ++pixel) {
        m_pixel[pixel] = static_cast<uint8_t>(pixel);
    }
}

void LzwFollower::Add(uint8_t pixel) {
    if (!m_started) {
        m_started = true;
        m_current = pixel;
        return;
    }
    const uint32_t key = uint32_t{m_current} << 8 | pixel;
    if (const uint16_t child = m_child[key]; child != kNoCode) {
        m_current = child;
        return;
    }
    // The encoder emits the string matched and gives "string + pixel" the next code, or
    // starts a new table when the last code has been given out.
    ++m_emitted;
    if (m_next == kCodes) {
        for (std::size_t code = m_firstFree; code < kCodes; ++code) {
            m_child[m_key[code]] = kNoCode;
        }
        std::fill(m_firstChild.begin(), m_firstChild.end(), kNoCode);
        m_next = m_firstFree;
    } else {
        const uint16_t code = m_next++;
        m_child[key] = code;
        m_key[code] = key;
        m_pixel[code] = pixel;
        m_sibling[code] = m_firstChild[m_current];
        m_firstChild[m_current] = code;
    }
    m_current = pixel;
}

}  // namespace tavrel
