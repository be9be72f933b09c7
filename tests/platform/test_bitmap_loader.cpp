#include "platform/bitmap_loader.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdlib>
#include <set>

#include "qt_test_app.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::TestData;
using test::WriteAll;

// The fields of a BMP file the tests check against.
struct FileLayout {
    int32_t width;
    int32_t height;  // negative: top-down
    uint16_t bits;
    uint32_t pixelOffset;
    std::size_t stride;
};

FileLayout LayoutOf(const QByteArray& file) {
    const auto* b = reinterpret_cast<const uchar*>(file.constData());
    FileLayout l{};
    l.pixelOffset = qFromLittleEndian<uint32_t>(b + 10);
    l.width = qFromLittleEndian<int32_t>(b + 18);
    l.height = qFromLittleEndian<int32_t>(b + 22);
    l.bits = qFromLittleEndian<uint16_t>(b + 28);
    l.stride = (static_cast<std::size_t>(l.bits) * l.width + 31) / 32 * 4;
    return l;
}

// A bottom-up or top-down BI_RGB file; rows are given top row first, without padding.
QByteArray MakeBmp(int width, int height, uint16_t bits, const std::vector<uint32_t>& table,
                   const std::vector<QByteArray>& topRowsFirst, bool topDown) {
    const std::size_t stride = (static_cast<std::size_t>(bits) * width + 31) / 32 * 4;
    const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(table.size());
    QByteArray file(static_cast<qsizetype>(offset + stride * height), '\0');
    auto* b = reinterpret_cast<uchar*>(file.data());
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(file.size()), b + 2);
    qToLittleEndian<uint32_t>(offset, b + 10);
    qToLittleEndian<uint32_t>(40, b + 14);
    qToLittleEndian<int32_t>(width, b + 18);
    qToLittleEndian<int32_t>(topDown ? -height : height, b + 22);
    qToLittleEndian<uint16_t>(1, b + 26);
    qToLittleEndian<uint16_t>(bits, b + 28);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(table.size()), b + 46);
    for (std::size_t i = 0; i < table.size(); ++i) {
        qToLittleEndian<uint32_t>(table[i], b + 54 + 4 * i);
    }
    for (int row = 0; row < height; ++row) {
        const int fileRow = topDown ? row : height - 1 - row;
        const QByteArray& bytes = topRowsFirst[static_cast<std::size_t>(row)];
        std::memcpy(b + offset + fileRow * stride, bytes.constData(), bytes.size());
    }
    return file;
}

QString EdgeBmp(const char* name) {
    return TestData(QStringLiteral("edge/") + name);
}

struct DepthCase {
    const char* file;
    uint16_t bits;
};
const DepthCase kEdgeBitmaps[] = {
    {"bilevel-1bit.bmp", 1},      {"palette-4bit.bmp", 4},  {"palette-8bit.bmp", 8},
    {"palette-8bit-rle8.bmp", 8}, {"rgb555-16bit.bmp", 16}, {"rgb-24bit.bmp", 24},
    {"bgrx-32bit.bmp", 32},
};

TEST(BitmapLoader, LoadsEveryDepthAtItsOwnSizeRowForRowWithAFullColourTable) {
    for (const DepthCase& c : kEdgeBitmaps) {
        SCOPED_TRACE(c.file);
        const DibSection dib = LoadBitmapFromFile(EdgeBmp(c.file), 321, 241);
        ASSERT_FALSE(dib.IsNull());
        EXPECT_EQ(dib.Width(), 321);
        EXPECT_EQ(dib.Height(), 241);
        EXPECT_EQ(dib.BitsPerPixel(), c.bits);
        EXPECT_EQ(dib.ColourTable().size(), c.bits <= 8 ? std::size_t{1} << c.bits : 0u);

        // The run-length file holds the same pixels as the plain 8-bit one.
        const QByteArray file = ReadAll(EdgeBmp(
            std::strcmp(c.file, "palette-8bit-rle8.bmp") == 0 ? "palette-8bit.bmp" : c.file));
        const FileLayout l = LayoutOf(file);
        ASSERT_EQ(dib.Stride(), l.stride);
        for (int row = 0; row < 241; ++row) {
            ASSERT_EQ(std::memcmp(dib.Row(row), file.constData() + l.pixelOffset + row * l.stride,
                                  l.stride),
                      0)
                << "memory row " << row;
        }
    }
}

TEST(BitmapLoader, DisplayImageMatchesQtsOwnReadingOfTheFile) {
    test::App();
    for (const DepthCase& c : kEdgeBitmaps) {
        SCOPED_TRACE(c.file);
        const QImage shown = DibToImage(LoadBitmapFromFile(EdgeBmp(c.file), 321, 241));
        const QImage expected = QImage(EdgeBmp(c.file)).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), expected.size());
        int worst = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb a = shown.pixel(x, y), b = expected.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        }
        EXPECT_LE(worst, 7);  // 5-bit channels may be widened differently
    }
}

