#include "gif/gif_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace tavrel {
namespace {

using Bytes = std::vector<uint8_t>;

// Keeps the bytes and the size of every Write call.
class RecordingOutputFile : public MemoryOutputFile {
public:
    void Write(const void* bytes, std::size_t count) override {
        sizes.push_back(count);
        MemoryOutputFile::Write(bytes, count);
    }
    std::vector<std::size_t> sizes;
};

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t count) {
    return Bytes(bytes.begin() + from, bytes.begin() + from + count);
}

const Bytes kLoopExtension = {0x21, 0xFF, 0x0B, 0x4E, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50,
                              0x45, 0x32, 0x2E, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00};

TEST(WriteGifHeader, ScreenAndLoopingExtension) {
    RecordingOutputFile file;
    WriteGifHeader(file, 530, 530, 8);
    EXPECT_EQ(Slice(file.Bytes(), 0, 13),
              Bytes({0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x12, 0x02, 0x12, 0x02, 0x70, 0, 0}));
    EXPECT_EQ(Slice(file.Bytes(), 13, 19), kLoopExtension);
    EXPECT_EQ(file.sizes, std::vector<std::size_t>({13, 19}));

    for (uint8_t bits = 3; bits <= 8; ++bits) {
        MemoryOutputFile other;
        WriteGifHeader(other, 1, 2, bits);
        EXPECT_EQ(other.Bytes()[10], (bits - 1) << 4);
        EXPECT_EQ(Slice(other.Bytes(), 13, 19), kLoopExtension);
    }
}

TEST(WriteGifFrame, ControlExtensionCarriesDelayAndTransparency) {
    const uint8_t index = 0;
    const Bytes palette(24, 0);
    struct Case {
        uint16_t delay;
        uint16_t transparent;
        Bytes expected;
    };
    const Case cases[] = {
        {120, kNoTransparentColour, {0x21, 0xF9, 0x04, 0x04, 0x78, 0x00, 0x00, 0x00}},
        {80, kNoTransparentColour, {0x21, 0xF9, 0x04, 0x04, 0x50, 0x00, 0x00, 0x00}},
        {40, kNoTransparentColour, {0x21, 0xF9, 0x04, 0x04, 0x28, 0x00, 0x00, 0x00}},
        {120, 7, {0x21, 0xF9, 0x04, 0x05, 0x78, 0x00, 0x07, 0x00}},
        {0x1234, 0x0102, {0x21, 0xF9, 0x04, 0x05, 0x34, 0x12, 0x02, 0x00}},
    };
    for (const Case& c : cases) {
        MemoryOutputFile file;
        WriteGifFrame(file, &index, palette.data(), 1, 1, 3, c.delay, c.transparent);
        EXPECT_EQ(Slice(file.Bytes(), 0, 8), c.expected) << "delay " << c.delay;
    }
}

TEST(WriteGifFrame, DescriptorColourTableAndCodeSize) {
    const std::vector<uint8_t> indices(530 * 530, 9);
    Bytes palette(768);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        palette[i] = static_cast<uint8_t>(i * 13);
    }
    RecordingOutputFile file;
    WriteGifFrame(file, indices.data(), palette.data(), 530, 530, 8, 120, kNoTransparentColour);
    const Bytes& bytes = file.Bytes();
    EXPECT_EQ(Slice(bytes, 8, 10),
              Bytes({0x2C, 0x00, 0x00, 0x00, 0x00, 0x12, 0x02, 0x12, 0x02, 0x87}));
    EXPECT_EQ(Slice(bytes, 18, 768), palette);
    EXPECT_EQ(bytes[18 + 768], 0x08);
    const std::vector<std::size_t> head(file.sizes.begin(), file.sizes.begin() + 9);
    EXPECT_EQ(head, std::vector<std::size_t>({8, 1, 2, 2, 2, 2, 1, 768, 1}));
}

TEST(WriteGifFrame, SmallestCompleteFile) {
    const uint8_t index = 0;
    const Bytes palette(24, 0);
    RecordingOutputFile file;
    WriteGifHeader(file, 1, 1, 3);
    WriteGifFrame(file, &index, palette.data(), 1, 1, 3, 40, kNoTransparentColour);

    Bytes expected = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x20, 0, 0};
    expected.insert(expected.end(), kLoopExtension.begin(), kLoopExtension.end());
    const Bytes frame = {0x21, 0xF9, 0x04, 0x04, 0x28, 0x00, 0x00, 0x00, 0x2C,
                         0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x82};
    expected.insert(expected.end(), frame.begin(), frame.end());
    expected.insert(expected.end(), 24, 0);
    const Bytes data = {0x03, 0x02, 0x08, 0x09, 0x00};
    expected.insert(expected.end(), data.begin(), data.end());
    ASSERT_EQ(expected.size(), 79u);
    EXPECT_EQ(file.Bytes(), expected);
    EXPECT_EQ(file.sizes, std::vector<std::size_t>({13, 19, 8, 1, 2, 2, 2, 2, 1, 24, 1, 1, 2, 1}));

    WriteGifTrailer(file);
    EXPECT_EQ(file.Bytes().size(), 80u);
    EXPECT_EQ(file.Bytes().back(), 0x3B);
}

TEST(WriteGifFrame, LaterFrameKeepsItsOwnBits) {
    const std::vector<uint8_t> indices(4 * 3, 1);
    const Bytes palette8(768, 1);
    const Bytes palette5(96, 2);
    MemoryOutputFile file;
    WriteGifHeader(file, 4, 3, 8);
    WriteGifFrame(file, indices.data(), palette8.data(), 4, 3, 8, 80, kNoTransparentColour);
    const std::size_t second = file.Bytes().size();
    WriteGifFrame(file, indices.data(), palette5.data(), 4, 3, 5, 80, kNoTransparentColour);
    const Bytes& bytes = file.Bytes();
    EXPECT_EQ(bytes[10], 0x70);
    EXPECT_EQ(bytes[second + 17], 0x84);
    EXPECT_EQ(Slice(bytes, second + 18, 96), palette5);
    EXPECT_EQ(bytes[second + 18 + 96], 5);
}

TEST(WriteGifFrame, EmptyFrameReadsNoIndices) {
    const Bytes palette(24, 0);
    MemoryOutputFile file;
    WriteGifFrame(file, nullptr, palette.data(), 0, 7, 3, 40, kNoTransparentColour);
    const Bytes& bytes = file.Bytes();
    ASSERT_EQ(bytes.size(), 18u + 24u + 1u + 3u);
    EXPECT_EQ(Slice(bytes, 43, 3), Bytes({0x01, 0x98, 0x00}));  // clear and end only
}

TEST(WriteGifFrame, BadBitsWriteNothing) {
    const uint8_t index = 0;
    const Bytes palette(3 * 512, 0);
    MemoryOutputFile file;
    EXPECT_THROW(WriteGifFrame(file, &index, palette.data(), 1, 1, 9, 40, kNoTransparentColour),
                 std::invalid_argument);
    EXPECT_THROW(WriteGifFrame(file, &index, palette.data(), 1, 1, 0, 40, kNoTransparentColour),
                 std::invalid_argument);
    EXPECT_THROW(WriteGifHeader(file, 1, 1, 9), std::invalid_argument);
    EXPECT_TRUE(file.Bytes().empty());
}

}  // namespace
}  // namespace tavrel
