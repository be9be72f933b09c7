#include "gif/gif_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace tavrel {
namespace {

using Bytes = std::vector<uint8_t>;

// Keeps the size of every Write call as well as the bytes.
class RecordingOutputFile : public MemoryOutputFile {
public:
    void Write(const void* bytes, std::size_t count) override {
        sizes.push_back(count);
        MemoryOutputFile::Write(bytes, count);
    }
    std::vector<std::size_t> sizes;
};

TEST(WriteGif, SmallestCompleteFile) {
    const uint8_t index = 0;
    const Bytes palette(24, 0);
    RecordingOutputFile file;
    WriteGifHeader(file, 1, 1, 3);
    WriteGifFrame(file, &index, palette.data(), 1, 1, 3, 40, kNoTransparentColour);
    WriteGifTrailer(file);

    Bytes expected = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x20,
        0,    0,    0x21, 0xFF, 0x0B, 0x4E, 0x45, 0x54, 0x53, 0x43, 0x41,
        0x50, 0x45, 0x32, 0x2E, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00,  // looping extension
        0x21, 0xF9, 0x04, 0x04, 0x28, 0x00, 0x00, 0x00,              // control extension
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x82};
    expected.insert(expected.end(), 24, 0);
    expected.insert(expected.end(), {0x03, 0x02, 0x08, 0x09, 0x00});
    ASSERT_EQ(expected.size(), 79u);
    expected.push_back(0x3B);
    EXPECT_EQ(file.Bytes(), expected);
    EXPECT_EQ(file.sizes,
              std::vector<std::size_t>({13, 19, 8, 1, 2, 2, 2, 2, 1, 24, 1, 1, 2, 1, 1}));
}

TEST(WriteGif, EmptyFrameReadsNoIndicesAndBadBitsWriteNothing) {
    const Bytes palette(3 * 512, 0);
    MemoryOutputFile empty;
    WriteGifFrame(empty, nullptr, palette.data(), 0, 7, 3, 40, kNoTransparentColour);
    EXPECT_EQ(Bytes(empty.Bytes().begin() + 42, empty.Bytes().end()),
              Bytes({0x03, 0x01, 0x98, 0x00}));

    const uint8_t index = 0;
    MemoryOutputFile file;
    EXPECT_THROW(WriteGifFrame(file, &index, palette.data(), 1, 1, 9, 40, kNoTransparentColour),
                 std::invalid_argument);
    EXPECT_THROW(WriteGifHeader(file, 1, 1, 0), std::invalid_argument);
    EXPECT_TRUE(file.Bytes().empty());
}

}  // namespace
}  // namespace tavrel
