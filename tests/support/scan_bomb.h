// A progressive JPEG whose last scan is repeated: valid markers throughout, and a decoder
// works through every copy of the scan. Used by the tests of the scan limit and of stopping
// a run in the middle of a slow decode.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace tavrel::test {

// A progressive JPEG of a smooth gradient with some detail, width x height.
inline QByteArray ProgressiveJpeg(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = qRgb(x * 255 / width, y * 255 / height, (x ^ y) & 255);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(90);
    writer.write(image);
    return bytes;
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

}  // namespace tavrel::test
