#include "frames/picture_stage.h"

#include <QByteArray>
#include <QSize>
#include <system_error>

#include "frames/frame_maker.h"
#include "frames/staged_copy.h"
#include "platform/image_codecs.h"
#include "platform/picture_checks.h"

namespace tavrel {

namespace {

// A decoded picture above this size (4 bytes a pixel) is decoded while no other such
// picture is held, so two huge pictures never sit in memory at once.
constexpr qint64 kHugeDecodeBytes = 64LL * 1024 * 1024;

// The head of a file read to learn the picture's size: JPEG metadata (EXIF, colour profile)
// comes before the frame header and rarely takes more.
constexpr qsizetype kHeadBytes = 256 * 1024;

bool IsHuge(const QByteArray& bytes) {
    const QSize declared = DeclaredPictureSize(bytes);
    return static_cast<qint64>(declared.width()) * declared.height() * 4 > kHugeDecodeBytes;
}

// Told before the file is read whole, so that a huge picture's bytes wait at the gate too. A
// head that does not tell the size counts as huge.
bool IsHugeFile(const QString& path) {
    const Result<QByteArray> head = ReadPictureFileHead(path, kHeadBytes);
    if (!head) {
        return false;  // the read proper gives the reason
    }
    return !DeclaredPictureSize(*head).isValid() || IsHuge(*head);
}

Failure StagedCopyUnreadable() {
    return {Tr("the staged copy cannot be read")};
}

// The source's bytes at the frame size.
Result<DibSection> Fit(const PictureSource& source, QByteArray bytes, const FrameOptions& frame) {
    if (source.kind == PictureSource::Kind::kStagedCopy) {
        DibSection bitmap = FitStagedCopy(std::move(bytes), frame);
        if (bitmap.IsNull()) {
            return StagedCopyUnreadable();
        }
        return bitmap;
    }
    // The decoded picture goes as soon as it is fitted.
    const Result<QImage> picture = DecodePictureBytes(bytes);
    if (!picture) {
        return Failure{picture.Reason()};
    }
    return StretchPicture(*picture, frame);
}

}  // namespace

PictureStage::PictureStage(const std::vector<PictureSource>& sources, const FrameOptions& frame,
                           PictureNeeds needs, int threads)
    : sources_(sources),
      frame_(frame),
      needs_(needs),
      window_(static_cast<std::size_t>(threads < 1 ? 1 : threads)),
      slots_(sources.size()) {
    // A thread the system refuses (a limit on processes or memory) leaves the work to those
    // that started; with none, Take makes each picture itself. The bytes are the same.
    try {
        for (std::size_t i = 0; i < window_; ++i) {
            workers_.emplace_back([this] { Work(); });
        }
    } catch (const std::system_error&) {
        // the workers that started carry on
    }
}

PictureStage::~PictureStage() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

Result<MadePicture> PictureStage::Take(std::size_t i) {
    if (workers_.empty()) {
        return Make(sources_[i]);
    }
    Slot slot;
    {
        std::unique_lock lock(mutex_);
        for (; taken_ < i; ++taken_) {
            slots_[taken_] = {};
        }
        changed_.notify_all();
        changed_.wait(lock, [&] { return slots_[i].made.has_value() || slots_[i].error; });
        slot = std::move(slots_[i]);
        slots_[i] = {};
    }
    if (slot.error) {
        std::rethrow_exception(slot.error);
    }
    return std::move(*slot.made);
}

void PictureStage::Work() {
    for (;;) {
        std::size_t i = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || next_ < taken_ + window_; });
            if (stop_ || next_ >= sources_.size()) {
                return;
            }
            i = next_++;
        }
        Slot made;
        try {
            made.made = Make(sources_[i]);
        } catch (...) {
            made.error = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            slots_[i] = std::move(made);
        }
        changed_.notify_all();
    }
}

// The head of the file tells whether reading and decoding it must wait their turn.
Result<MadePicture> PictureStage::Make(const PictureSource& source) {
    std::unique_lock oneHugeAtATime(hugeDecode_, std::defer_lock);
    if (IsHugeFile(source.path)) {
        oneHugeAtATime.lock();
    }
    Result<QByteArray> bytes = ReadPictureFile(source.path);
    if (!bytes) {
        return source.kind == PictureSource::Kind::kStagedCopy ? StagedCopyUnreadable()
                                                               : Failure{bytes.Reason()};
    }
    // The file may have grown since its head was read.
    if (!oneHugeAtATime.owns_lock() && IsHuge(*bytes)) {
        oneHugeAtATime.lock();
    }
    Result<DibSection> fitted = Fit(source, std::move(*bytes), frame_);
    if (oneHugeAtATime.owns_lock()) {
        oneHugeAtATime.unlock();
    }
    if (!fitted) {
        return Failure{fitted.Reason()};
    }
    MadePicture made;
    if (needs_.indexed) {
        Result<IndexedFrame> frame = IndexBitmap(*fitted, frame_.quality);
        if (!frame) {
            return Failure{frame.Reason()};
        }
        made.frame = std::move(*frame);
    }
    if (needs_.colours) {
        std::optional<TrueColourPicture> colours = BitmapTrueColour(*fitted);
        if (!colours) {
            return Failure{Tr("cannot be turned into a GIF frame")};
        }
        made.colours = std::move(*colours);
    }
    if (needs_.fitted) {
        made.fitted = std::move(*fitted);
    }
    return made;
}

}  // namespace tavrel
