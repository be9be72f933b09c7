#include "frames/frames_in_parallel.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/image_codecs.h"

namespace tavrel {

namespace {

// A decoded picture above this size (4 bytes a pixel) is decoded while no other such
// picture is held, so two huge pictures never sit in memory at once.
constexpr qint64 kHugeDecodeBytes = 64LL * 1024 * 1024;

bool IsHuge(QSize declared) {
    return static_cast<qint64>(declared.width()) * declared.height() * 4 > kHugeDecodeBytes;
}

struct Slot {
    std::optional<Result<IndexedFrame>> frame;
    std::exception_ptr error;
};

// Shared by the workers and the writer; every field is guarded by mutex.
class FrameQueue {
public:
    FrameQueue(const QStringList& pictures, const FrameOptions& frame, int window)
        : pictures_(pictures),
          frame_(frame),
          window_(window),
          slots_(static_cast<std::size_t>(pictures.size())) {}

    void Work() {
        for (;;) {
            qsizetype i = 0;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || next_ < written_ + window_; });
                if (stop_ || next_ >= pictures_.size()) {
                    return;
                }
                i = next_++;
            }
            Slot made;
            try {
                made.frame = Make(pictures_[i]);
            } catch (...) {
                made.error = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex_);
                slots_[static_cast<std::size_t>(i)] = std::move(made);
            }
            changed_.notify_all();
        }
    }

    // Waits for frame i and takes it out of the queue.
    Slot Take(qsizetype i) {
        std::unique_lock lock(mutex_);
        Slot& slot = slots_[static_cast<std::size_t>(i)];
        changed_.wait(lock, [&] { return slot.frame.has_value() || slot.error; });
        return std::move(slot);
    }

    // Frame i has been written: a worker may start one more.
    void Written(qsizetype i) {
        {
            const std::lock_guard lock(mutex_);
            written_ = i + 1;
        }
        changed_.notify_all();
    }

    void Stop() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
    }

private:
    // The file is read once; its header tells whether the decode must wait its turn.
    Result<IndexedFrame> Make(const QString& path) {
        const Result<QByteArray> bytes = ReadPicture(path);
        if (!bytes) {
            return Failure{bytes.Reason()};
        }
        if (!IsHuge(DeclaredPictureSize(*bytes))) {
            return MakeFrameFromPictureBytes(*bytes, frame_);
        }
        const std::lock_guard oneHugeAtATime(hugeDecode_);
        return MakeFrameFromPictureBytes(*bytes, frame_);
    }

    const QStringList& pictures_;
    const FrameOptions frame_;
    const qsizetype window_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    qsizetype next_ = 0;
    qsizetype written_ = 0;
    bool stop_ = false;
    std::mutex hugeDecode_;
};

// Ends the workers on every way out of a run.
class Workers {
public:
    Workers(FrameQueue& queue, int count) : queue_(queue) {
        for (int i = 0; i < count; ++i) {
            threads_.emplace_back([&queue] { queue.Work(); });
        }
    }
    ~Workers() {
        queue_.Stop();
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

private:
    FrameQueue& queue_;
    std::vector<std::thread> threads_;
};

}  // namespace

std::optional<FramesFailure> AppendFramesFromPictures(const QStringList& pictures, OutputFile& out,
                                                      uint16_t delay, const FrameOptions& frame,
                                                      const ParallelOptions& parallel) {
    const int threads = parallel.threads < 1 ? 1 : parallel.threads;
    FrameQueue queue(pictures, frame, threads);
    const Workers workers(queue, threads);
    bool headerWritten = false;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        if (parallel.onFrame && !parallel.onFrame(static_cast<int>(i + 1))) {
            return FramesFailure{-1, Tr("interrupted")};
        }
        Slot slot = queue.Take(i);
        if (slot.error) {
            std::rethrow_exception(slot.error);
        }
        if (!*slot.frame) {
            return FramesFailure{i, slot.frame->Reason()};
        }
        WriteFrame(out, slot.frame->Value(), delay, headerWritten);
        slot = {};  // the frame's buffers go before the next one is taken
        queue.Written(i);
    }
    return std::nullopt;
}

}  // namespace tavrel
