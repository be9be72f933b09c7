#include "frames/staged_copy.h"

#include "frames/fitted_picture.h"
#include "platform/bitmap_loader.h"
#include "platform/image_codecs.h"
#include "platform/picture_checks.h"

namespace tavrel {

DibSection FitStagedCopy(QByteArray bytes, const FrameOptions& frame) {
    if (frame.fit == FitMode::kStretch) {
        return LoadBitmapFromBytes(std::move(bytes), frame.width, frame.height);
    }
    const Result<QImage> picture = DecodePictureBytes(bytes);
    if (!picture) {
        return {};
    }
    return FitTrueColourPicture(*picture, frame.width, frame.height, frame.fit, frame.background);
}

DibSection LoadStagedCopy(const QString& path, const FrameOptions& frame) {
    Result<QByteArray> bytes = ReadPictureFile(path);
    if (!bytes) {
        return {};
    }
    return FitStagedCopy(std::move(*bytes), frame);
}

}  // namespace tavrel
