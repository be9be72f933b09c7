#include "platform/image_thread_pool.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tavrel {
namespace {

constexpr int kMaxPoolThreads = 16;
// A started thread reports back at once; this only bounds a system that starts one and then
// never schedules it.
constexpr int kStartTimeoutMs = 30000;

// How many threads the system starts now, up to `wanted`, counted by starting them side by
// side (std::thread reports a refusal, which Qt's pool does not).
int ThreadsTheSystemStarts(int wanted) {
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    std::vector<std::thread> threads;
    try {
        while (static_cast<int>(threads.size()) < wanted) {
            threads.emplace_back([&] {
                std::unique_lock lock(mutex);
                released.wait(lock, [&] { return release; });
            });
        }
    } catch (const std::system_error&) {
        // as many as it allowed
    }
    {
        const std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return static_cast<int>(threads.size());
}

}  // namespace

bool PrepareImageThreadPool() {
    static std::mutex once;
    static bool prepared = false;
    const std::lock_guard lock(once);
    if (prepared) {
        return true;
    }
    const int wanted = std::clamp(QThread::idealThreadCount(), 1, kMaxPoolThreads);
    const int threads = ThreadsTheSystemStarts(wanted);
    if (threads == 0) {
        return false;
    }
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);  // started threads stay, so none has to be started later
    pool->setMaxThreadCount(threads);
    // Each task holds its thread until all have started, so that each gets a thread of its
    // own. The semaphores outlive this call: a late task may still come to them.
    struct Gates {
        QSemaphore started;
        QSemaphore go;
    };
    const auto gates = std::make_shared<Gates>();
    for (int i = 0; i < threads; ++i) {
        pool->start([gates] {
            gates->started.release();
            gates->go.acquire();
        });
    }
    prepared = gates->started.tryAcquire(threads, kStartTimeoutMs);
    gates->go.release(threads);
    return prepared;
}

}  // namespace tavrel
