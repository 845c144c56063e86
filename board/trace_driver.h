#pragma once

#include "clock.h"
#include "driver.h"
#include "shared_state.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace board {

/// @brief Writes every request that passes to another back-end as one line of text:
///
///     <seconds since start> <interface index> <request name> in <hex> out <hex> <ok|failed>
///
/// Input bytes as sent, output bytes as answered, each byte as two lowercase hex digits
/// ("-" when there are none); an unknown handle shows "?" for the index, an unknown code its
/// hex value. Opening a board adds "<seconds> <index> open ok" or "... open failed <code>".
/// Nothing is allocated per request; the file is flushed at least every quarter second of
/// requests and when the trace ends.
class TraceDriver final : public Driver {
public:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using File = std::unique_ptr<std::FILE, FileCloser>;

    TraceDriver(std::unique_ptr<Driver> inner, File out, const SimClock& clock);
    ~TraceDriver() override;

    TraceDriver(const TraceDriver&) = delete;
    TraceDriver& operator=(const TraceDriver&) = delete;

    [[nodiscard]] OpenResult open(unsigned interfaceIndex) override;
    bool send(DeviceHandle handle, std::uint32_t controlCode, std::span<const std::byte> input,
              std::span<std::byte> output) override;
    [[nodiscard]] std::uint32_t lastRequestError() override { return innerError_; }

private:
    static constexpr unsigned kIndices = kMaxInterfaceIndex + 1;

    void beginLine(SimTime now, int interfaceIndex);
    void appendText(std::string_view text);
    void appendHex(std::span<const std::byte> bytes);
    void endLine(SimTime now);
    [[nodiscard]] int indexOf(DeviceHandle handle) const;

    std::unique_ptr<Driver> inner_;
    std::uint32_t innerError_ = 0; // taken before the trace's own writes can change it
    File out_;
    const SimClock& clock_;
    SimTime start_;
    SimTime lastFlush_;
    std::array<DeviceHandle, kIndices> handleByIndex_{};
    std::array<char, 4096> line_{};
    std::size_t length_ = 0;
};

/// @brief Wraps `inner` in a trace appending to the file at `path`. When the file cannot be
/// opened, returns `inner` unchanged and says why in `problem`.
[[nodiscard]] std::unique_ptr<Driver> withTrace(std::unique_ptr<Driver> inner,
                                                const std::string& path, const SimClock& clock,
                                                std::string& problem);

} // namespace board
