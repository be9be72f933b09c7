// The image codec layer: start-up and shut-down, reading pictures (JPEG, PNG, BMP) and
// saving them through an encoder found by MIME type. Every operation fails while the layer
// is not started.
#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

#include "platform/result.h"

namespace tavrel {

struct CodecStartupInput {
    uint32_t GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    int SuppressBackgroundThread = 0;
    int SuppressExternalCodecs = 0;
};

enum class CodecStatus { Ok = 0, GenericError = 1, InvalidParameter = 2, NotStarted = 3 };

CodecStatus CodecStartup(uintptr_t* token, const CodecStartupInput* input);
void CodecShutdown(uintptr_t token);
bool CodecsStarted();

using EncoderClassId = std::array<uint8_t, 16>;

// True when the codec layer has an encoder for that MIME type (exact, case-sensitive).
bool FindEncoderByMimeType(const QString& mimeType, EncoderClassId* classId);

// Reads a picture file, upright (EXIF orientation applied), as 32-bit RGB (transparent parts
// on white) or, for opaque 1- and 8-bit pictures, with its own colour table. Pictures too
// large to decode are refused, not allocated. Raises std::bad_alloc when memory runs out.
Result<QImage> LoadPicture(const QString& path);

// LoadPicture in two steps, for callers that look at a picture's declared size before
// decoding it: the file's bytes (with the same reasons) and their decoding.
Result<QByteArray> ReadPicture(const QString& path);
Result<QImage> DecodePictureBytes(const QByteArray& bytes);
// The size a picture's header declares, without decoding it; invalid when unrecognised.
QSize DeclaredPictureSize(const QByteArray& bytes);

// Saves with the encoder of that class id, replacing any file at the path.
Result<Done> SavePicture(const QImage& image, const QString& path, const EncoderClassId& encoder);

// The dialog's staging step: reads the picture at source and writes it as a BMP file at
// target (target untouched on failure; running out of memory is a failure too).
Result<Done> StagePictureAsBmp(const QString& source, const QString& target);

}  // namespace tavrel
