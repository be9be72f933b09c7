#include "platform/image_codecs.h"

#include <sys/stat.h>
#include <QBuffer>
#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/bmp_encoder.h"
#include "platform/files.h"
#include "platform/library_messages.h"
#include "platform/output_target.h"
#include "platform/picture_checks.h"
#include "platform/picture_limits.h"
#include "platform/srgb_pictures.h"
#include "platform/trace.h"

namespace tavrel {

namespace {

int g_startCount = 0;
uintptr_t g_nextToken = 1;

Failure NotStarted() {
    return {Tr("the image codecs are not started")};
}

Failure CannotRead(const QString& detail) {
    return {Tr("cannot read the picture: %1").arg(detail)};
}

Failure CannotRead(const char* detail) {
    return CannotRead(Tr(detail));
}

Failure CannotSave(const QString& detail) {
    return {Tr("cannot save the picture: %1").arg(detail)};
}

// Brings a decoded picture into a form the BMP writer keeps as it is: 32-bit RGB, or the
// picture's own colour table for opaque 1- and 8-bit pictures.
QImage ToStorableFormat(QImage image) {
    if (image.hasAlphaChannel()) {
        // Transparent parts of a picture become white, as on a sheet of paper.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.setDevicePixelRatio(image.devicePixelRatio());
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
        painter.end();
        return flat;
    }
    switch (image.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_Mono:
        case QImage::Format_Indexed8:
            return image;
        default:
            // 16 bits per channel, greyscale, CMYK and the rest: 8-bit RGB.
            return image.convertToFormat(QImage::Format_RGB32);
    }
}

// The format the file's first bytes announce: "jpeg", "png", "bmp", or empty.
QByteArray FormatOf(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xD8\xFF")) {
        return "jpeg";
    }
    if (bytes.startsWith("\x89PNG\r\n\x1A\n")) {
        return "png";
    }
    return bytes.startsWith("BM") ? "bmp" : QByteArray();
}

// Opens the file for saving; false and the reason when it cannot. A missing folder (the
// working folders could not be made, or were removed) is made first, so that the reason is
// why that fails (a read-only place), not the folder's absence.
bool OpenForSaving(QSaveFile& file, QString* reason) {
    const QString folder = QFileInfo(file.fileName()).absolutePath();
    if (!QFileInfo(folder).exists() && mkdir(QFile::encodeName(folder).constData(), 0777) != 0) {
        *reason = Tr("the folder %1 cannot be made: %2")
                      .arg(QDir::toNativeSeparators(folder), ReasonForErrno(errno));
        return false;
    }
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = errno != 0 ? ReasonForErrno(errno) : file.errorString();
        return false;
    }
    return true;
}

EncoderClassId ClassIdFor(const QByteArray& mimeType) {
    // A stable id derived from the MIME type (the first 16 bytes of its SHA-1).
    const QByteArray digest = QCryptographicHash::hash(mimeType, QCryptographicHash::Sha1);
    EncoderClassId id{};
    std::memcpy(id.data(), digest.constData(), id.size());
    return id;
}

// The Qt format name of the encoder with that class id, or empty.
QByteArray FormatForClassId(const EncoderClassId& classId) {
    for (const QByteArray& mime : QImageWriter::supportedMimeTypes()) {
        if (ClassIdFor(mime) == classId) {
            const QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(mime);
            return formats.isEmpty() ? QByteArray() : formats.constFirst();
        }
    }
    return {};
}

}  // namespace

CodecStatus CodecStartup(uintptr_t* token, const CodecStartupInput* input) {
    if (!token || !input || input->GdiplusVersion != 1) {
        return CodecStatus::InvalidParameter;
    }
    ++g_startCount;
    *token = g_nextToken++;
    AllowPicturesUpToTheLimit();
    PlatformTrace(QStringLiteral("CodecStartup"));
    return CodecStatus::Ok;
}

void CodecShutdown(uintptr_t token) {
    PlatformTrace(QStringLiteral("CodecShutdown"));
    if (token != 0 && token < g_nextToken && g_startCount > 0) {
        --g_startCount;
    }
}

bool CodecsStarted() {
    return g_startCount > 0;
}

