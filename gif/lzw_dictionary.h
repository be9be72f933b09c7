// The string table a GIF LZW coder builds, searchable two ways: the exact child of a string
// (its code plus one more index) in one look-up, and every child of a string through a list.
// Code 0 is a single index, never a child, so it marks "none".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "gif/lzw_codes.h"

namespace tavrel {

class LzwDictionary {
public:
    static constexpr uint16_t kNone = 0;

    LzwDictionary() : m_exact(std::make_unique<uint16_t[]>(kExactSize)) {}

    uint16_t Exact(uint16_t prefix, uint8_t index) const { return m_exact[Key(prefix, index)]; }
    uint16_t FirstChild(uint16_t code) const { return m_firstChild[code]; }
    uint16_t NextSibling(uint16_t code) const { return m_nextSibling[code]; }
    uint8_t LastIndex(uint16_t code) const { return m_lastIndex[code]; }

    // code stands for prefix's string followed by index.
    void Add(uint16_t prefix, uint8_t index, uint16_t code) {
        m_exact[Key(prefix, index)] = code;
        m_prefix[code] = prefix;
        m_lastIndex[code] = index;
        m_nextSibling[code] = m_firstChild[prefix];
        m_firstChild[prefix] = code;
    }
    // Forgets the codes from firstFree up to (not including) end: a new table.
    void Clear(uint16_t firstFree, uint16_t end) {
        for (uint16_t code = firstFree; code < end; ++code) {
            m_exact[Key(m_prefix[code], m_lastIndex[code])] = kNone;
        }
        m_firstChild.fill(kNone);
    }

private:
    static constexpr std::size_t kExactSize = std::size_t{kLzwCodeLimit} << 8;
    static std::size_t Key(uint16_t prefix, uint8_t index) {
        return std::size_t{prefix} << 8 | index;
    }

    std::unique_ptr<uint16_t[]> m_exact;
    std::array<uint16_t, kLzwCodeLimit> m_firstChild{};
    std::array<uint16_t, kLzwCodeLimit> m_nextSibling{};
    std::array<uint16_t, kLzwCodeLimit> m_prefix{};
    std::array<uint8_t, kLzwCodeLimit> m_lastIndex{};
};

}  // namespace tavrel
