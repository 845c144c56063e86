#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace board {

/// An open device as the operating system names it; 0 means "no board".
using DeviceHandle = std::uintptr_t;
inline constexpr DeviceHandle kNoDevice = 0;

/// @brief Result of opening a board: a handle, or an error code when the handle is not valid.
struct OpenResult {
    DeviceHandle handle = kNoDevice;
    std::uint32_t errorCode = 0;

    [[nodiscard]] bool valid() const { return handle != kNoDevice; }
};

/// @brief The only way to a board: the two operations of the driver protocol.
///
/// Back-ends: the simulated board (the default), the operating system's driver, and the
/// tests' scripted double. Requests are synchronous and never checked for completion by
/// the monitor; callers go through sendRequest(), which zero-fills the output first.
class Driver {
public:
    virtual ~Driver() = default;

    /// @brief Opens the board at the given device-interface index (0..15).
    [[nodiscard]] virtual OpenResult open(unsigned interfaceIndex) = 0;

    /// @brief Sends one device control request and waits for the answer.
    /// @return the completion status, which only traces look at.
    virtual bool send(DeviceHandle handle, std::uint32_t controlCode,
                      std::span<const std::byte> input, std::span<std::byte> output) = 0;

    /// @brief The system's error code for the last send() that failed, asked for on the
    /// thread that sent it right after it; 0 where the back-end has no such code.
    [[nodiscard]] virtual std::uint32_t lastRequestError() { return 0; }
};

} // namespace board
