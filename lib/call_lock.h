#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace zelva1 {

/// @brief The lock every entry point takes, so that calls from several threads run one at a
/// time. Taking and releasing it free costs one atomic exchange and a plain store, a few
/// nanoseconds less than a mutex: a script that reads cell by cell makes a call per cell.
/// A caller that finds it taken spins briefly, then yields, then naps, since the holder may be
/// in a request to the device that lasts milliseconds; nobody has to be woken on release.
class CallLock {
public:
    void lock() noexcept {
        unsigned waited = 0;
        while (taken_.exchange(true, std::memory_order_acquire))
            while (taken_.load(std::memory_order_relaxed))
                waitABit(waited++);
    }

    void unlock() noexcept { taken_.store(false, std::memory_order_release); }

private:
    static void waitABit(unsigned waited) {
        constexpr unsigned kSpins = 64;
        constexpr unsigned kYields = kSpins + 64;
        if (waited < kSpins)
            return;
        if (waited < kYields)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    }

    std::atomic<bool> taken_{false};
};

} // namespace zelva1
