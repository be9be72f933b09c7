#include "linear_scan_lzw.h"

namespace tavrel::test {

std::vector<uint16_t> LinearScanLzwCodes(const uint8_t* px, std::size_t n, uint8_t bits) {
    std::vector<uint16_t> output;
    if (n == 0) {
        return output;
    }
    const uint32_t first = (1u << bits) + 2;
    // Entry l (code first + l) is the string of code prefix[l] followed by pixel suffix[l].
    // Every emitted code but the last creates one entry with itself as prefix, so the run
    // prefix[0 .. entries - 1] is also the list of codes emitted in the current table.
    std::vector<uint16_t> prefix(4097);
    std::vector<uint16_t> suffix(4096);
    auto appendTable = [&](std::size_t entries) {
        output.insert(output.end(), prefix.begin(), prefix.begin() + entries);
    };

    prefix[0] = px[0];
    if (n >= 2) {
        suffix[0] = px[1];
    }
    std::size_t entries = 1;
    std::size_t pos = 1;
    while (pos < n) {
        uint32_t cur = px[pos];
        std::size_t look = pos + 1;
        if (look >= n) {
            prefix[entries++] = static_cast<uint16_t>(cur);
            break;
        }
        uint32_t next = px[look];
        bool reachedEnd = false;
        for (std::size_t l = 0; l < entries; ++l) {
            if (prefix[l] == cur && suffix[l] == next) {
                cur = first + static_cast<uint32_t>(l);
                if (look + 1 >= n) {
                    reachedEnd = true;
                    break;
                }
                ++look;
                next = px[look];
            }
        }
        if (reachedEnd) {
            prefix[entries++] = static_cast<uint16_t>(cur);
            break;
        }
        prefix[entries] = static_cast<uint16_t>(cur);
        suffix[entries] = static_cast<uint16_t>(next);
        ++entries;
        if (first + entries - 1 == 4096) {
            appendTable(entries);
            prefix[0] = px[look];
            if (look + 1 < n) {
                suffix[0] = px[look + 1];
            }
            entries = 1;
            pos = look + 1;
        } else {
            pos = look;
        }
    }
    appendTable(entries);
    return output;
}

}  // namespace tavrel::test
