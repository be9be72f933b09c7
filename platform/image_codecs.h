// The image codec layer: start-up and shut-down, reading pictures (JPEG, PNG, BMP) and
// saving them through an encoder found by MIME type. Every operation fails while the layer
// is not started.
#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

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

// Reads a picture file, upright (EXIF orientation applied). Pictures too large to decode
// are refused, not allocated. On failure returns a null image and a reason for the user
// (in Chinese, like the program's other texts).
QImage LoadPicture(const QString& path, QString* reason = nullptr);

// Saves with the encoder of that class id, replacing any file at the path.
bool SavePicture(const QImage& image, const QString& path, const EncoderClassId& encoder,
                 QString* reason = nullptr);

// The staging step shared by the dialog and the command-line tool: reads the picture at
// source and writes it as a BMP file at target. False (target untouched) with a reason.
bool StagePictureAsBmp(const QString& source, const QString& target, QString* reason = nullptr);

}  // namespace tavrel
