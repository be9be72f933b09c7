// Pictures made to break a reader: cut-off BMPs of every kind, sizes declared beyond the
// limit, scan bombs (a progressive JPEG whose last scan is repeated: valid markers
// throughout, and a decoder works through every copy); and large valid ones at the edge of
// what is accepted. Built in memory from the shared test pictures.
#pragma once

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <vector>

#include "tests/support/test_files.h"

namespace tavrel::test {

inline QByteArray Encoded(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (progressive) {
        writer.setProgressiveScanWrite(true);
        writer.setQuality(90);
    }
    writer.write(image);
    return bytes;
}

// A progressive JPEG of a smooth gradient with some detail, width x height.
inline QByteArray ProgressiveJpeg(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = qRgb(x * 255 / width, y * 255 / height, (x ^ y) & 255);
        }
    }
    return Encoded(image, "jpeg", true);
}

// The JPEG with its last scan (from its start-of-scan marker to the end-of-image marker)
// present `scans` times in all.
inline QByteArray WithLastScanRepeated(const QByteArray& jpeg, int scans) {
    const qsizetype lastScan = jpeg.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    const qsizetype end = jpeg.lastIndexOf(QByteArrayView("\xFF\xD9", 2));
    if (lastScan < 0 || end < lastScan) {
        return {};
    }
    const QByteArray scan = jpeg.mid(lastScan, end - lastScan);
    return jpeg.left(lastScan) + scan.repeated(scans) + jpeg.mid(end);
}

struct HostilePicture {
    QString name;  // the file name to give it
    QByteArray bytes;
    QString refusal;  // a word the reason must hold; empty: the picture must be accepted
};

inline QByteArray Shared(const QString& relative) {
    return FileContent(TestData(relative));
}

// A 4 x 2 BMP in 4-bit run-length coding, 16 greys: a run and an end of line, a literal
// and an end of line, the end of the bitmap.
inline QByteArray Rle4Bmp() {
    return QByteArray::fromHex(
        "424d82000000000000007600000028000000040000000200000001000400020000000c00000000000000"
        "000000000000000000000000000000001111110022222200333333004444440055555500666666007777"
        "77008888880099999900aaaaaa00bbbbbb00cccccc00dddddd00eeeeee00ffffff000412000000043456"
        "00000001");
}

// The shared JPEG with its frame header claiming width x height.
inline QByteArray JpegDeclaring(quint16 width, quint16 height) {
    QByteArray jpeg = Shared("photo530/p1.jpg");
    const qsizetype frame = jpeg.indexOf(QByteArrayView("\xFF\xC0", 2));
    qToBigEndian(height, jpeg.data() + frame + 5);
    qToBigEndian(width, jpeg.data() + frame + 7);
    return jpeg;
}

// The shared JPEG with its frame header changed at offset (from the marker) to value.
inline QByteArray JpegWithFrameByte(int offset, char value) {
    QByteArray jpeg = Shared("photo530/p1.jpg");
    jpeg[jpeg.indexOf(QByteArrayView("\xFF\xC0", 2)) + offset] = value;
    return jpeg;
}

inline QByteArray BmpDeclaring(qint32 width, qint32 height) {
    QByteArray bmp = Shared("edge/rgb-24bit.bmp");
    qToLittleEndian(width, bmp.data() + 18);
    qToLittleEndian(height, bmp.data() + 22);
    return bmp;
}

// Every class of hostile picture, and the valid pictures at the edges of what is accepted.
inline std::vector<HostilePicture> HostilePictures() {
    std::vector<HostilePicture> pictures;
    const QString incomplete = QStringLiteral("incomplete");
    for (const char* bmp : {"bilevel-1bit", "palette-4bit", "palette-8bit", "palette-8bit-rle8",
                            "rgb555-16bit", "rgb-24bit", "bgrx-32bit"}) {
        const QByteArray whole = Shared(QStringLiteral("edge/%1.bmp").arg(QLatin1String(bmp)));
        const qsizetype offset = qFromLittleEndian<quint32>(whole.constData() + 10);
        const qsizetype half = offset + (whole.size() - offset) / 2;
        pictures.push_back({QStringLiteral("%1-whole.bmp").arg(QLatin1String(bmp)), whole, {}});
        pictures.push_back(
            {QStringLiteral("%1-cut.bmp").arg(QLatin1String(bmp)), whole.left(half), incomplete});
    }
    const QByteArray rle8 = Shared("edge/palette-8bit-rle8.bmp");
    // The last end of line and the end marker gone; a literal run longer than the file.
    pictures.push_back({QStringLiteral("rle8-no-end.bmp"), rle8.chopped(4), incomplete});
    pictures.push_back({QStringLiteral("rle8-past-end.bmp"),
                        rle8.chopped(4) + QByteArray::fromHex("00fe") + QByteArray(10, '\x07'),
                        incomplete});
    pictures.push_back({QStringLiteral("rle4.bmp"), Rle4Bmp(), {}});
    pictures.push_back({QStringLiteral("rle4-no-end.bmp"), Rle4Bmp().chopped(6), incomplete});
    pictures.push_back({QStringLiteral("cut.jpg"), Shared("edge/truncated.jpg"), incomplete});
    pictures.push_back({QStringLiteral("lossless.jpg"), JpegWithFrameByte(1, '\xC3'),
                        QStringLiteral("unsupported kind of JPEG (lossless)")});
    pictures.push_back({QStringLiteral("hierarchical.jpg"), JpegWithFrameByte(1, '\xC5'),
                        QStringLiteral("unsupported kind of JPEG (hierarchical)")});
    pictures.push_back({QStringLiteral("12-bit.jpg"), JpegWithFrameByte(4, 12),
                        QStringLiteral("unsupported kind of JPEG (12 bits a sample)")});
    const QString damaged = QStringLiteral("damaged or incomplete");
    const QByteArray palettePng = Shared("edge/palette-8bit.png");
    const qsizetype plte = palettePng.indexOf("PLTE") - 4;
    const qsizetype plteLength = qFromBigEndian<quint32>(palettePng.constData() + plte);
    pictures.push_back({QStringLiteral("no-palette.png"),
                        QByteArray(palettePng).remove(plte, plteLength + 12), damaged});
    pictures.push_back({QStringLiteral("header-cut.png"), palettePng.left(60), damaged});

    const QString limit = QStringLiteral("100 megapixels");
    pictures.push_back({QStringLiteral("bomb.png"), Shared("edge/bomb-60000x60000.png"), limit});
    pictures.push_back({QStringLiteral("huge.jpg"), JpegDeclaring(10001, 10000), limit});
    pictures.push_back({QStringLiteral("huge.bmp"), BmpDeclaring(20000, -20000), limit});
    pictures.push_back({QStringLiteral("scans.jpg"),
                        WithLastScanRepeated(ProgressiveJpeg(64, 64), 100'000),
                        QStringLiteral("1000 scans")});

    QImage photo(12240, 8160, QImage::Format_RGB32);  // 100 megapixels
    photo.fill(qRgb(40, 90, 160));
    pictures.push_back({QStringLiteral("100-megapixels.jpg"), Encoded(photo, "jpeg"), {}});
    photo = QImage(5000, 5000, QImage::Format_RGBX64);  // 16 bits a channel, 8 bytes a pixel
    photo.fill(QColor::fromRgba64(qRgba64(0x1234, 0x8000, 0xFEDC, 0xFFFF)));
    pictures.push_back({QStringLiteral("16-bit.png"), Encoded(photo, "png"), {}});
    return pictures;
}

}  // namespace tavrel::test
