#include "gif/lzw_follower.h"

namespace tavrel {

LzwFollower::LzwFollower(uint8_t bits)
    : m_firstFree(static_cast<uint16_t>((1u << bits) + 2)), m_next(m_firstFree) {}

void LzwFollower::Add(uint8_t pixel) {
    if (!m_started) {
        m_started = true;
        m_current = pixel;
        return;
    }
    if (const uint16_t child = m_dictionary.Exact(m_current, pixel); child != kNoCode) {
        m_current = child;
        return;
    }
    // The encoder emits the string matched and gives "string + pixel" the next code, or
    // starts a new table when the last code has been given out.
    ++m_emitted;
    if (m_next == kLzwCodeLimit) {
        m_dictionary.Clear(m_firstFree, kLzwCodeLimit);
        m_next = m_firstFree;
    } else {
        m_dictionary.Add(m_current, pixel, m_next++);
    }
    m_current = pixel;
}

}  // namespace tavrel
