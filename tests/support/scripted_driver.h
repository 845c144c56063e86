#pragma once

#include "board/driver.h"
#include "board/records.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace testing_support {

/// Everything the monitor sent in one request.
struct RecordedRequest {
    board::DeviceHandle handle = board::kNoDevice;
    std::uint32_t code = 0;
    std::vector<std::byte> input;
    std::size_t outputSize = 0;

    /// The input reinterpreted as a driver record (the input must be exactly that size).
    template <board::DriverRecord Record>
    [[nodiscard]] Record inputAs() const {
        Record record{};
        if (input.size() == sizeof record)
            std::memcpy(&record, input.data(), sizeof record);
        return record;
    }
};

/// @brief Test double for the board driver: records every request and answers from a
/// script. Unscripted requests succeed and leave the (zero-filled) output as it is.
class ScriptedDriver final : public board::Driver {
public:
    using Answer = std::function<bool(const RecordedRequest&, std::span<std::byte> output)>;

    [[nodiscard]] board::OpenResult open(unsigned interfaceIndex) override;
    bool send(board::DeviceHandle handle, std::uint32_t code, std::span<const std::byte> input,
              std::span<std::byte> output) override;

    /// Makes the interface index open; its handle is 0x100 + index.
    void addBoard(unsigned interfaceIndex);
    [[nodiscard]] static board::DeviceHandle handleFor(unsigned interfaceIndex);

    /// Scripts the answer of every request with this code (for any handle).
    void answer(std::uint32_t code, Answer answer);
    /// Scripts a plain 16-bit answer for a given handle, e.g. a serial number.
    void answerU16(board::DeviceHandle handle, std::uint32_t code, std::uint16_t value);
    /// Every request of this code fails, leaving its output untouched.
    void fail(std::uint32_t code);
    /// Every request fails and leaves its output as the caller prepared it.
    void failEverything() { failEverything_ = true; }

    [[nodiscard]] const std::vector<unsigned>& openedIndices() const { return opened_; }
    [[nodiscard]] const std::vector<RecordedRequest>& requests() const { return requests_; }
    [[nodiscard]] std::vector<RecordedRequest> requestsWithCode(std::uint32_t code) const;
    void clearRequests() { requests_.clear(); }

private:
    std::set<unsigned> boards_;
    std::vector<unsigned> opened_;
    std::vector<RecordedRequest> requests_;
    std::map<std::uint32_t, Answer> answers_;
    std::map<std::pair<board::DeviceHandle, std::uint32_t>, std::uint16_t> u16Answers_;
    std::set<std::uint32_t> failing_;
    bool failEverything_ = false;
};

} // namespace testing_support
