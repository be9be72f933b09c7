#include "platform/jpeg_colour.h"

#include <map>

namespace tavrel {
namespace {

constexpr uint8_t kApp2 = 0xE2;
constexpr uint8_t kApp14 = 0xEE;
constexpr uint8_t kStartOfScan = 0xDA;

bool IsStartOfFrame(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Each APP2 part: "ICC_PROFILE\0", its number (from 1), the number of parts, the bytes.
constexpr QByteArrayView kIccTag("ICC_PROFILE\0", 12);

}  // namespace

JpegColour ReadJpegColour(const QByteArray& jpeg) {
    JpegColour colour;
    const auto* data = reinterpret_cast<const uint8_t*>(jpeg.constData());
    const qsizetype size = jpeg.size();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return colour;
    }
    std::map<int, QByteArray> parts;
    int partCount = 0;
    qsizetype at = 2;
    while (at + 4 <= size && data[at] == 0xFF) {
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;  // fill byte
            continue;
        }
        const qsizetype length = data[at + 2] << 8 | data[at + 3];
        if (marker == kStartOfScan || length < 2 || length > size - at - 2) {
            break;
        }
        const QByteArrayView body(jpeg.constData() + at + 4, length - 2);
        if (marker == kApp2 && body.size() > kIccTag.size() + 2 && body.startsWith(kIccTag)) {
            partCount = static_cast<uint8_t>(body[kIccTag.size() + 1]);
            parts[static_cast<uint8_t>(body[kIccTag.size()])] =
                body.sliced(kIccTag.size() + 2).toByteArray();
        } else if (marker == kApp14 && body.startsWith("Adobe")) {
            colour.adobe = true;
        } else if (IsStartOfFrame(marker) && colour.components == 0 && body.size() >= 6) {
            colour.components = static_cast<uint8_t>(body[5]);
        }
        at += 2 + length;
    }
    if (partCount > 0 && static_cast<int>(parts.size()) == partCount && parts.begin()->first == 1 &&
        parts.rbegin()->first == partCount) {
        for (const auto& [number, part] : parts) {
            colour.iccProfile += part;
        }
    }
    return colour;
}

}  // namespace tavrel
