#include "gif/lossy_lzw_codes.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <stdexcept>

#include "gif/lzw_dictionary.h"

namespace tavrel {
namespace {

struct Colour {
    int32_t red = 0, green = 0, blue = 0;
};

Colour ColourAt(const uint8_t* triples, std::size_t i) {
    const uint8_t* c = triples + 3 * i;
    return {c[0], c[1], c[2]};
}

int32_t Distance(Colour a, Colour b) {
    const int32_t r = a.red - b.red;
    const int32_t g = a.green - b.green;
    const int32_t bl = a.blue - b.blue;
    return r * r + g * g + bl * bl;
}

}  // namespace

LzwCodeList BuildLossyLzwCodes(const LossyLzwFrame& frame, int32_t tolerance) {
    if (frame.bits < kMinGifBits || frame.bits > kMaxGifBits) {
        throw std::invalid_argument("LZW code size must be 2 to 8 bits");
    }
    if (tolerance <= 0) {
        return BuildLzwCodes(frame.indices, frame.pixelCount, frame.bits);
    }
    LzwCodeList list;
    if (frame.pixelCount == 0) {
        return list;
    }
    list.codes.resize(frame.pixelCount);
    uint16_t* out = list.codes.data();
    std::size_t count = 0;

    // Palette reads stay inside 2^bits entries whatever the indices hold.
    const uint8_t indexMask = static_cast<uint8_t>((1u << frame.bits) - 1);
    const auto paletteColour = [&](uint8_t index) {
        return ColourAt(frame.palette, index & indexMask);
    };

    const uint16_t firstFree = static_cast<uint16_t>((1u << frame.bits) + 2);
    auto dictionary = std::make_unique<LzwDictionary>();
    uint16_t nextCode = firstFree;
    uint16_t current = frame.indices[0];
    Colour carried;  // error passed along the run, so that it averages out

    for (std::size_t pos = 1; pos < frame.pixelCount; ++pos) {
        const uint8_t own = frame.indices[pos];
        if (const uint16_t child = dictionary->Exact(current, own); child != LzwDictionary::kNone) {
            current = child;
            carried = {};
            continue;
        }
        const Colour wanted = ColourAt(frame.wanted, pos);
        const Colour aim{wanted.red + carried.red, wanted.green + carried.green,
                         wanted.blue + carried.blue};
        uint16_t best = 0;
        int32_t bestDistance = std::numeric_limits<int32_t>::max();
        // A transparent pixel takes only its own index (the exact child, not found above).
        const uint16_t firstCandidate =
            own == frame.transparent ? LzwDictionary::kNone : dictionary->FirstChild(current);
        for (uint16_t c = firstCandidate; c != LzwDictionary::kNone;
             c = dictionary->NextSibling(c)) {
            if (dictionary->LastIndex(c) == frame.transparent) {
                continue;
            }
            const Colour colour = paletteColour(dictionary->LastIndex(c));
            if (Distance(colour, wanted) > tolerance) {
                continue;
            }
            const int32_t distance = Distance(colour, aim);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = c;
            }
        }
        if (best != 0) {
            const Colour shown = paletteColour(dictionary->LastIndex(best));
            // Three quarters of the error goes on, so it fades over a few pixels.
            carried = {(aim.red - shown.red) * 3 / 4, (aim.green - shown.green) * 3 / 4,
                       (aim.blue - shown.blue) * 3 / 4};
            current = best;
            continue;
        }
        out[count++] = current;
        if (nextCode == kLzwCodeLimit) {
            dictionary->Clear(firstFree, nextCode);
            nextCode = firstFree;
        } else {
            dictionary->Add(current, own, nextCode++);
        }
        current = own;
        carried = {};
    }
    out[count++] = current;

    list.codes.resize(count);
    list.count = count;
    return list;
}

}  // namespace tavrel