TEST(BitmapLoader, StretchedIndexedBitmapsKeepTheirIndicesAndTable) {
    for (const DepthCase& c : kEdgeBitmaps) {
        if (c.bits > 8) {
            continue;
        }
        SCOPED_TRACE(c.file);
        const DibSection own = LoadBitmapFromFile(EdgeBmp(c.file), 321, 241);
        const DibSection big = LoadBitmapFromFile(EdgeBmp(c.file), 530, 530);
        ASSERT_FALSE(big.IsNull());
        EXPECT_EQ(big.BitsPerPixel(), c.bits);
        const auto indices = [](const DibSection& d) {
            std::set<unsigned> seen;
            for (int row = 0; row < d.Height(); ++row) {
                const uint8_t* p = d.Row(row);
                for (int x = 0; x < d.Width(); ++x) {
                    switch (d.BitsPerPixel()) {
                        case 1:
                            seen.insert((p[x >> 3] >> (7 - (x & 7))) & 1);
                            break;
                        case 4:
                            seen.insert((x & 1) ? p[x >> 1] & 15 : p[x >> 1] >> 4);
                            break;
                        default:
                            seen.insert(p[x]);
                            break;
                    }
                }
            }
            return seen;
        };
        const std::set<unsigned> before = indices(own);
        const std::set<unsigned> after = indices(big);
        EXPECT_TRUE(std::includes(before.begin(), before.end(), after.begin(), after.end()));
        EXPECT_GE(after.size(), before.size() / 2);  // still the picture, not one colour
        ASSERT_EQ(big.ColourTable().size(), own.ColourTable().size());
        for (std::size_t i = 0; i < own.ColourTable().size(); ++i) {
            EXPECT_EQ(std::memcmp(&big.ColourTable()[i], &own.ColourTable()[i], 4), 0);
        }
    }
}

TEST(BitmapLoader, SixteenBitFilesStayFiveFiveFiveWhenStretched) {
    const DibSection dib = LoadBitmapFromFile(EdgeBmp("rgb555-16bit.bmp"), 530, 530);
    ASSERT_FALSE(dib.IsNull());
    ASSERT_EQ(dib.BitsPerPixel(), 16);
    for (int row = 0; row < dib.Height(); ++row) {
        for (int x = 0; x < dib.Width(); ++x) {
            ASSERT_EQ(dib.Row(row)[2 * x + 1] & 0x80, 0);
        }
    }
}

TEST(BitmapLoader, ShortColourTablesArePaddedWithZeroEntries) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.bmp"));
    ASSERT_TRUE(WriteAll(
        path,
        MakeBmp(4, 2, 8, {0x00FF0000, 0x000000FF},
                {QByteArray("\x00\x01\x01\x00", 4), QByteArray("\x01\x01\x00\x00", 4)}, false)));
    for (const QSize size : {QSize(4, 2), QSize(8, 8)}) {
        const DibSection dib = LoadBitmapFromFile(path, size.width(), size.height());
        ASSERT_FALSE(dib.IsNull());
        ASSERT_EQ(dib.ColourTable().size(), 256u);
        EXPECT_EQ(dib.ColourTable()[0].red, 255);
        EXPECT_EQ(dib.ColourTable()[1].blue, 255);
        for (std::size_t i = 2; i < 256; ++i) {
            const RgbQuad& q = dib.ColourTable()[i];
            ASSERT_EQ(q.red | q.green | q.blue | q.reserved, 0) << i;
        }
        // Top row 0 1 1 0: the top-left pixel is index 0, its neighbour index 1.
        const uint8_t* top = dib.Row(dib.Height() - 1);
        EXPECT_EQ(top[0], 0);
        EXPECT_EQ(top[dib.Width() / 4 + 1], 1);
    }
}

TEST(BitmapLoader, TopDownFilesLoadTheRightWayUp) {
    QTemporaryDir dir;
    const QByteArray original = ReadAll(EdgeBmp("rgb-24bit.bmp"));
    const FileLayout l = LayoutOf(original);
    std::vector<QByteArray> topFirst;
    for (int row = l.height - 1; row >= 0; --row) {
        topFirst.push_back(original.mid(l.pixelOffset + row * l.stride, l.width * 3));
    }
    const QString path = dir.filePath(QStringLiteral("topdown.bmp"));
    ASSERT_TRUE(WriteAll(path, MakeBmp(l.width, l.height, 24, {}, topFirst, true)));
    for (const QSize size : {QSize(l.width, l.height), QSize(100, 80)}) {
        const DibSection a =
            LoadBitmapFromFile(EdgeBmp("rgb-24bit.bmp"), size.width(), size.height());
        const DibSection b = LoadBitmapFromFile(path, size.width(), size.height());
        ASSERT_FALSE(b.IsNull());
        EXPECT_EQ(a.Pixels(), b.Pixels()) << size.width();
    }
}

