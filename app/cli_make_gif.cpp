#include "app/cli_make_gif.h"

#include <new>
#include <optional>

#include "frames/frames_in_parallel.h"
#include "frames/gif_budget.h"
#include "frames/size_limit.h"
#include "gif/gif_writer.h"
#include "platform/output_target.h"
#include "platform/picture_checks.h"
#include "platform/result.h"

namespace tavrel {
namespace {

MakeGifResult Failed(const QString& path, const QString& reason) {
    return MakeGifResult{false, path, reason};
}

// Every frame made first, then the file that fits, written only once it is known to fit.
MakeGifResult MakeGifWithinBudget(const QStringList& picturePaths, const OutputTarget& target,
                                  const QString& outputPath, uint16_t delay,
                                  const FrameOptions& frame,
                                  const std::function<bool(int)>& onFrame, int threads,
                                  uint64_t maxBytes) {
    std::optional<std::vector<uint8_t>> gif;
    try {
        std::vector<BudgetFrame> frames;
        for (qsizetype i = 0; i < picturePaths.size(); ++i) {
            if (onFrame && !onFrame(static_cast<int>(i + 1))) {
                return Failed({}, {});
            }
            Result<TrueColourPicture> picture =
                MakeTrueColourFrameFromPicture(picturePaths[i], frame);
            if (!picture) {
                return Failed(picturePaths[i], picture.Reason());
            }
            frames.push_back({std::move(*picture), delay});
        }
        BudgetOutcome outcome = EncodeWithinBudget(frames, maxBytes, threads);
        if (!outcome.gif) {
            return Failed({}, CannotFitReason(static_cast<int>(frames.size()), frame.width,
                                              frame.height, maxBytes, outcome.smallestBytes));
        }
        gif = std::move(outcome.gif);
    } catch (const std::bad_alloc&) {
        return Failed({}, Tr("out of memory"));
    }
    TargetOutputFile out;
    if (const Result<Done> opened = out.Open(target); !opened) {
        return Failed(outputPath, opened.Reason());
    }
    try {
        out.Write(gif->data(), gif->size());
    } catch (const FileWriteError& error) {
        return Failed(outputPath, QString::fromUtf8(error.what()));
    }
    if (const Result<Done> committed = out.Commit(); !committed) {
        return Failed(outputPath, committed.Reason());
    }
    return MakeGifResult{true, {}, {}};
}

}  // namespace

MakeGifResult MakeGifFromPictures(const QStringList& picturePaths, const QString& outputPath,
                                  uint16_t delay, const FrameOptions& frame,
                                  const std::function<bool(int)>& onFrame, int threads,
                                  uint64_t maxBytes) {
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
    if (maxBytes > 0) {
        return MakeGifWithinBudget(picturePaths, *target, outputPath, delay, frame, onFrame,
                                   threads, maxBytes);
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
