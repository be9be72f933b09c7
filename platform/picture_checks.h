// What is checked of a picture file before a decoder sees it: that it is a regular file of
// a sane size, that the picture it declares is within the limit, and that its data is whole
// (a cut-off BMP or JPEG decodes "successfully" with a blank or grey band) and bounded (a
// JPEG with more scans than any encoder writes).
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include "platform/result.h"

namespace tavrel {

// Reads the picture file `name`, any name the file system holds (see file_names.h). Refuses
// folders, FIFOs and devices (without blocking on them), empty files and files larger than
// any accepted picture could be.
Result<QByteArray> ReadPictureFile(const QString& name);

// The same checks without reading.
Result<Done> CheckPictureFile(const QString& name);

// The first `limit` bytes of the picture file (fewer when it is shorter), after the same
// checks: enough to read the declared size of most pictures without reading them whole.
Result<QByteArray> ReadPictureFileHead(const QString& name, qsizetype limit);

// The checks on the file's bytes, given the size Qt's reader reports for them (a BMP's size
// is read here: Qt reports none for the largest). The format is told by the bytes. Done when
// decoding may go ahead. Called before any other judgement of the file, so that an oversized
// picture is called oversized.
Result<Done> CheckBeforeDecoding(const QByteArray& bytes, QSize declared);

}  // namespace tavrel