bool FindEncoderByMimeType(const QString& mimeType, EncoderClassId* classId) {
    if (!CodecsStarted()) {
        return false;
    }
    for (const QByteArray& mime : QImageWriter::supportedMimeTypes()) {
        if (QString::fromLatin1(mime) == mimeType) {  // exact, case matters
            if (classId) {
                *classId = ClassIdFor(mime);
            }
            return true;
        }
    }
    return false;
}

Result<QImage> LoadPicture(const QString& path) {
    const Result<QByteArray> bytes = ReadPicture(path);
    if (!bytes) {
        return Failure{bytes.Reason()};
    }
    return DecodePictureBytes(*bytes);
}

Result<QByteArray> ReadPicture(const QString& path) {
    if (!CodecsStarted()) {
        return NotStarted();
    }
    Result<QByteArray> bytes = ReadPictureFile(path);
    if (!bytes) {
        return CannotRead(bytes.Reason());
    }
    return bytes;
}

QSize DeclaredPictureSize(const QByteArray& bytes) {
    // A damaged header makes the decoders complain; the decode that follows says why.
    const LibraryMessages quiet;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

Result<QImage> DecodePictureBytes(const QByteArray& bytes) {
    if (!CodecsStarted()) {
        return NotStarted();
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // What the decoders print about this picture is kept for the reason, not printed.
    const LibraryMessages messages;
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);  // apply the EXIF orientation
    // Before the format is judged: Qt recognises no BMP of a huge declared size.
    if (const Result<Done> checked = CheckBeforeDecoding(bytes, reader.size()); !checked) {
        return CannotRead(checked.Reason());
    }
    // Told by the signature: a damaged header leaves Qt's reader without a format.
    const QByteArray format = FormatOf(bytes);
    if (format.isEmpty()) {
        return CannotRead(QT_TRANSLATE_NOOP("tavrel", "not a JPEG, BMP or PNG picture"));
    }
    reader.setFormat(format);
    QImage image;
    if (std::optional<Result<QImage>> cmyk =
            DecodeProfiledCmykJpeg(bytes, reader.transformation())) {
        if (!*cmyk) {
            return CannotRead(cmyk->Reason());
        }
        image = std::move(**cmyk);
    } else {
        image = reader.read();
    }
    if (image.isNull() && messages.RanOutOfMemory()) {
        throw std::bad_alloc();
    }
    if (image.isNull()) {
        // What the decoder said, when it said something, tells the user more.
        return CannotRead(messages.Explain(Tr("the file is damaged or incomplete")));
    }
    image = ToStorableFormat(InSrgb(std::move(image), bytes));
    if (image.isNull()) {
        throw std::bad_alloc();  // a conversion could not allocate its result
    }
    return image;
}

Result<Done> SavePicture(const QImage& image, const QString& path, const EncoderClassId& encoder) {
    if (!CodecsStarted()) {
        return NotStarted();
    }
    const QByteArray format = FormatForClassId(encoder);
    if (format.isEmpty() || image.isNull()) {
        return CannotSave(Tr("no suitable encoder"));
    }
    // Written beside the target and renamed over it only when complete, so a failure leaves
    // no partial file and any older file intact.
    QSaveFile file(path);
    if (QString reason; !OpenForSaving(file, &reason)) {
        return CannotSave(reason);
    }
    const QByteArray bytes = format == "bmp" ? EncodeBmp24(image) : QByteArray();
    if (!bytes.isEmpty()) {
        errno = 0;
        if (file.write(bytes) != bytes.size() || !file.commit()) {
            const int error = errno;
            return CannotSave(WriteFailureReason(file, error));
        }
        return Done{};
    }
    QImageWriter writer(&file, format);
    errno = 0;
    if (!writer.write(image) || !file.commit()) {
        const int error = errno;
        return CannotSave(writer.error() != QImageWriter::UnknownError
                              ? writer.errorString()
                              : WriteFailureReason(file, error));
    }
    return Done{};
}

Result<Done> StagePictureAsBmp(const QString& source, const QString& target) {
    Result<QImage> image = Failure{};
    try {
        image = LoadPicture(source);
    } catch (const std::bad_alloc&) {
        return CannotRead(Tr("out of memory"));
    }
    if (!image) {
        return Failure{image.Reason()};
    }
    EncoderClassId bmp{};
    if (!FindEncoderByMimeType(QStringLiteral("image/bmp"), &bmp)) {
        return CannotSave(Tr("no BMP encoder"));
    }
    return SavePicture(*image, target, bmp);
}

}  // namespace tavrel
