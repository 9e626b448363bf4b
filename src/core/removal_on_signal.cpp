#include "removal_on_signal.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace kavlo {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSlots = 64;

// A slot is handed between the writers and the handler by its state alone.
enum SlotState : int { kFree, kFilling, kWatched, kClaimed };
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free state");

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};

// A signal handler can reach nothing but static storage, hence this one table of the process.
constinit Slot watched[kSlots];

void removeWatchedAndEnd(int signal) {
    const int savedErrno = errno;
    for (Slot& slot : watched) {
        int expected = kWatched;
        if (slot.state.compare_exchange_strong(expected, kClaimed)) {
            ::unlink(slot.path);
        }
    }
    // Ends the process once this handler returns, so that its status still names the signal.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    errno = savedErrno;
}

bool installHandlers() {
    struct sigaction action {};
    action.sa_handler = removeWatchedAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
            current.sa_handler == SIG_DFL) {
            ::sigaction(signal, &action, nullptr);
        }
    }
    return true;
}

}  // namespace

RemovalOnSignal::RemovalOnSignal(const std::filesystem::path& file) {
    [[maybe_unused]] static const bool installed = installHandlers();
    const std::string& name = file.native();
    if (name.size() >= PATH_MAX) {
        return;
    }
    for (int k = 0; k < kSlots; ++k) {
        int expected = kFree;
        if (watched[k].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(watched[k].path, name.c_str(), name.size() + 1);
            watched[k].state.store(kWatched);
            slot_ = k;
            return;
        }
    }
}

RemovalOnSignal::~RemovalOnSignal() {
    release();
}

RemovalOnSignal::RemovalOnSignal(RemovalOnSignal&& other) noexcept
    : slot_(std::exchange(other.slot_, -1)) {}

RemovalOnSignal& RemovalOnSignal::operator=(RemovalOnSignal&& other) noexcept {
    if (this != &other) {
        release();
        slot_ = std::exchange(other.slot_, -1);
    }
    return *this;
}

void RemovalOnSignal::release() {
    if (slot_ >= 0) {
        // Fails only when the handler has claimed the slot, and then the process is ending.
        int expected = kWatched;
        watched[slot_].state.compare_exchange_strong(expected, kFree);
        slot_ = -1;
    }
}

}  // namespace kavlo
