#include "platform/bitmap_loader.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QtEndian>
#include <set>

#include "qt_test_app.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::WriteAll;

QString Edge(const char* name) {
    return test::TestData(QStringLiteral("edge/") + name);
}

uint32_t U32(const QByteArray& file, int at) {
    return qFromLittleEndian<uint32_t>(file.constData() + at);
}

std::size_t StrideOf(const QByteArray& file) {  // from the width and bit count
    return (qFromLittleEndian<uint16_t>(file.constData() + 28) * U32(file, 18) + 31) / 32 * 4;
}

// Largest and mean difference of any colour channel between two images of the same size.
std::pair<int, double> Difference(const QImage& a, const QImage& b) {
    int worst = 0;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) {
                worst = std::max(worst, std::abs(d));
                sum += std::abs(d);
            }
        }
    }
    return {worst, sum / (3.0 * a.width() * a.height())};
}

std::set<unsigned> IndicesUsed(const DibSection& d) {
    const int bits = d.BitsPerPixel();
    std::set<unsigned> seen;
    for (int row = 0; row < d.Height(); ++row) {
        for (int x = 0; x < d.Width(); ++x) {
            const int bit = x * bits;
            seen.insert((d.Row(row)[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1));
        }
    }
    return seen;
}

struct DepthCase {
    const char* file;
    int bits;
};
const DepthCase kDepths[] = {
    {"bilevel-1bit.bmp", 1},      {"palette-4bit.bmp", 4},  {"palette-8bit.bmp", 8},
    {"palette-8bit-rle8.bmp", 8}, {"rgb555-16bit.bmp", 16}, {"rgb-24bit.bmp", 24},
    {"bgrx-32bit.bmp", 32},
};

TEST(BitmapLoader, EveryDepthLoadsAtItsOwnSizeAsTheFileHoldsIt) {
    for (const DepthCase& c : kDepths) {
        SCOPED_TRACE(c.file);
        const DibSection dib = LoadBitmapFromFile(Edge(c.file), 321, 241);
        ASSERT_FALSE(dib.IsNull());
        EXPECT_EQ(dib.BitsPerPixel(), c.bits);
        EXPECT_EQ(dib.ColourTable().size(), c.bits <= 8 ? std::size_t{1} << c.bits : 0u);

        // Row for row the bytes of the file (the run-length file those of the plain 8-bit one).
        const QByteArray file = ReadAll(
            Edge(std::string_view(c.file).ends_with("rle8.bmp") ? "palette-8bit.bmp" : c.file));
        ASSERT_EQ(dib.Stride(), StrideOf(file));
        for (int row = 0; row < 241; ++row) {
            ASSERT_EQ(
                0, std::memcmp(dib.Row(row), file.constData() + U32(file, 10) + row * dib.Stride(),
                               dib.Stride()))
                << "row " << row;
        }
        // And on screen what Qt reads from the file (5-bit channels may be widened differently).
        const QImage expected = QImage(Edge(c.file)).convertToFormat(QImage::Format_RGB32);
        EXPECT_LE(Difference(DibToImage(dib), expected).first, 7);
    }
}

TEST(BitmapLoader, StretchingKeepsTheDepthAndIndexedBitmapsTheirIndicesAndTable) {
    for (const DepthCase& c : kDepths) {
        SCOPED_TRACE(c.file);
        const DibSection own = LoadBitmapFromFile(Edge(c.file), 321, 241);
        const DibSection big = LoadBitmapFromFile(Edge(c.file), 530, 530);
        ASSERT_FALSE(big.IsNull());
        ASSERT_EQ(big.BitsPerPixel(), c.bits);
        if (c.bits == 16) {  // still 5-5-5: the top bit of every pixel stays clear
            for (std::size_t i = 1; i < big.Pixels().size(); i += 2)
                ASSERT_EQ(big.Pixels()[i] & 0x80, 0) << i;
        }
        if (c.bits > 8)
            continue;
        const std::set<unsigned> before = IndicesUsed(own), after = IndicesUsed(big);
        EXPECT_TRUE(std::includes(before.begin(), before.end(), after.begin(), after.end()));
        EXPECT_GE(after.size(), before.size() / 2);  // still the picture, not one colour
        ASSERT_EQ(big.ColourTable().size(), own.ColourTable().size());
        EXPECT_EQ(0, std::memcmp(big.ColourTable().data(), own.ColourTable().data(),
                                 4 * own.ColourTable().size()));
    }
}

TEST(BitmapLoader, ShortColourTablesArePaddedAndTopDownFilesLoadUpright) {
    QTemporaryDir dir;
    // The 8-bit file with only its first two colours stored.
    QByteArray shortTable = ReadAll(Edge("palette-8bit.bmp"));
    const uint32_t offset = U32(shortTable, 10);
    shortTable.remove(54 + 8, offset - 54 - 8);
    qToLittleEndian<uint32_t>(54 + 8, shortTable.data() + 10);
    qToLittleEndian<uint32_t>(2, shortTable.data() + 46);
    qToLittleEndian<uint32_t>(shortTable.size(), shortTable.data() + 2);
    const QString shortPath = dir.filePath(QStringLiteral("short.bmp"));
    ASSERT_TRUE(WriteAll(shortPath, shortTable));
    const DibSection full = LoadBitmapFromFile(Edge("palette-8bit.bmp"), 321, 241);
    for (const QSize size : {QSize(321, 241), QSize(530, 530)}) {
        const DibSection dib = LoadBitmapFromFile(shortPath, size.width(), size.height());
        ASSERT_FALSE(dib.IsNull());
        ASSERT_EQ(dib.ColourTable().size(), 256u);
        EXPECT_EQ(0, std::memcmp(dib.ColourTable().data(), full.ColourTable().data(), 8));
        for (std::size_t i = 2; i < 256; ++i)
            ASSERT_EQ(0, std::memcmp(&dib.ColourTable()[i], "\0\0\0\0", 4)) << i;
        if (size.width() == 321)
            EXPECT_EQ(dib.Pixels(), full.Pixels());
    }

    // The 24-bit file stored top row first.
    const QByteArray bottomUp = ReadAll(Edge("rgb-24bit.bmp"));
    const int height = static_cast<int>(U32(bottomUp, 22));
    const std::size_t stride = StrideOf(bottomUp), pixels = U32(bottomUp, 10);
    QByteArray topDown = bottomUp;
    qToLittleEndian<int32_t>(-height, topDown.data() + 22);
    for (int row = 0; row < height; ++row)
        topDown.replace(pixels + row * stride, stride,
                        bottomUp.mid(pixels + (height - 1 - row) * stride, stride));
    const QString topDownPath = dir.filePath(QStringLiteral("topdown.bmp"));
    ASSERT_TRUE(WriteAll(topDownPath, topDown));
    for (const QSize size : {QSize(321, 241), QSize(100, 80)}) {
        const DibSection dib = LoadBitmapFromFile(topDownPath, size.width(), size.height());
        ASSERT_FALSE(dib.IsNull());
        EXPECT_EQ(dib.Pixels(),
                  LoadBitmapFromFile(Edge("rgb-24bit.bmp"), size.width(), size.height()).Pixels());
    }
}

// The plain mean of the source pixels under each target pixel.
QImage BoxAverage(const QImage& src, int w, int h) {
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum[3] = {}, n = 0;
            for (int sy = y * src.height() / h; sy < (y + 1) * src.height() / h; ++sy) {
                for (int sx = x * src.width() / w; sx < (x + 1) * src.width() / w; ++sx, ++n) {
                    const QRgb c = src.pixel(sx, sy);
                    sum[0] += qRed(c), sum[1] += qGreen(c), sum[2] += qBlue(c);
                }
            }
            out.setPixel(x, y, qRgb(sum[0] / n, sum[1] / n, sum[2] / n));
        }
    }
    return out;
}

