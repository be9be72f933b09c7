#include "frames/frame_maker.h"

#include <QBuffer>
#include <QImageWriter>

#include "frames/fitted_picture.h"
#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/true_colour_frame.h"
#include "platform/bitmap_loader.h"

namespace tavrel {

namespace {

Failure NotAFrame() {
    return {Tr("cannot be turned into a GIF frame")};
}

// Indexed pictures are rare and small; writing Qt's BMP in memory and loading it back takes
// every choice of that road (bit depth, colour table length, row order) as it is.
DibSection StretchIndexedThroughBmp(const QImage& picture, const FrameOptions& options) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "bmp").write(picture)) {
        return {};
    }
    buffer.close();
    return LoadBitmapFromBytes(std::move(bytes), options.width, options.height);
}

}  // namespace

Result<DibSection> StretchPicture(const QImage& picture, const FrameOptions& options) {
    DibSection bitmap;
    if (options.fit != FitMode::kStretch) {
        bitmap = FitTrueColourPicture(picture, options.width, options.height, options.fit,
                                      options.background);
        if (bitmap.IsNull()) {
            return NotAFrame();
        }
        return bitmap;
    }
    switch (picture.format()) {
        case QImage::Format_Mono:
        case QImage::Format_Indexed8:
            bitmap = StretchIndexedThroughBmp(picture, options);
            break;
        default:
            // The staged copy of a true-colour picture is a 24-bit BMP.
            bitmap = StretchTrueColourPicture(picture, 24, options.width, options.height);
            break;
    }
    if (bitmap.IsNull()) {
        return NotAFrame();
    }
    return bitmap;
}

Result<IndexedFrame> IndexBitmap(const DibSection& bitmap, FrameQuality quality) {
    IndexedFrame frame;
    if (!BitmapToIndexedFrame(bitmap, quality, frame)) {
        return NotAFrame();
    }
    return frame;
}

}  // namespace tavrel
