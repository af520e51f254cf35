#include "io/PendingTempFiles.h"

#ifndef _WIN32
#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>
#endif

namespace lumaquill {

#ifdef _WIN32

int PendingTempFiles::Add(const char*)
{
    return -1;
}

void PendingTempFiles::Remove(int)
{
}

#else

namespace {

// More than enough for the one or two writes a run makes at a time.
constexpr size_t kSlots = 16;
constexpr size_t kMaxPathBytes = 4096;
constexpr std::array kCleanupSignals = { SIGINT, SIGTERM, SIGHUP };

struct Slot {
    char Path[kMaxPathBytes];
    volatile std::sig_atomic_t Used;
};

Slot Slots[kSlots];
std::mutex SlotsLock;

extern "C" void UnlinkPendingAndReraise(int signal)
{
    for (Slot& slot : Slots) {
        if (slot.Used)
            ::unlink(slot.Path);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A signal the process ignores (nohup) or handles itself is left alone.
void InstallHandlersOnce()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (const int signal : kCleanupSignals) {
            struct sigaction previous = {};
            if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler != SIG_DFL)
                continue;
            struct sigaction action = {};
            action.sa_handler = UnlinkPendingAndReraise;
            sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
    });
}

} // namespace

int PendingTempFiles::Add(const char* path)
{
    const size_t length = std::strlen(path);
    if (length >= kMaxPathBytes)
        return -1;
    InstallHandlersOnce();
    std::lock_guard<std::mutex> lock(SlotsLock);
    for (size_t i = 0; i < kSlots; ++i) {
        if (Slots[i].Used)
            continue;
        std::memcpy(Slots[i].Path, path, length + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        Slots[i].Used = 1;
        return static_cast<int>(i);
    }
    return -1;
}

void PendingTempFiles::Remove(int slot)
{
    if (slot < 0 || static_cast<size_t>(slot) >= kSlots)
        return;
    std::lock_guard<std::mutex> lock(SlotsLock);
    Slots[slot].Used = 0;
}

#endif

} // namespace lumaquill