TEST(BitmapLoader, ShrinkingAveragesInsteadOfAliasing) {
    QTemporaryDir dir;
    // One-pixel black and white stripes: any point sampling shows stripes, averaging grey.
    QImage stripes(1920, 1080, QImage::Format_RGB32);
    for (int x = 0; x < 1920; ++x)
        for (int y = 0; y < 1080; ++y)
            stripes.setPixel(x, y, (x & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QString stripesPath = dir.filePath(QStringLiteral("stripes.bmp"));
    ASSERT_TRUE(stripes.save(stripesPath, "BMP"));
    const QImage grey = DibToImage(LoadBitmapFromFile(stripesPath, 530, 530));
    ASSERT_EQ(grey.size(), QSize(530, 530));
    QImage mid(530, 530, QImage::Format_RGB32);
    mid.fill(qRgb(128, 128, 128));
    EXPECT_LE(Difference(grey, mid).first, 40);

    // A noisy photo comes out close to the box average of the original.
    const QImage photo = QImage(test::TestData(QStringLiteral("photo1080/p2.jpg")))
                             .convertToFormat(QImage::Format_RGB32);
    const QString photoPath = dir.filePath(QStringLiteral("p2.bmp"));
    ASSERT_TRUE(photo.save(photoPath, "BMP"));
    const DibSection small = LoadBitmapFromFile(photoPath, 530, 530);
    ASSERT_EQ(small.BitsPerPixel(), 24);
    // (Point sampling is about 2.6 away, averaging about 1.3.)
    EXPECT_LT(Difference(DibToImage(small), BoxAverage(photo, 530, 530)).second, 2.0);
}

TEST(BitmapLoader, UnreadableFilesGiveANullBitmap) {
    QTemporaryDir dir;
    const QByteArray good = ReadAll(Edge("rgb-24bit.bmp")),
                     rle = ReadAll(Edge("palette-8bit-rle8.bmp"));
    QStringList paths{dir.filePath(QStringLiteral("missing.bmp")), Edge("1x1.png")};
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("this is not a bitmap\n"), good.left(30),
          good.left(good.size() / 2), rle.left(rle.size() / 2)}) {
        paths << dir.filePath(QString::number(paths.size()));
        ASSERT_TRUE(WriteAll(paths.last(), bytes));
    }
    for (const QString& path : paths) {
        EXPECT_TRUE(LoadBitmapFromFile(path, 321, 241).IsNull()) << path.toStdString();
        EXPECT_TRUE(LoadBitmapFromFile(path, 530, 530).IsNull()) << path.toStdString();
    }
    EXPECT_TRUE(LoadBitmapFromFile(Edge("rgb-24bit.bmp"), 0, 530).IsNull());
}

TEST(BitmapLoader, PictureButtonsShowTheBitmapWithoutOwningIt) {
    QPushButton button;
    button.resize(90, 100);
    const DibSection dib = LoadBitmapFromFile(Edge("palette-4bit.bmp"), 90, 100);
    SetButtonBitmap(&button, &dib);
    EXPECT_EQ(ButtonBitmap(&button), &dib);
    EXPECT_EQ(button.iconSize(), QSize(90, 100));
    EXPECT_FALSE(button.icon().isNull());
    SetButtonBitmap(&button, nullptr);
    EXPECT_EQ(ButtonBitmap(&button), nullptr);
    EXPECT_TRUE(button.icon().isNull());
}

}  // namespace
}  // namespace tavrel
