#include "ui/gif_job.h"

#include <QThread>
#include <utility>

namespace tavrel {

namespace {

GifJob::PictureHook& Hook() {
    static GifJob::PictureHook hook;
    return hook;
}

}  // namespace

GifJob::GifJob(std::vector<PictureSource> sources, const GifSettings& settings, QString outputPath,
               QObject* parent)
    : QObject(parent),
      sources_(std::move(sources)),
      settings_(settings),
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
        outcome_ = MakeGif(sources_, settings_, outputPath_, control);
    });
    // Delivered on the job's own thread once the run's thread has ended.
    connect(thread_, &QThread::finished, this, &GifJob::Finished, Qt::QueuedConnection);
    thread_->start();
}

}  // namespace tavrel
