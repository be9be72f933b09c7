#include "support/bmp_file.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace tavrel::test {
namespace {

uint32_t Read32(const std::vector<uint8_t>& bytes, std::size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);  // little-endian machines only, as here
    return value;
}

uint16_t Read16(const std::vector<uint8_t>& bytes, std::size_t at) {
    uint16_t value = 0;
    std::memcpy(&value, bytes.data() + at, 2);
    return value;
}

}  // namespace

std::optional<DibSection> ReadBmpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || Read32(bytes, 14) != 40 ||
        Read32(bytes, 30) != 0) {
        return std::nullopt;
    }
    const auto width = static_cast<int32_t>(Read32(bytes, 18));
    const auto height = static_cast<int32_t>(Read32(bytes, 22));
    const uint16_t bits = Read16(bytes, 28);
    const uint32_t pixelOffset = Read32(bytes, 10);
    const auto stride = DibSection::StrideFor(width, bits);
    if (!stride || height <= 0 || pixelOffset > bytes.size() ||
        bytes.size() - pixelOffset < *stride * height) {
        return std::nullopt;
    }
    DibSection bitmap(width, height, bits);
    std::memcpy(bitmap.Pixels().data(), bytes.data() + pixelOffset, *stride * height);
    const uint32_t used = Read32(bytes, 46);
    const std::size_t entries = used != 0 ? used : bitmap.ColourTable().size();
    for (std::size_t i = 0; i < entries && i < bitmap.ColourTable().size(); ++i) {
        const std::size_t at = 54 + 4 * i;
        if (at + 4 > pixelOffset) {
            break;
        }
        bitmap.ColourTable()[i] = {bytes[at], bytes[at + 1], bytes[at + 2], 0};
    }
    return bitmap;
}

}  // namespace tavrel::test
