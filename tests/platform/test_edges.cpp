// File names as bytes and the JPEG scan count, case by case; the codec layer's and the tool's
// tests run them end to end.
#include <gtest/gtest.h>

#include "platform/file_names.h"
#include "platform/jpeg_scans.h"
#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

TEST(FileNames, EveryByteStringComesBackAndIsShownOnOneLine) {
    const struct {
        QByteArray bytes;
        QString shown;
    } cases[] = {
        {"plain.png", "plain.png"},
        {"\xE6\xB5\x8B\xE8\xAF\x95 \xE5\x9B\xBE.png", QStringLiteral("测试 图.png")},
        {"caf\xE9.png", "caf\\xe9.png"},                                // Latin-1
        {"\xFF\xFE\x80.bmp", "\\xff\\xfe\\x80.bmp"},                    // raw bytes
        {"\xC0\xAF\xED\xA0\x80.jpg", "\\xc0\\xaf\\xed\\xa0\\x80.jpg"},  // overlong, surrogate
        {"cut\xE6\xB5", "cut\\xe6\\xb5"},                               // a sequence cut short
        {"two\nlines\t\x01.png", "two\\nlines\\t\\x01.png"},
        {"back\\slash", "back\\\\slash"},
    };
    for (const auto& c : cases) {
        const QString name = FileNameFromBytes(c.bytes);
        EXPECT_EQ(FileNameToBytes(name), c.bytes) << c.bytes.toStdString();
        EXPECT_EQ(ShownFileName(name), c.shown) << c.bytes.toStdString();
    }
    EXPECT_EQ(OneLine(QStringLiteral("a\\b\nc")), QStringLiteral("a\\b\\nc"));
}

// A scan bomb is stopped early and refused; the hostile picture table checks that end to end.
TEST(JpegScans, CountsScansThroughStuffingAndRestarts) {
    const QByteArray progressive = test::FileContent(test::TestData("edge/progressive.jpg"));
    // Two scans, the first with a stuffed 0xFF00, a restart marker and fill bytes.
    const QByteArray synthetic =
        QByteArray::fromHex("ffd8 ffdb0004aabb ffda0004cc01 12ff0034ffd056ffff ffda0003dd 77 ffd9");
    const struct {
        const char* what;
        QByteArray bytes;
        int scans;
        bool complete;
    } cases[] = {
        {"progressive", progressive, 10, true},
        {"synthetic", synthetic, 2, true},
        {"no end marker", synthetic.chopped(2), 2, false},
        {"segment cut off", progressive.left(200), 0, false},
        {"not a JPEG", "GIF89a........", 0, false},
    };
    for (const auto& c : cases) {
        const JpegScans scans = CountJpegScans(reinterpret_cast<const uint8_t*>(c.bytes.data()),
                                               static_cast<std::size_t>(c.bytes.size()));
        EXPECT_EQ(scans.count, c.scans) << c.what;
        EXPECT_EQ(scans.complete, c.complete) << c.what;
    }
}

}  // namespace
}  // namespace tavrel
