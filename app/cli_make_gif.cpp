#include "app/cli_make_gif.h"

#include <new>
#include <optional>

#include "frames/frames_in_parallel.h"
#include "gif/gif_writer.h"
#include "platform/output_target.h"
#include "platform/picture_checks.h"
#include "platform/result.h"

namespace tavrel {
namespace {

MakeGifResult Failed(const QString& path, const QString& reason) {
    return MakeGifResult{false, path, reason};
}

}  // namespace

MakeGifResult MakeGifFromPictures(const QStringList& picturePaths, const QString& outputPath,
                                  uint16_t delay, const FrameOptions& frame,
                                  const std::function<bool(int)>& onFrame, int threads) {
    for (const QString& picture : picturePaths) {
        // A quick look at every picture before any decoding, so that a mistyped name fails
        // at once rather than after the pictures before it have been converted.
        if (const Result<Done> checked = CheckPictureFile(picture); !checked) {
            return Failed(picture, checked.Reason());
        }
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
    if (const Result<Done> committed = out.Commit(); !committed) {
        return Failed(outputPath, committed.Reason());
    }
    return MakeGifResult{true, {}, {}};
}

}  // namespace tavrel
