#include "app/cli_staging.h"

#include "platform/image_codecs.h"

namespace tavrel {

StagingPipeline::StagingPipeline(const QStringList& picturePaths, const QString& folder)
    : picturePaths_(picturePaths), folder_(folder) {
    if (!picturePaths_.isEmpty()) {
        next_ = Start(0);
    }
}

StagingPipeline::~StagingPipeline() {
    if (next_.valid()) {
        next_.wait();
    }
}

StagedPicture StagingPipeline::Take(qsizetype i) {
    StagedPicture staged = next_.get();
    if (staged.ok && i + 1 < picturePaths_.size()) {
        next_ = Start(i + 1);
    }
    return staged;
}

std::future<StagedPicture> StagingPipeline::Start(qsizetype i) {
    // Two names in turn: the copy being converted is never the one being written.
    QString bmpPath = folder_ + QStringLiteral("/frame-%1.bmp").arg(i % 2);
    return std::async(std::launch::async,
                      [picture = picturePaths_[i], bmpPath = std::move(bmpPath)] {
                          StagedPicture staged;
                          staged.bmpPath = bmpPath;
                          staged.ok = StagePictureAsBmp(picture, bmpPath, &staged.reason);
                          return staged;
                      });
}

}  // namespace tavrel
