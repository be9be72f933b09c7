#include "app/cli_make_gif.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <new>

#include "app/cli_staging.h"
#include "gif/gif_writer.h"
#include "platform/files.h"
#include "ui/gif_frames.h"

namespace tavrel {
namespace {

MakeGifResult Failure(const QString& path, const QString& reason) {
    return MakeGifResult{false, path, reason};
}

// A quick look at every picture before any decoding, so that a mistyped name fails at once
// rather than after the pictures before it have been converted.
QString ProblemWithPictureFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QCoreApplication::translate("tavrel", "no such file");
    }
    if (info.isDir()) {
        return QCoreApplication::translate("tavrel", "is a folder, not a picture");
    }
    // A pipe or device could block or never end; pictures are plain files.
    if (!info.isFile()) {
        return QCoreApplication::translate("tavrel", "is not a regular file");
    }
    if (!info.isReadable()) {
        return QCoreApplication::translate("tavrel", "permission denied");
    }
    return {};
}

}  // namespace

MakeGifResult MakeGifFromPictures(const QStringList& picturePaths, const QString& outputPath,
                                  uint16_t delay, const std::function<bool(int)>& onFrame) {
    for (const QString& picture : picturePaths) {
        if (QString problem = ProblemWithPictureFile(picture); !problem.isEmpty()) {
            return Failure(picture, problem);
        }
    }

    // Private to this run and removed with everything in it when the run ends.
    QTemporaryDir stagingDir(QDir::tempPath() + QStringLiteral("/tavrel-gif-XXXXXX"));
    if (!stagingDir.isValid()) {
        return Failure(QDir::tempPath(), QStringLiteral("cannot create a temporary folder: ") +
                                             stagingDir.errorString());
    }

    AtomicOutputFile out;
    QString reason;
    if (!out.Open(outputPath, &reason)) {
        return Failure(outputPath, reason);
    }

    // Declared after the folder: its destructor waits for a staging still in flight, and
    // only then is the folder removed.
    StagingPipeline staging(picturePaths, stagingDir.path());
    bool headerWritten = false;
    for (qsizetype i = 0; i < picturePaths.size(); ++i) {
        const QString& picture = picturePaths[i];
        if (onFrame && !onFrame(static_cast<int>(i + 1))) {
            return Failure({}, QStringLiteral("interrupted"));
        }
        try {
            const StagedPicture staged = staging.Take(i);
            if (!staged.ok) {
                return Failure(picture, staged.reason.isEmpty() ? QStringLiteral("cannot be read")
                                                                : staged.reason);
            }
            const bool appended = AppendBmpFrame(out, staged.bmpPath, kCliFrameSize, kCliFrameSize,
                                                 delay, headerWritten);
            // Disk use stays at two staged copies, whatever the number of pictures.
            QFile::remove(staged.bmpPath);
            if (!appended) {
                return Failure(picture, QStringLiteral("cannot be turned into a GIF frame"));
            }
        } catch (const FileWriteError& error) {
            return Failure(outputPath, QString::fromUtf8(error.what()));
        } catch (const std::bad_alloc&) {
            return Failure(picture, QStringLiteral("out of memory"));
        }
    }

    try {
        WriteGifTrailer(out);
    } catch (const FileWriteError& error) {
        return Failure(outputPath, QString::fromUtf8(error.what()));
    }
    if (!out.Commit(&reason)) {
        return Failure(outputPath, reason);
    }
    return MakeGifResult{true, {}, {}};
}

}  // namespace tavrel
