#include "platform/picture_limits.h"

#include <QImageReader>

namespace tavrel {

void AllowPicturesUpToTheLimit() {
    constexpr qint64 kMiB = 1024 * 1024;
    constexpr qint64 kLimitMiB = (kMaxPicturePixels * kMaxDecodedBytesPerPixel + kMiB - 1) / kMiB;
    if (QImageReader::allocationLimit() < kLimitMiB) {
        QImageReader::setAllocationLimit(static_cast<int>(kLimitMiB));
    }
}

Result<Done> CheckDeclaredSize(QSize declared) {
    // Qt gives a top-down BMP's height as it is stored: negative.
    declared = QSize(qAbs(declared.width()), qAbs(declared.height()));
    const qint64 pixels = static_cast<qint64>(declared.width()) * declared.height();
    if (pixels <= kMaxPicturePixels) {
        return Done{};
    }
    return Failure{Tr("the picture is %1 x %2 pixels, more than the %3 megapixels accepted")
                       .arg(declared.width())
                       .arg(declared.height())
                       .arg(kMaxPicturePixels / 1'000'000)};
}

}  // namespace tavrel
