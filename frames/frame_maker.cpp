#include "frames/frame_maker.h"

#include <QBuffer>
#include <QImageWriter>

#include "frames/fitted_picture.h"
#include "gif/gif_writer.h"
#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/true_colour_frame.h"
#include "platform/bitmap_loader.h"
#include "platform/image_codecs.h"

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

Result<QImage> DecodePicture(const QString& path) {
    return LoadPicture(path);
}

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

Result<IndexedFrame> MakeFrameFromPicture(const QString& path, const FrameOptions& options) {
    const Result<QByteArray> bytes = ReadPicture(path);
    if (!bytes) {
        return Failure{bytes.Reason()};
    }
    return MakeFrameFromPictureBytes(*bytes, options);
}

Result<IndexedFrame> MakeFrameFromPictureBytes(const QByteArray& bytes,
                                               const FrameOptions& options) {
    Result<DibSection> bitmap = Failure{};
    {
        // The decoded picture goes as soon as it is stretched.
        const Result<QImage> picture = DecodePictureBytes(bytes);
        if (!picture) {
            return Failure{picture.Reason()};
        }
        bitmap = StretchPicture(*picture, options);
    }
    if (!bitmap) {
        return Failure{bitmap.Reason()};
    }
    return IndexBitmap(*bitmap, options.quality);
}

Result<IndexedFrame> MakeFrameFromStagedBmp(const QString& bmpPath, const FrameOptions& options) {
    DibSection bitmap;
    if (options.fit == FitMode::kStretch) {
        bitmap = LoadBitmapFromFile(bmpPath, options.width, options.height);
    } else if (const Result<QImage> picture = DecodePicture(bmpPath)) {
        bitmap = FitTrueColourPicture(*picture, options.width, options.height, options.fit,
                                      options.background);
    }
    if (bitmap.IsNull()) {
        return Failure{Tr("the staged copy cannot be read")};
    }
    return IndexBitmap(bitmap, options.quality);
}

Result<TrueColourPicture> MakeTrueColourFrameFromPicture(const QString& path,
                                                         const FrameOptions& options) {
    const Result<QByteArray> bytes = ReadPicture(path);
    if (!bytes) {
        return Failure{bytes.Reason()};
    }
    Result<DibSection> bitmap = Failure{};
    {
        const Result<QImage> picture = DecodePictureBytes(*bytes);
        if (!picture) {
            return Failure{picture.Reason()};
        }
        bitmap = StretchPicture(*picture, options);
    }
    if (!bitmap) {
        return Failure{bitmap.Reason()};
    }
    std::optional<TrueColourPicture> colours = BitmapTrueColour(*bitmap);
    if (!colours) {
        return NotAFrame();
    }
    return std::move(*colours);
}

void WriteFrame(OutputFile& out, const IndexedFrame& frame, uint16_t delay, bool& headerWritten) {
    if (!headerWritten) {
        WriteGifHeader(out, static_cast<uint16_t>(frame.nWidth),
                       static_cast<uint16_t>(frame.nHeight), frame.nBitsPerPixel);
        headerWritten = true;
    }
    WriteGifFrame(out, frame.pIndices.data(), frame.pPalette.data(),
                  static_cast<uint16_t>(frame.nWidth), static_cast<uint16_t>(frame.nHeight),
                  frame.nBitsPerPixel, delay, kNoTransparentColour);
}

}  // namespace tavrel
