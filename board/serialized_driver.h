#pragma once

#include "board/driver.h"

#include <mutex>

namespace board {

/// @brief One driver shared by the window's thread and a thread of the program's own: the
/// board takes one request at a time, in the order the threads come to it, and each thread
/// gets the system's error of its own last failed request.
class SerializedDriver final : public Driver {
public:
    explicit SerializedDriver(Driver& inner) : inner_(inner) {}

    [[nodiscard]] OpenResult open(unsigned interfaceIndex) override {
        const std::scoped_lock lock(mutex_);
        return inner_.open(interfaceIndex);
    }

    bool send(DeviceHandle handle, std::uint32_t controlCode, std::span<const std::byte> input,
              std::span<std::byte> output) override {
        const std::scoped_lock lock(mutex_);
        const bool done = inner_.send(handle, controlCode, input, output);
        lastError() = done ? 0 : inner_.lastRequestError();
        return done;
    }

    [[nodiscard]] std::uint32_t lastRequestError() override { return lastError(); }

private:
    static std::uint32_t& lastError() {
        thread_local std::uint32_t error = 0;
        return error;
    }

    Driver& inner_;
    std::mutex mutex_;
};

} // namespace board
