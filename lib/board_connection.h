#pragma once

#include "system.h"
#include "zelva1.h"

#include "board/control_codes.h"
#include "board/records.h"
#include "board/requests.h"

#include <cstdint>
#include <memory>
#include <span>

namespace zelva1 {

/// @brief One open board: each operation sends the board's requests, checks every one of them
/// and checks the channel against the board's own counts first. Returns library statuses.
class BoardConnection {
public:
    /// @brief Opens the board at `interfaceIndex` and asks for its serial and channel counts.
    /// @return ZELVA1_OK with the connection in `opened`, or the status that stopped it.
    [[nodiscard]] static RequestStatus open(std::shared_ptr<System> system, unsigned interfaceIndex,
                                            std::unique_ptr<BoardConnection>& opened);

    [[nodiscard]] const zelva1_board_info& info() const { return info_; }
    [[nodiscard]] const std::shared_ptr<System>& system() const { return system_; }
    [[nodiscard]] board::DeviceHandle device() const { return handle_; }
    /// The rate code of an output (1..8) as the board's last initialisation set it.
    [[nodiscard]] std::uint8_t outputRate(unsigned channel) const {
        return system_->outputRates[info_.interface_index][channel - 1];
    }

    [[nodiscard]] RequestStatus initialize(const board::FreqCodes& codes);
    [[nodiscard]] RequestStatus reset();

    [[nodiscard]] RequestStatus startReceive(unsigned channel, int mode);
    [[nodiscard]] RequestStatus stopReceive(unsigned channel);
    [[nodiscard]] RequestStatus isReceiving(unsigned channel, int& active);
    [[nodiscard]] RequestStatus readCell(unsigned channel, unsigned index, zelva1_cell& cell) {
        return readInto({static_cast<std::uint16_t>(channel), 1, static_cast<std::uint16_t>(index)},
                        cell);
    }
    [[nodiscard]] RequestStatus readCells(unsigned channel, std::span<zelva1_cell> cells);

    [[nodiscard]] RequestStatus transmit(unsigned channel, std::span<const std::uint32_t> words,
                                         int mode);
    [[nodiscard]] RequestStatus writeWord(unsigned channel, unsigned index, std::uint32_t word);
    [[nodiscard]] RequestStatus stopTransmit(unsigned channel);
    [[nodiscard]] RequestStatus isTransmitting(unsigned channel, int& active);

    /// ZELVA1_OK, ZELVA1_ERROR_CHANNEL or ZELVA1_ERROR_NO_CHANNEL for an input channel number.
    [[nodiscard]] int checkInput(unsigned channel) const {
        return checkChannel(channel, info_.inputs);
    }
    [[nodiscard]] int checkOutput(unsigned channel) const {
        return checkChannel(channel, info_.outputs);
    }

private:
    BoardConnection(std::shared_ptr<System> system, board::DeviceHandle handle,
                    unsigned interfaceIndex);

    [[nodiscard]] static int checkChannel(unsigned channel, std::int32_t present) {
        if (channel < 1 || channel > ZELVA1_MAX_CHANNELS)
            return ZELVA1_ERROR_CHANNEL;
        return static_cast<std::int32_t>(channel) <= present ? ZELVA1_OK : ZELVA1_ERROR_NO_CHANNEL;
    }
    // Inline, down to the driver: a script reading cell by cell makes a request per call.
    /// Sends one request as given; the output is what the driver wrote into it.
    [[nodiscard]] RequestStatus send(std::uint32_t code, std::span<const std::byte> input,
                                     std::span<std::byte> output) {
        board::Driver& driver = system_->driver;
        if (driver.send(handle_, code, input, output))
            return {ZELVA1_OK, 0};
        return {ZELVA1_ERROR_REQUEST, driver.lastRequestError()};
    }
    /// Sends one request with its reply record cleared first.
    template <typename Input, typename Output>
    [[nodiscard]] RequestStatus request(std::uint32_t code, const Input& input, Output& output) {
        board::clearRecord(output);
        return send(code, board::bytesOf(input), board::writableBytesOf(output));
    }
    template <typename Input>
    [[nodiscard]] RequestStatus command(std::uint32_t code, const Input& input) {
        board::AckReply ack;
        return request(code, input, ack);
    }
    /// One IOCTL_SI_READ into `cell`, which is left as it was when the request fails.
    [[nodiscard]] RequestStatus readInto(const board::SIReadRequest& read, zelva1_cell& cell) {
        board::SIReadReply reply;
        const RequestStatus sent = request(board::IOCTL_SI_READ, read, reply);
        if (sent.status == ZELVA1_OK)
            cell = {reply.word, reply.word >= 0x10000u ? 1u : 0u};
        return sent;
    }
    /// The answer of IOCTL_SI_GET_STATE or IOCTL_SO_GET_STATE as 1 (active) or 0.
    [[nodiscard]] RequestStatus channelState(std::uint32_t code, unsigned channel, int& active);

    std::shared_ptr<System> system_;
    board::DeviceHandle handle_;
    zelva1_board_info info_{};
};

} // namespace zelva1
