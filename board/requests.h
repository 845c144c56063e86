#pragma once

// Request helpers. Every output record is zero-filled before its request, so a request the
// driver fails reads as zeros: stopped channels, no channels, serial 0, nothing received.

#include "driver.h"
#include "records.h"

#include <cstring>
#include <span>

namespace board {

template <DriverRecord Output>
void clearRecord(Output& output) {
    std::memset(static_cast<void*>(&output), 0, sizeof(Output));
}

template <DriverRecord Record>
[[nodiscard]] std::span<const std::byte> bytesOf(const Record& record) {
    return std::as_bytes(std::span{&record, 1});
}

template <DriverRecord Record>
[[nodiscard]] std::span<std::byte> writableBytesOf(Record& record) {
    return std::as_writable_bytes(std::span{&record, 1});
}

/// @brief The board's side: takes a record from the bytes a request brought; false when
/// they are too few.
template <DriverRecord Record>
[[nodiscard]] bool readRecord(std::span<const std::byte> input, Record& record) {
    if (input.size() < sizeof record)
        return false;
    std::memcpy(&record, input.data(), sizeof record);
    return true;
}

/// @brief The board's side: puts a reply record into a request's output; false when the
/// output is too small.
template <DriverRecord Record>
[[nodiscard]] bool writeRecord(std::span<std::byte> output, const Record& record) {
    if (output.size() < sizeof record)
        return false;
    std::memcpy(output.data(), &record, sizeof record);
    return true;
}

template <DriverRecord Input, DriverRecord Output>
void sendRequest(Driver& driver, DeviceHandle handle, std::uint32_t code, const Input& input,
                 Output& output) {
    clearRecord(output);
    driver.send(handle, code, bytesOf(input), writableBytesOf(output));
}

template <DriverRecord Output>
void sendRequestWithoutInput(Driver& driver, DeviceHandle handle, std::uint32_t code,
                             Output& output) {
    clearRecord(output);
    driver.send(handle, code, {}, writableBytesOf(output));
}

/// For requests with an input and no reply worth reading: the reply is an AckReply.
template <DriverRecord Input>
void sendCommand(Driver& driver, DeviceHandle handle, std::uint32_t code, const Input& input) {
    AckReply ack;
    sendRequest(driver, handle, code, input, ack);
}

/// For IOCTL_RESET_DEVICE, which has neither input nor output.
inline void sendBareRequest(Driver& driver, DeviceHandle handle, std::uint32_t code) {
    driver.send(handle, code, {}, {});
}

} // namespace board
