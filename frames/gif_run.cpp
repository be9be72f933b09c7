#include "frames/gif_run.h"

#include <new>

#include "frames/frame_sequence.h"
#include "frames/gif_encoding.h"
#include "frames/picture_stage.h"
#include "frames/size_limit.h"
#include "platform/image_thread_pool.h"
#include "platform/output_target.h"
#include "platform/picture_checks.h"
#include "platform/result.h"

namespace tavrel {

namespace {

// Passes the bytes on and counts them.
class CountingOutputFile final : public OutputFile {
public:
    explicit CountingOutputFile(OutputFile& out) : out_(out) {}
    void Write(const void* bytes, std::size_t count) override {
        out_.Write(bytes, count);
        written_ += count;
    }
    uint64_t Written() const { return written_; }

private:
    OutputFile& out_;
    uint64_t written_ = 0;
};

GifRunOutcome Failed(GifRunFailure::Kind kind, const QString& path, const QString& reason,
                     int source = -1) {
    return GifRunOutcome{GifRunFailure{kind, source, path, reason}, {}};
}

// Picture by picture through the stages; the first failure in picture order ends the run.
// Write failures and exhausted memory come out as exceptions, after every worker has ended.
std::optional<GifRunFailure> MakeFrames(const std::vector<PictureSource>& sources,
                                        const GifSettings& settings, const GifRunControl& control,
                                        GifFrameSink& sink) {
    FrameSequence sequence(settings, sink);
    PictureStage pictures(sources, settings.frame, FrameSequence::Needs(settings),
                          settings.threads);
    const int total = static_cast<int>(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (control.onPicture && !control.onPicture(static_cast<int>(i) + 1, total)) {
            return GifRunFailure{GifRunFailure::Kind::kStopped, -1, {}, Tr("interrupted")};
        }
        Result<MadePicture> picture = pictures.Take(i);
        if (!picture) {
            return GifRunFailure{GifRunFailure::Kind::kPicture, static_cast<int>(i),
                                 sources[i].path, picture.Reason()};
        }
        sequence.Add(std::move(*picture));
    }
    sequence.Finish();
    return std::nullopt;
}

// Every frame is made first; the file is opened only once bytes that fit are known, so a
// limit that cannot be met leaves nothing behind.
GifRunOutcome MakeGifWithinLimit(const std::vector<PictureSource>& sources,
                                 const GifSettings& settings, const OutputTarget& target,
                                 const QString& outputPath, const GifRunControl& control) {
    BudgetGifEncoder encoder(settings.maxBytes, settings.threads);
    // The encoder remakes the pictures' own frames from the --quality high quantisation, so a
    // crossfade is made against those frames, as the screen will show them.
    GifSettings limited = settings;
    limited.frame.quality = FrameQuality::kHigh;
    BudgetOutcome encoded;
    try {
        if (std::optional<GifRunFailure> failed = MakeFrames(sources, limited, control, encoder)) {
            return GifRunOutcome{std::move(failed), {}};
        }
        encoded = encoder.Encode();
    } catch (const std::bad_alloc&) {
        return Failed(GifRunFailure::Kind::kOutOfMemory, {}, Tr("out of memory"));
    }
    if (!encoded.gif) {
        return Failed(GifRunFailure::Kind::kTooLarge, {},
                      CannotFitReason(encoder.Frames(), settings.frame.width, settings.frame.height,
                                      settings.maxBytes, encoded.smallestBytes));
    }
    TargetOutputFile file;
    if (const Result<Done> opened = file.Open(target); !opened) {
        return Failed(GifRunFailure::Kind::kOutput, outputPath, opened.Reason());
    }
    try {
        file.Write(encoded.gif->data(), encoded.gif->size());
    } catch (const FileWriteError& error) {
        return Failed(GifRunFailure::Kind::kOutput, outputPath, QString::fromUtf8(error.what()));
    }
    if (const Result<Done> committed = file.Commit(); !committed) {
        return Failed(GifRunFailure::Kind::kOutput, outputPath, committed.Reason());
    }
    return GifRunOutcome{std::nullopt, GifRunSummary{encoded.gif->size(), encoder.Frames()}};
}

}  // namespace

GifRunOutcome MakeGif(const std::vector<PictureSource>& sources, const GifSettings& settings,
                      const QString& outputPath, const GifRunControl& control) {
    for (std::size_t i = 0; i < sources.size(); ++i) {
        // A quick look at every picture file before any decoding, so that a mistyped name
        // fails at once rather than after the pictures before it have been made.
        const PictureSource& source = sources[i];
        if (source.kind != PictureSource::Kind::kPictureFile) {
            continue;
        }
        if (const Result<Done> checked = CheckPictureFile(source.path); !checked) {
            return Failed(GifRunFailure::Kind::kPicture, source.path, checked.Reason(),
                          static_cast<int>(i));
        }
    }

    // Refused before any work when it is one of the pictures, a folder or a terminal.
    const Result<OutputTarget> target = ChooseOutputTarget(outputPath, control.protectedInputs);
    if (!target) {
        return Failed(GifRunFailure::Kind::kOutput, outputPath, target.Reason());
    }
    if (!PrepareImageThreadPool()) {
        return Failed(GifRunFailure::Kind::kOutOfMemory, {},
                      Tr("cannot start a thread: the system allows no more (a limit on "
                         "processes or memory)"));
    }
    if (settings.maxBytes > 0) {
        return MakeGifWithinLimit(sources, settings, *target, outputPath, control);
    }
    TargetOutputFile file;
    if (const Result<Done> opened = file.Open(*target); !opened) {
        return Failed(GifRunFailure::Kind::kOutput, outputPath, opened.Reason());
    }
    CountingOutputFile out(file);
    StreamingGifEncoder encoder(out);
    try {
        if (std::optional<GifRunFailure> failed = MakeFrames(sources, settings, control, encoder)) {
            return GifRunOutcome{std::move(failed), {}};
        }
    } catch (const FileWriteError& error) {
        return Failed(GifRunFailure::Kind::kOutput, outputPath, QString::fromUtf8(error.what()));
    } catch (const std::bad_alloc&) {
        return Failed(GifRunFailure::Kind::kOutOfMemory, {}, Tr("out of memory"));
    }
    if (const Result<Done> committed = file.Commit(); !committed) {
        return Failed(GifRunFailure::Kind::kOutput, outputPath, committed.Reason());
    }
    return GifRunOutcome{std::nullopt, GifRunSummary{out.Written(), encoder.Frames()}};
}

}  // namespace tavrel
