#include "STempFileCleanup.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace {

constexpr size_t kSlots = 8;
constexpr size_t kPathBytes = 4096;
constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};

// Plain arrays: the handler may only read memory that needs no locking or allocation.
struct Slot {
    std::atomic<bool> ready{false};
    char path[kPathBytes] = {};
};
std::array<Slot, kSlots> g_slots;
std::array<struct sigaction, kSignals.size()> g_previous;
std::mutex g_mutex; // guards claiming slots and installing or restoring handlers
int g_registered = 0;

void restorePrevious() {
    for (size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
}

extern "C" void onStopSignal(int sig) {
    const int savedErrno = errno;
    for (Slot& slot : g_slots) {
        if (slot.ready.load(std::memory_order_acquire))
            unlink(slot.path);
    }
    restorePrevious();
    errno = savedErrno;
    // Blocked until we return; then the previous disposition handles it.
    raise(sig);
}

void install() {
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int sig : kSignals)
        sigaddset(&action.sa_mask, sig);
    for (size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], nullptr, &g_previous[i]);
        // A signal the process ignores stays ignored: nobody is going to stop it with it.
        if (g_previous[i].sa_handler != SIG_IGN)
            sigaction(kSignals[i], &action, nullptr);
    }
}

} // namespace

STempFileCleanup::STempFileCleanup(const std::string& path) {
    if (path.empty() || path.size() >= kPathBytes)
        return;
    const std::lock_guard lock(g_mutex);
    for (size_t i = 0; i < kSlots; ++i) {
        Slot& slot = g_slots[i];
        if (slot.ready.load(std::memory_order_relaxed))
            continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        if (g_registered++ == 0)
            install();
        slot.ready.store(true, std::memory_order_release);
        m_slot = static_cast<int>(i);
        return;
    }
}

STempFileCleanup::~STempFileCleanup() {
    if (m_slot < 0)
        return;
    const std::lock_guard lock(g_mutex);
    g_slots[static_cast<size_t>(m_slot)].ready.store(false, std::memory_order_release);
    if (--g_registered == 0)
        restorePrevious();
}
