// One GIF run of the window on a thread of its own, so that the dialog stays responsive: the
// run gets its own copy of the staged paths and the settings, reports "picture n of N" and
// its outcome through queued signals, and stops before its next picture when asked.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "frames/gif_run.h"

class QThread;

namespace tavrel {

class GifJob : public QObject {
    Q_OBJECT
public:
    GifJob(std::vector<PictureSource> sources, const GifSettings& settings, QString outputPath,
           QObject* parent = nullptr);
    // Asks a run still going to stop and waits for it.
    ~GifJob() override;
    GifJob(const GifJob&) = delete;
    GifJob& operator=(const GifJob&) = delete;

    void Start();
    // The run ends before its next picture and leaves no file.
    void Stop() { stop_ = true; }
    bool StopAsked() const { return stop_; }
    const GifRunOutcome& Outcome() const { return outcome_; }

    // Tests slow a run down: called on the run's thread before picture n is made.
    using PictureHook = std::function<void(GifJob& job, int n)>;
    static void SetPictureHook(PictureHook hook);

signals:
    // Picture n of total is being made (queued to the job's thread).
    void Progress(int n, int total);
    // The run is over; Outcome() holds how it ended.
    void Finished();

private:
    std::vector<PictureSource> sources_;
    GifSettings settings_;
    QString outputPath_;
    std::atomic<bool> stop_{false};
    GifRunOutcome outcome_;
    QThread* thread_ = nullptr;
};

}  // namespace tavrel
