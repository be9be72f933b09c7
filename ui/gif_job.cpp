#include "ui/gif_job.h"

#include <QFileInfo>
#include <QThread>
#include <new>
#include <utility>

#include "frames/frame_maker.h"
#include "gif/gif_writer.h"
#include "platform/output_target.h"

namespace tavrel {

namespace {

GifJob::PictureHook& Hook() {
    static GifJob::PictureHook hook;
    return hook;
}

// The window's GIF of staged copies, frame by frame, into a file that appears only whole.
GifRunOutcome RunGif(const std::vector<PictureSource>& sources, const GifSettings& settings,
                     const QString& outputPath, const GifRunControl& control) {
    GifRunOutcome outcome;
    const auto fail = [&](GifRunFailure::Kind kind, const QString& reason, int source = -1) {
        outcome.failure = GifRunFailure{kind, source, QString(), reason};
        return outcome;
    };
    const Result<OutputTarget> target = ChooseOutputTarget(outputPath, control.protectedInputs);
    TargetOutputFile file;
    const Result<Done> opened = target ? file.Open(*target) : Failure{target.Reason()};
    if (!opened) {
        return fail(GifRunFailure::Kind::kOutput, opened.Reason());
    }
    try {
        bool headerWritten = false;
        const int total = static_cast<int>(sources.size());
        for (int n = 1; n <= total; ++n) {
            if (control.onPicture && !control.onPicture(n, total)) {
                return fail(GifRunFailure::Kind::kStopped, QString());
            }
            const PictureSource& source = sources[static_cast<std::size_t>(n - 1)];
            const Result<IndexedFrame> frame = MakeFrameFromStagedBmp(source.path, settings.frame);
            if (!frame) {
                return fail(GifRunFailure::Kind::kPicture, frame.Reason(), n - 1);
            }
            WriteFrame(file, *frame, settings.delay, headerWritten);
        }
        WriteGifTrailer(file);
    } catch (const FileWriteError& error) {
        return fail(GifRunFailure::Kind::kOutput, QString::fromUtf8(error.what()));
    } catch (const std::bad_alloc&) {
        return fail(GifRunFailure::Kind::kOutOfMemory, QString());
    }
    if (const Result<Done> committed = file.Commit(); !committed) {
        return fail(GifRunFailure::Kind::kOutput, committed.Reason());
    }
    outcome.summary.frames = static_cast<int>(sources.size());
    outcome.summary.bytes = static_cast<uint64_t>(QFileInfo(outputPath).size());
    return outcome;
}

}  // namespace

GifJob::GifJob(std::vector<PictureSource> sources, GifSettings settings, QString outputPath,
               QObject* parent)
    : QObject(parent),
      sources_(std::move(sources)),
      settings_(std::move(settings)),
      outputPath_(std::move(outputPath)) {}

GifJob::~GifJob() {
    if (thread_ != nullptr) {
        stop_ = true;
        thread_->wait();
        delete thread_;
    }
}

void GifJob::SetPictureHook(PictureHook hook) {
    Hook() = std::move(hook);
}

void GifJob::Start() {
    thread_ = QThread::create([this] {
        GifRunControl control;
        control.onPicture = [this](int n, int total) {
            if (Hook()) {
                Hook()(*this, n);
            }
            if (stop_) {
                return false;
            }
            QMetaObject::invokeMethod(
                this, [this, n, total] { emit Progress(n, total); }, Qt::QueuedConnection);
            return true;
        };
        outcome_ = RunGif(sources_, settings_, outputPath_, control);
    });
    // Delivered on the job's own thread once the run's thread has ended.
    connect(thread_, &QThread::finished, this, &GifJob::Finished, Qt::QueuedConnection);
    thread_->start();
}

}  // namespace tavrel
