#include "app/cli_make_gif.h"

#include <QFileInfo>
#include <new>
#include <optional>

#include "frames/frames_in_parallel.h"
#include "gif/gif_writer.h"
#include "platform/files.h"
#include "platform/result.h"

namespace tavrel {
namespace {

MakeGifResult Failed(const QString& path, const QString& reason) {
    return MakeGifResult{false, path, reason};
}

// A quick look at every picture before any decoding, so that a mistyped name fails at once
// rather than after the pictures before it have been converted.
QString ProblemWithPictureFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return Tr("no such file");
    }
    if (info.isDir()) {
        return Tr("is a folder, not a picture");
    }
    // A pipe or device could block or never end; pictures are plain files.
    if (!info.isFile()) {
        return Tr("is not a regular file");
    }
    if (!info.isReadable()) {
        return Tr("permission denied");
    }
    return {};
}

}  // namespace

MakeGifResult MakeGifFromPictures(const QStringList& picturePaths, const QString& outputPath,
                                  uint16_t delay, const FrameOptions& frame,
                                  const std::function<bool(int)>& onFrame, int threads) {
    for (const QString& picture : picturePaths) {
        if (QString problem = ProblemWithPictureFile(picture); !problem.isEmpty()) {
            return Failed(picture, problem);
        }
    }

    AtomicOutputFile out;
    QString reason;
    if (!out.Open(outputPath, &reason)) {
        return Failed(outputPath, reason);
    }
    try {
        const std::optional<FramesFailure> failed = AppendFramesFromPictures(
            picturePaths, out, delay, frame, ParallelOptions{threads, onFrame});
        if (failed) {
            return Failed(failed->picture < 0 ? QString() : picturePaths[failed->picture],
                          failed->reason);
        }
        WriteGifTrailer(out);
    } catch (const FileWriteError& error) {
        return Failed(outputPath, QString::fromUtf8(error.what()));
    } catch (const std::bad_alloc&) {
        return Failed({}, Tr("out of memory"));
    }
    if (!out.Commit(&reason)) {
        return Failed(outputPath, reason);
    }
    return MakeGifResult{true, {}, {}};
}

}  // namespace tavrel
