#include "board_connection.h"

#include "board/config_word.h"
#include "board/control_codes.h"
#include "board/requests.h"

#include <algorithm>
#include <utility>

namespace zelva1 {
namespace {

constexpr RequestStatus kDone{ZELVA1_OK, 0};

[[nodiscard]] std::uint16_t channelNo(unsigned channel) {
    return static_cast<std::uint16_t>(channel);
}

} // namespace

BoardConnection::BoardConnection(std::shared_ptr<System> system, board::DeviceHandle handle,
                                 unsigned interfaceIndex)
    : system_(std::move(system)), handle_(handle) {
    info_.interface_index = interfaceIndex;
}

RequestStatus BoardConnection::open(std::shared_ptr<System> system, unsigned interfaceIndex,
                                    std::unique_ptr<BoardConnection>& opened) {
    const board::OpenResult result = system->driver.open(interfaceIndex);
    if (!result.valid())
        return {ZELVA1_ERROR_NO_BOARD, result.errorCode};
    std::unique_ptr<BoardConnection> connection(
        new BoardConnection(std::move(system), result.handle, interfaceIndex));

    board::SerialReply serial{}; // cleared here: these requests have no input record
    if (const RequestStatus sent =
            connection->send(board::IOCTL_GET_SERIAL_NUMBER, {}, board::writableBytesOf(serial));
        sent.status != ZELVA1_OK)
        return sent;
    board::ConfigWord config{};
    if (const RequestStatus sent =
            connection->send(board::IOCTL_GET_CONFIGURATION, {}, board::writableBytesOf(config));
        sent.status != ZELVA1_OK)
        return sent;
    const board::ChannelCounts counts = board::decodeConfigWord(config.value);
    connection->info_.serial = serial.serial;
    connection->info_.inputs = counts.inputs;
    connection->info_.outputs = counts.outputs;
    opened = std::move(connection);
    return kDone;
}

RequestStatus BoardConnection::initialize(const board::FreqCodes& codes) {
    const RequestStatus sent = command(board::IOCTL_INIT_DEVICE, codes);
    if (sent.status == ZELVA1_OK)
        system_->outputRates[info_.interface_index] = codes.SOfreq;
    return sent;
}

RequestStatus BoardConnection::reset() { return send(board::IOCTL_RESET_DEVICE, {}, {}); }

RequestStatus BoardConnection::startReceive(unsigned channel, int mode) {
    const board::SIStartRecord record{channelNo(channel), 1, 0xFFFF, 0xFFFF};
    return command(mode == ZELVA1_ADDRESS_MODE ? board::IOCTL_SI_START_ADDRESS
                                               : board::IOCTL_SI_START_FILE,
                   record);
}

RequestStatus BoardConnection::stopReceive(unsigned channel) {
    return command(board::IOCTL_SI_STOP, board::ChannelRecord{channelNo(channel)});
}

RequestStatus BoardConnection::channelState(std::uint32_t code, unsigned channel, int& active) {
    board::StateReply reply{};
    const RequestStatus sent = request(code, board::ChannelRecord{channelNo(channel)}, reply);
    if (sent.status == ZELVA1_OK)
        active = reply.active != 0 ? 1 : 0;
    return sent;
}

RequestStatus BoardConnection::isReceiving(unsigned channel, int& active) {
    return channelState(board::IOCTL_SI_GET_STATE, channel, active);
}

RequestStatus BoardConnection::readCells(unsigned channel, std::span<zelva1_cell> cells) {
    // As the monitor's refresh loop reads: one request record and one reply for every cell.
    std::fill(cells.begin(), cells.end(), zelva1_cell{0, 0});
    board::SIReadRequest read{channelNo(channel), 1, 0};
    for (unsigned index = 0; index < ZELVA1_CELLS; ++index) {
        read.index = static_cast<std::uint16_t>(index);
        if (const RequestStatus sent = readInto(read, cells[index]); sent.status != ZELVA1_OK)
            return sent;
    }
    return kDone;
}

RequestStatus BoardConnection::transmit(unsigned channel, std::span<const std::uint32_t> words,
                                        int mode) {
    const auto count = static_cast<std::uint16_t>(words.size());
    board::SOrecord record{};
    std::copy(words.begin(), words.end(), record.SOwords.begin());
    record.channelNo = channelNo(channel);
    if (mode == ZELVA1_CYCLIC) {
        record.param1 = count;
        record.param2 = count;
        return command(board::IOCTL_SO_START_CYCLIC, record);
    }
    record.param1 = 1;
    record.param3 = count;
    if (const RequestStatus loaded = command(board::IOCTL_SO_LOAD_ARRAY, record);
        loaded.status != ZELVA1_OK)
        return loaded;
    return command(board::IOCTL_SO_START_SINGLE,
                   board::SOStartSingleRecord{record.channelNo, record.param1});
}

RequestStatus BoardConnection::writeWord(unsigned channel, unsigned index, std::uint32_t word) {
    return command(
        board::IOCTL_SO_WRITE_WORD,
        board::SOWordUpdate{channelNo(channel), static_cast<std::uint16_t>(index), word});
}

RequestStatus BoardConnection::stopTransmit(unsigned channel) {
    return command(board::IOCTL_SO_STOP, board::ChannelRecord{channelNo(channel)});
}

RequestStatus BoardConnection::isTransmitting(unsigned channel, int& active) {
    return channelState(board::IOCTL_SO_GET_STATE, channel, active);
}

} // namespace zelva1