double MeanError(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

// The plain mean of the source pixels under each target pixel.
QImage BoxAverage(const QImage& src, int width, int height) {
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int y0 = y * src.height() / height, y1 = (y + 1) * src.height() / height;
        for (int x = 0; x < width; ++x) {
            const int x0 = x * src.width() / width, x1 = (x + 1) * src.width() / width;
            long r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy) {
                const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
                for (int sx = x0; sx < x1; ++sx, ++n) {
                    r += qRed(line[sx]), g += qGreen(line[sx]), b += qBlue(line[sx]);
                }
            }
            out.setPixel(x, y, qRgb(int(r / n), int(g / n), int(b / n)));
        }
    }
    return out;
}

TEST(BitmapLoader, ShrinkingAveragesInsteadOfAliasing) {
    QTemporaryDir dir;
    // One-pixel black and white stripes: any point sampling shows stripes, averaging grey.
    QImage stripes(1920, 1080, QImage::Format_RGB32);
    for (int x = 0; x < 1920; ++x) {
        for (int y = 0; y < 1080; ++y) {
            stripes.setPixel(x, y, (x & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    const QString stripesPath = dir.filePath(QStringLiteral("stripes.bmp"));
    ASSERT_TRUE(stripes.save(stripesPath, "BMP"));
    const QImage grey = DibToImage(LoadBitmapFromFile(stripesPath, 530, 530));
    ASSERT_EQ(grey.size(), QSize(530, 530));
    for (int y = 0; y < 530; y += 7) {
        for (int x = 0; x < 530; ++x) {
            ASSERT_NEAR(qGreen(grey.pixel(x, y)), 128, 40) << x << "," << y;
        }
    }

    // A noisy photo comes out close to the box average of the original.
    const QImage photo =
        QImage(TestData(QStringLiteral("photo1080/p2.jpg"))).convertToFormat(QImage::Format_RGB32);
    const QString photoPath = dir.filePath(QStringLiteral("p2.bmp"));
    ASSERT_TRUE(photo.save(photoPath, "BMP"));
    const DibSection small = LoadBitmapFromFile(photoPath, 530, 530);
    ASSERT_EQ(small.BitsPerPixel(), 24);
    EXPECT_LT(MeanError(DibToImage(small), BoxAverage(photo, 530, 530)), 4.0);
}

TEST(BitmapLoader, UnreadableFilesGiveANullBitmap) {
    QTemporaryDir dir;
    const QByteArray good = ReadAll(EdgeBmp("rgb-24bit.bmp"));
    const QByteArray indexed = ReadAll(EdgeBmp("palette-8bit-rle8.bmp"));
    const QString empty = dir.filePath(QStringLiteral("empty.bmp"));
    const QString fake = dir.filePath(QStringLiteral("fake.bmp"));
    const QString cut = dir.filePath(QStringLiteral("cut.bmp"));
    const QString cutRle = dir.filePath(QStringLiteral("cut-rle.bmp"));
    const QString header = dir.filePath(QStringLiteral("header.bmp"));
    ASSERT_TRUE(WriteAll(empty, {}));
    ASSERT_TRUE(WriteAll(fake, "this is not a bitmap\n"));
    ASSERT_TRUE(WriteAll(cut, good.left(good.size() / 2)));
    ASSERT_TRUE(WriteAll(cutRle, indexed.left(indexed.size() / 2)));
    ASSERT_TRUE(WriteAll(header, good.left(30)));
    for (const QString& path : {dir.filePath(QStringLiteral("missing.bmp")), empty, fake, cut,
                                cutRle, header, TestData(QStringLiteral("edge/1x1.png"))}) {
        for (const QSize size : {QSize(321, 241), QSize(530, 530)}) {
            EXPECT_TRUE(LoadBitmapFromFile(path, size.width(), size.height()).IsNull())
                << path.toStdString() << " at " << size.width();
        }
    }
    EXPECT_TRUE(LoadBitmapFromFile(EdgeBmp("rgb-24bit.bmp"), 0, 530).IsNull());
}

TEST(BitmapLoader, PictureButtonsShowTheBitmapWithoutOwningIt) {
    test::App();
    QPushButton button;
    button.resize(90, 100);
    const DibSection dib = LoadBitmapFromFile(EdgeBmp("palette-4bit.bmp"), 90, 100);
    SetButtonBitmap(&button, &dib);
    EXPECT_EQ(ButtonBitmap(&button), &dib);
    EXPECT_FALSE(button.icon().isNull());
    EXPECT_EQ(button.iconSize(), QSize(90, 100));
    EXPECT_TRUE(button.text().isEmpty());

    SetButtonBitmap(&button, nullptr);
    EXPECT_EQ(ButtonBitmap(&button), nullptr);
    EXPECT_TRUE(button.icon().isNull());
    EXPECT_EQ(ButtonBitmap(nullptr), nullptr);
}

}  // namespace
}  // namespace tavrel
