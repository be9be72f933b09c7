#include "platform/jpeg_scans.h"

#include <cstring>

namespace tavrel {
namespace {

constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kTemporary = 0x01;

bool IsRestart(uint8_t marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

// 0xC4 (Huffman tables), 0xC8 (reserved) and 0xCC (arithmetic conditioning) share the range.
bool IsStartOfFrame(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The position of the marker ending the entropy-coded data that starts at `at`, or size.
std::size_t EndOfEntropyData(const uint8_t* data, std::size_t size, std::size_t at) {
    while (at < size) {
        const auto* ff = static_cast<const uint8_t*>(std::memchr(data + at, 0xFF, size - at));
        if (!ff) {
            return size;
        }
        at = static_cast<std::size_t>(ff - data);
        if (at + 1 >= size) {
            return size;
        }
        const uint8_t next = data[at + 1];
        if (next == 0x00 || IsRestart(next)) {
            at += 2;  // a stuffed data byte or a restart marker: the scan goes on
        } else if (next == 0xFF) {
            at += 1;  // fill byte before a marker
        } else {
            return at;
        }
    }
    return size;
}

}  // namespace

JpegScans CountJpegScans(const uint8_t* data, std::size_t size, int scanLimit) {
    JpegScans scans;
    if (size < 4 || data[0] != 0xFF || data[1] != kStartOfImage) {
        return scans;
    }
    std::size_t at = 2;
    while (at < size) {
        // The decoder skips stray bytes and fill bytes before a marker; so does this walk.
        while (at < size && data[at] != 0xFF) {
            ++at;
        }
        while (at < size && data[at] == 0xFF) {
            ++at;
        }
        if (at >= size) {
            break;
        }
        const uint8_t marker = data[at++];
        if (marker == kEndOfImage) {
            scans.complete = scans.count > 0;
            return scans;
        }
        if (marker == 0x00 || marker == kTemporary || marker == kStartOfImage ||
            IsRestart(marker)) {
            continue;  // no length follows
        }
        if (at + 2 > size) {
            break;
        }
        const std::size_t length = static_cast<std::size_t>(data[at]) << 8 | data[at + 1];
        if (length < 2 || length > size - at) {
            break;  // a segment cut off or a broken length
        }
        if (IsStartOfFrame(marker) && scans.frame.marker == 0 && length >= 8) {
            scans.frame = {marker, data[at + 2], data[at + 7]};
        }
        at += length;
        if (marker == kStartOfScan) {
            if (++scans.count > scanLimit) {
                return scans;
            }
            at = EndOfEntropyData(data, size, at);
        }
    }
    return scans;
}

}  // namespace tavrel
