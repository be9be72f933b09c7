#include "platform/stop_signals.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>

namespace tavrel {
namespace {

constexpr int kPlaces = 8;
constexpr std::size_t kMaxPath = 4096;

enum PlaceState : int { kFree = 0, kWriting = 1, kArmed = 2 };

// Fixed storage, so that the handler reads names without touching the allocator; a place's
// name is read only while its state says armed.
struct Place {
    std::atomic<int> state{kFree};
    std::array<char, kMaxPath> path{};
};
std::array<Place, kPlaces> g_places;

const char* g_message = nullptr;
std::size_t g_messageLength = 0;

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

extern "C" void OnStopSignal(int signalNumber) {
    for (Place& place : g_places) {
        if (place.state.load(std::memory_order_acquire) == kArmed) {
            if (unlink(place.path.data()) != 0) {
                rmdir(place.path.data());
            }
        }
    }
    if (signalNumber != SIGPIPE && g_message) {
        const ssize_t ignored = write(STDERR_FILENO, g_message, g_messageLength);
        static_cast<void>(ignored);
    }
    _exit(128 + signalNumber);
}

}  // namespace

void EndProcessOnStopSignals(const char* message) {
    g_message = message;
    g_messageLength = message ? std::strlen(message) : 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        sigaddset(&action.sa_mask, signalNumber);  // one handler at a time
    }
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        // A signal ignored from the start stays ignored: nohup's SIGHUP, the SIGINT of a
        // background job without job control.
        struct sigaction before {};
        if (sigaction(signalNumber, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) {
            continue;
        }
        sigaction(signalNumber, &action, nullptr);
    }
}

int RemoveOnStop(const char* path) {
    const std::size_t length = std::strlen(path);
    if (length == 0 || length >= kMaxPath) {
        return -1;
    }
    for (int ticket = 0; ticket < kPlaces; ++ticket) {
        Place& place = g_places[static_cast<std::size_t>(ticket)];
        int expected = kFree;
        if (place.state.compare_exchange_strong(expected, kWriting, std::memory_order_acquire)) {
            std::memcpy(place.path.data(), path, length + 1);
            place.state.store(kArmed, std::memory_order_release);
            return ticket;
        }
    }
    return -1;
}

void KeepOnStop(int ticket) {
    if (ticket >= 0 && ticket < kPlaces) {
        g_places[static_cast<std::size_t>(ticket)].state.store(kFree, std::memory_order_release);
    }
}

}  // namespace tavrel
