// The segment structure of a JPEG file, read without decoding: how many scans it holds and
// whether it ends properly. A progressive JPEG may repeat a scan any number of times, and the
// decoder works through every one of them, so the count bounds the decoding time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavrel {

// Far above any encoder's output (progressive files have about ten scans, and each component
// of a multi-scan baseline file one), far below the hundred thousand of a scan bomb.
inline constexpr int kMaxJpegScans = 1000;

// The first start-of-frame segment: the coding process and the sample layout.
struct JpegFrame {
    uint8_t marker = 0;  // 0xC0 to 0xCF but 0xC4, 0xC8 and 0xCC; 0 when none was seen
    int precision = 0;   // bits a sample
    int components = 0;  // 1 grey, 3 colour, 4 CMYK
};

struct JpegScans {
    // Start-of-scan segments seen; counting stops at scanLimit + 1.
    int count = 0;
    // The end-of-image marker follows the last scan's data: no scan was cut off.
    bool complete = false;
    JpegFrame frame;
};

// Walks the segments from the start-of-image marker: marker segments by their length,
// entropy-coded data up to the next marker that is neither a stuffed 0xFF00 nor a restart
// marker. Bytes that are not a JPEG give count 0, complete false. Linear in size; stops
// early once more than scanLimit scans are seen.
JpegScans CountJpegScans(const uint8_t* data, std::size_t size, int scanLimit = kMaxJpegScans);

}  // namespace tavrel
