#include "app/cli_make_gif.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <new>

#include "app/cli_staging.h"
#include "gif/gif_writer.h"
#include "platform/output_target.h"
#include "platform/picture_checks.h"
#include "ui/gif_frames.h"

namespace tavrel {
namespace {

MakeGifResult Failed(const QString& path, const QString& reason) {
    return MakeGifResult{false, path, reason};
}

}  // namespace

MakeGifResult MakeGifFromPictures(const QStringList& picturePaths, const QString& outputPath,
                                  uint16_t delay, const std::function<bool(int)>& onFrame) {
    for (const QString& picture : picturePaths) {
        // A quick look at every picture before any decoding, so that a mistyped name fails
        // at once rather than after the pictures before it have been converted.
        if (const Result<Done> checked = CheckPictureFile(picture); !checked) {
            return Failed(picture, checked.Reason());
        }
    }

    // Private to this run and removed with everything in it when the run ends.
    QTemporaryDir stagingDir(QDir::tempPath() + QStringLiteral("/tavrel-gif-XXXXXX"));
    if (!stagingDir.isValid()) {
        return Failed(QDir::tempPath(), QStringLiteral("cannot create a temporary folder: ") +
                                            stagingDir.errorString());
    }

    // Refused before any work when it is one of the pictures, a folder or a terminal.
    const Result<OutputTarget> target = ChooseOutputTarget(outputPath, picturePaths);
    if (!target) {
        return Failed(outputPath, target.Reason());
    }

    TargetOutputFile out;
    if (const Result<Done> opened = out.Open(*target); !opened) {
        return Failed(outputPath, opened.Reason());
    }

    // Declared after the folder: its destructor waits for a staging still in flight, and
    // only then is the folder removed.
    StagingPipeline staging(picturePaths, stagingDir.path());
    bool headerWritten = false;
    for (qsizetype i = 0; i < picturePaths.size(); ++i) {
        const QString& picture = picturePaths[i];
        if (onFrame && !onFrame(static_cast<int>(i + 1))) {
            return Failed({}, QStringLiteral("interrupted"));
        }
        try {
            const StagedPicture staged = staging.Take(i);
            if (!staged.ok) {
                return Failed(picture, staged.reason.isEmpty() ? QStringLiteral("cannot be read")
                                                               : staged.reason);
            }
            const bool appended = AppendBmpFrame(out, staged.bmpPath, kCliFrameSize, kCliFrameSize,
                                                 delay, headerWritten);
            // Disk use stays at two staged copies, whatever the number of pictures.
            QFile::remove(staged.bmpPath);
            if (!appended) {
                return Failed(picture, QStringLiteral("cannot be turned into a GIF frame"));
            }
        } catch (const FileWriteError& error) {
            return Failed(outputPath, QString::fromUtf8(error.what()));
        } catch (const std::bad_alloc&) {
            return Failed(picture, QStringLiteral("out of memory"));
        }
    }

    try {
        WriteGifTrailer(out);
    } catch (const FileWriteError& error) {
        return Failed(outputPath, QString::fromUtf8(error.what()));
    }
    if (const Result<Done> committed = out.Commit(); !committed) {
        return Failed(outputPath, committed.Reason());
    }
    return MakeGifResult{true, {}, {}};
}

}  // namespace tavrel
