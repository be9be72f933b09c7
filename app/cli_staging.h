// Staging of the pictures of a run, one picture ahead of the frame being made.
#pragma once

#include <QString>
#include <QStringList>
#include <future>

namespace tavrel {

struct StagedPicture {
    bool ok = false;
    QString bmpPath;  // the staged copy; the caller deletes it when its frame is made
    QString reason;   // why the picture could not be staged
};

// Stages the pictures in order (the dialog's staging: the picture read and written as a
// BMP file into folder) on a second thread, so that reading the next picture overlaps
// converting and writing the current one. At most two pictures are in memory at a time,
// and every step is the same one the dialog takes in turn, so the frames are the same.
class StagingPipeline {
public:
    // Starts staging the first picture at once. folder must outlive the pipeline.
    StagingPipeline(const QStringList& picturePaths, const QString& folder);
    // Waits for a staging still in flight.
    ~StagingPipeline();
    StagingPipeline(const StagingPipeline&) = delete;
    StagingPipeline& operator=(const StagingPipeline&) = delete;

    // Waits for picture i (taken in order from 0) and starts staging picture i + 1.
    // Rethrows what the staging threw (such as std::bad_alloc).
    StagedPicture Take(qsizetype i);

private:
    std::future<StagedPicture> Start(qsizetype i);

    QStringList picturePaths_;
    QString folder_;
    std::future<StagedPicture> next_;
};

}  // namespace tavrel
