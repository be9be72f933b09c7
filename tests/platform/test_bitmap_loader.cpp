#include "platform/bitmap_loader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QtEndian>
#include <set>

#include "tests/qt_app_environment.h"
#include "tests/support/hostile_pictures.h"

namespace tavrel {
namespace {

using test::FileContent;
using test::WriteAll;

QString Edge(const char* name) {
    return test::TestData(QStringLiteral("edge/") + name);
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
        const QByteArray file = FileContent(
            Edge(std::string_view(c.file).ends_with("rle8.bmp") ? "palette-8bit.bmp" : c.file));
        const char* pixels = file.constData() + qFromLittleEndian<uint32_t>(file.constData() + 10);
        for (int row = 0; row < 241; ++row) {
            ASSERT_EQ(0, std::memcmp(dib.Row(row), pixels + row * dib.Stride(), dib.Stride()))
                << "row " << row;
        }
        // And on screen what Qt reads from the file (5-bit channels may be widened differently).
        const QImage expected = QImage(Edge(c.file)).convertToFormat(QImage::Format_RGB32);
        EXPECT_LE(Difference(DibToImage(dib), expected).first, 7);
    }
}

TEST(BitmapLoader, StretchingIndexedBitmapsKeepsTheirIndicesAndTable) {
    for (const char* name : {"bilevel-1bit.bmp", "palette-4bit.bmp", "palette-8bit-rle8.bmp"}) {
        SCOPED_TRACE(name);
        const DibSection own = LoadBitmapFromFile(Edge(name), 321, 241);
        const DibSection big = LoadBitmapFromFile(Edge(name), 530, 530);
        ASSERT_FALSE(big.IsNull());
        ASSERT_EQ(big.BitsPerPixel(), own.BitsPerPixel());
        const std::set<unsigned> before = IndicesUsed(own), after = IndicesUsed(big);
        EXPECT_TRUE(std::includes(before.begin(), before.end(), after.begin(), after.end()));
        EXPECT_GE(after.size(), before.size() / 2);  // still the picture, not one colour
        ASSERT_EQ(big.ColourTable().size(), own.ColourTable().size());
        EXPECT_EQ(0, std::memcmp(big.ColourTable().data(), own.ColourTable().data(),
                                 4 * own.ColourTable().size()));
    }
}

// Qt reorders some two-colour tables when it reads a 1-bit BMP (and inverts the bits to
// match); the colours must come out as the file has them, whatever the order.
TEST(BitmapLoader, OneBitPicturesKeepTheirColoursWhateverTheirTableOrder) {
    const struct {
        const char* what;
        QList<QRgb> table;
    } cases[] = {
        {"light first", {qRgb(250, 250, 240), qRgb(10, 20, 30)}},
        {"dark first", {qRgb(10, 20, 30), qRgb(250, 250, 240)}},
        {"red and green", {qRgb(192, 48, 32), qRgb(20, 200, 40)}},
        {"one colour", {qRgb(192, 48, 32)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QImage mono(16, 4, QImage::Format_Mono);
        mono.setColorTable(c.table);
        for (int y = 0; y < mono.height(); ++y) {
            for (int x = 0; x < mono.width(); ++x) {
                mono.setPixel(x, y, c.table.size() > 1 && (x + y) % 3 == 0 ? 1 : 0);
            }
        }
        const DibSection dib = LoadBitmapFromBytes(test::Encoded(mono, "bmp"), 32, 8);
        ASSERT_FALSE(dib.IsNull());
        const QImage expected = mono.scaled(32, 8).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(Difference(DibToImage(dib), expected).first, 0);
    }
}

TEST(BitmapLoader, APhotoShrinksSmoothly) {
    QTemporaryDir dir;
    // A noisy photo comes out close to Qt's own smooth reduction of it.
    const QImage photo = QImage(test::TestData(QStringLiteral("photo1080/p2.jpg")))
                             .convertToFormat(QImage::Format_RGB32);
    const QString photoPath = dir.filePath(QStringLiteral("p2.bmp"));
    ASSERT_TRUE(photo.save(photoPath, "BMP"));
    const DibSection small = LoadBitmapFromFile(photoPath, 530, 530);
    ASSERT_EQ(small.BitsPerPixel(), 24);
    const QImage smooth = photo.scaled(530, 530, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(Difference(DibToImage(small), smooth).second, 2.0);
}

TEST(BitmapLoader, UnreadableFilesGiveANullBitmap) {
    QTemporaryDir dir;
    const QByteArray good = FileContent(Edge("rgb-24bit.bmp")),
                     rle = FileContent(Edge("palette-8bit-rle8.bmp"));
    QStringList paths{dir.filePath(QStringLiteral("missing.bmp")), Edge("1x1.png")};
    for (const QByteArray& bytes :
         {good.left(30), good.left(good.size() / 2), rle.left(rle.size() / 2)}) {
        paths << dir.filePath(QString::number(paths.size()));
        ASSERT_TRUE(WriteAll(paths.last(), bytes));
    }
    for (const QString& path : paths) {
        EXPECT_TRUE(LoadBitmapFromFile(path, 530, 530).IsNull()) << path.toStdString();
    }
}

}  // namespace
}  // namespace tavrel
