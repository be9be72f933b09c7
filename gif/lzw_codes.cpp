#include "gif/lzw_codes.h"

#include <memory>
#include <stdexcept>

namespace tavrel {
namespace {

// The dictionary of the current table as a child table: entry (prefix << 8 | pixel) holds
// the code of the string "prefix followed by pixel", or 0 when there is none (no dictionary
// code is 0). Keying by 8 pixel bits whatever the frame's bits keeps every key below
// 4096 << 8 even for out-of-range indices.
class ChildTable {
public:
    ChildTable() : children_(std::make_unique<uint16_t[]>(kSize)) {}

    static uint32_t Key(uint16_t prefix, uint8_t pixel) {
        return static_cast<uint32_t>(prefix) << 8 | pixel;
    }
    uint16_t Find(uint32_t key) const { return children_[key]; }
    void Add(uint32_t key, uint16_t code) {
        children_[key] = code;
        used_[usedCount_++] = key;
    }
    // Forgets every entry; touches only the keys in use rather than the whole table.
    void Clear() {
        for (std::size_t i = 0; i < usedCount_; ++i) {
            children_[used_[i]] = 0;
        }
        usedCount_ = 0;
    }

private:
    static constexpr std::size_t kSize = std::size_t{kLzwCodeLimit} << 8;
    std::unique_ptr<uint16_t[]> children_;
    uint32_t used_[kLzwCodeLimit] = {};
    std::size_t usedCount_ = 0;
};

}  // namespace

LzwCodeList BuildLzwCodes(const uint8_t* indices, std::size_t pixelCount, uint8_t bits) {
    if (bits < kMinGifBits || bits > kMaxGifBits) {
        throw std::invalid_argument("LZW code size must be 2 to 8 bits");
    }
    LzwCodeList list;
    if (pixelCount == 0) {
        return list;
    }
    // Every code covers at least one pixel.
    list.codes.resize(pixelCount);
    uint16_t* out = list.codes.data();
    std::size_t count = 0;

    const uint16_t firstFree = static_cast<uint16_t>((1u << bits) + 2);
    auto table = std::make_unique<ChildTable>();
    uint16_t nextCode = firstFree;
    uint16_t current = indices[0];  // the code of the string matched so far

    for (std::size_t pos = 1; pos < pixelCount; ++pos) {
        const uint8_t pixel = indices[pos];
        const uint32_t key = ChildTable::Key(current, pixel);
        const uint16_t child = table->Find(key);
        if (child != 0) {
            current = child;
            continue;
        }
        // The string cannot be extended: emit it and give "string + pixel" the next code.
        out[count++] = current;
        if (nextCode == kLzwCodeLimit) {
            // Code 4096 does not exist: the table is full and a new one starts here.
            table->Clear();
            nextCode = firstFree;
        } else {
            table->Add(key, nextCode++);
        }
        current = pixel;
    }
    out[count++] = current;

    list.codes.resize(count);
    list.count = count;
    return list;
}

}  // namespace tavrel
