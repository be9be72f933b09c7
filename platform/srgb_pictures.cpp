#include "platform/srgb_pictures.h"

#include <cmath>

#include "platform/cmyk_jpeg.h"
#include "platform/icc_transform.h"
#include "platform/jpeg_colour.h"

namespace tavrel {
namespace {

bool IsJpeg(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xD8\xFF");
}

// Every row through the transform, in place.
QImage TransformedInPlace(QImage picture, const IccToSrgb& toSrgb) {
    for (int y = 0; y < picture.height(); ++y) {
        toSrgb.Row(picture.scanLine(y), picture.scanLine(y), picture.width());
    }
    picture.setColorSpace(QColorSpace::SRgb);
    return picture;
}

// The pixels of an RGB profile Qt did not read (one built from lookup tables), through
// littleCMS where it reads it. Qt reads the grey ones.
QImage ThroughLittleCms(QImage picture, const QByteArray& profile) {
    const IccToSrgb toSrgb(profile, IccPixels::kRgb32);
    if (!toSrgb) {
        return picture;
    }
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32) {
        picture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                    : QImage::Format_RGB32);
    }
    return TransformedInPlace(std::move(picture), toSrgb);
}

// QImageReader's order: mirror and flip first, then the quarter turn.
QImage Oriented(const QImage& picture, QImageIOHandler::Transformations orientation) {
    QImage out = picture.mirrored(orientation.testFlag(QImageIOHandler::TransformationMirror),
                                  orientation.testFlag(QImageIOHandler::TransformationFlip));
    if (orientation.testFlag(QImageIOHandler::TransformationRotate90)) {
        out = out.transformed(QTransform().rotate(90));
    }
    return out;
}

}  // namespace

bool CountsAsSrgb(const QColorSpace& space) {
    if (space == QColorSpace(QColorSpace::SRgb)) {
        return true;
    }
    return space.primaries() == QColorSpace::Primaries::SRgb &&
           space.transferFunction() == QColorSpace::TransferFunction::Gamma &&
           std::abs(space.gamma() - 2.2F) < 0.01F;
}

QImage InSrgb(QImage picture, const QByteArray& fileBytes) {
    const QColorSpace space = picture.colorSpace();
    if (space.isValid()) {
        if (!CountsAsSrgb(space)) {
            picture.convertToColorSpace(QColorSpace::SRgb);
        }
        return picture;
    }
    if (!IsJpeg(fileBytes)) {
        return picture;
    }
    const QByteArray profile = ReadJpegColour(fileBytes).iccProfile;
    return profile.isEmpty() ? picture : ThroughLittleCms(std::move(picture), profile);
}

std::optional<Result<QImage>> DecodeProfiledCmykJpeg(const QByteArray& fileBytes,
                                                     QImageIOHandler::Transformations orientation) {
    if (!IsJpeg(fileBytes)) {
        return std::nullopt;
    }
    const JpegColour colour = ReadJpegColour(fileBytes);
    if (colour.components != 4 || colour.iccProfile.isEmpty()) {
        return std::nullopt;
    }
    const IccToSrgb toSrgb(colour.iccProfile,
                           colour.adobe ? IccPixels::kCmykAdobeInverted : IccPixels::kCmyk);
    if (!toSrgb) {
        return std::nullopt;
    }
    Result<QImage> decoded = DecodeCmykJpeg(fileBytes, toSrgb);
    if (!decoded || orientation == QImageIOHandler::TransformationNone) {
        return decoded;
    }
    return Result<QImage>(Oriented(*decoded, orientation));
}

}  // namespace tavrel
