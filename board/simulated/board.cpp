#include "board.h"

#include "board/config_word.h"
#include "board/control_codes.h"
#include "board/requests.h"
#include "request_kind.h"

#include <algorithm>
#include <limits>

namespace board::simulated {
namespace {

constexpr SimTime kForever = std::numeric_limits<SimTime>::max();

[[nodiscard]] bool answerState(std::span<std::byte> output, bool active) {
    return writeRecord(
        output, StateReply{.active = active ? std::uint8_t{1} : std::uint8_t{0}, .unused = 0});
}

/// Older words than the last 256 are overwritten in the buffer before anyone can read them,
/// so however long nobody asked, a catch-up stores at most 256 words per stretch of equal
/// content (in address mode those 256 still hold every label: a transmitter sends at most
/// 256 different words, the built-in stream fewer than 128 a frame).
template <typename Source>
void deliverWords(const Source& source, SimReceiver& receiver, std::uint64_t from,
                  std::uint64_t to) {
    if (to <= from)
        return;
    if (to - from > kInputBufferCells) {
        receiver.skip(to - from - kInputBufferCells);
        from = to - kInputBufferCells;
    }
    for (std::uint64_t k = from; k < to; ++k)
        receiver.store(source.wordAt(k));
}

} // namespace

template <typename Source>
void SimBoard::catchUpAlwaysOn(const Source& source, InputChannel& channel, SimTime since,
                               SimTime now) {
    // A receiver set to another bit rate than the source's hears nothing.
    if (source.rateCode() != channel.rateCode)
        return;
    const std::uint64_t to = source.deliveredBy(now);
    deliverWords(source, channel.receiver, source.deliveredBy(since), to);
    channel.nextDue = source.deliveryTime(to);
}

SimBoard::SimBoard(const SimulatedBoardSpec& boardSetup) : spec_(boardSetup) {
    for (int no = 1; no <= kMaxChannels; ++no) {
        InputChannel& channel = inputs_[static_cast<std::size_t>(no - 1)];
        channel.source = resolvedSource(spec_, no);
        if (channel.source.kind == InputSourceKind::Output &&
            (channel.source.outputChannel < 1 || channel.source.outputChannel > spec_.outputs))
            channel.source = {.kind = InputSourceKind::Idle};
        if (channel.source.kind == InputSourceKind::Traffic)
            channel.traffic =
                SimTraffic(channel.source.rateCode,
                           spec_.interfaceIndex * kMaxChannels + static_cast<unsigned>(no),
                           spec_.trafficFaults[static_cast<std::size_t>(no - 1)]);
        if (channel.source.kind == InputSourceKind::Table)
            channel.table =
                SimTable(channel.source.rateCode, spec_.tables[static_cast<std::size_t>(no - 1)]);
    }
    powerDown();
}

bool SimBoard::handle(std::uint32_t controlCode, std::span<const std::byte> input,
                      std::span<std::byte> output, SimTime now) {
    // A clock that steps back must not undo deliveries already made.
    now = std::max(now, lastNow_);
    lastNow_ = now;
    if (isOutputRequest(controlCode))
        return handleOutputRequest(controlCode, input, output, now);
    if (isInputRequest(controlCode))
        return handleInputRequest(controlCode, input, output, now);
    return handleWithoutChannel(controlCode, input, output);
}

bool SimBoard::handleWithoutChannel(std::uint32_t controlCode, std::span<const std::byte> input,
                                    std::span<std::byte> output) {
    switch (controlCode) {
    case IOCTL_GET_SERIAL_NUMBER: return writeRecord(output, SerialReply{spec_.serial});
    case IOCTL_GET_CONFIGURATION:
        return writeRecord(output, ConfigWord{encodeConfigWord({spec_.inputs, spec_.outputs})});
    case IOCTL_INIT_DEVICE: {
        FreqCodes codes{};
        if (!readRecord(input, codes))
            return false;
        initialize(codes);
        return true;
    }
    case IOCTL_RESET_DEVICE: powerDown(); return true;
    default: return false;
    }
}

bool SimBoard::handleOutputRequest(std::uint32_t controlCode, std::span<const std::byte> input,
                                   std::span<std::byte> output, SimTime now) {
    ChannelRecord head{};
    if (!readRecord(input, head))
        return false;
    SimTransmitter* tx = transmitter(head.channelNo);
    if (tx == nullptr)
        return false;
    if (controlCode == IOCTL_SO_GET_STATE)
        return answerState(output, initialized_ && tx->activeAt(now));
    if (!initialized_)
        return false;

    switch (controlCode) {
    case IOCTL_SO_LOAD_ARRAY: {
        SOrecord record{};
        if (!readRecord(input, record))
            return false;
        tx->load(record.SOwords, record.param3);
        return true;
    }
    case IOCTL_SO_START_SINGLE:
        changeSchedule(head.channelNo, now, [&] { tx->startSingle(now); });
        return true;
    case IOCTL_SO_START_CYCLIC: {
        SOrecord record{};
        if (!readRecord(input, record))
            return false;
        changeSchedule(head.channelNo, now,
                       [&] { tx->startCyclic(record.SOwords, record.param1, now); });
        return true;
    }
    case IOCTL_SO_STOP: changeSchedule(head.channelNo, now, [&] { tx->stop(); }); return true;
    case IOCTL_SO_WRITE_WORD: {
        SOWordUpdate update{};
        if (!readRecord(input, update) || update.index >= kOutputArrayCapacity)
            return false;
        catchUpInputsFedBy(head.channelNo, now);
        tx->writeWord(update.index, update.word, now);
        return true;
    }
    default: return false;
    }
}

bool SimBoard::handleInputRequest(std::uint32_t controlCode, std::span<const std::byte> input,
                                  std::span<std::byte> output, SimTime now) {
    ChannelRecord head{};
    if (!readRecord(input, head))
        return false;
    InputChannel* channel = inputChannel(head.channelNo);
    if (channel == nullptr)
        return false;
    if (controlCode == IOCTL_SI_GET_STATE)
        return answerState(output, initialized_ && channel->receiver.receiving());
    if (!initialized_)
        return false;

    switch (controlCode) {
    case IOCTL_SI_READ: {
        SIReadRequest request{};
        if (!readRecord(input, request) || request.index >= kInputBufferCells)
            return false;
        catchUp(*channel, now);
        return writeRecord(output,
                           SIReadReply{.unused = 0, .word = channel->receiver.cell(request.index)});
    }
    case IOCTL_SI_START_ADDRESS:
    case IOCTL_SI_START_FILE: {
        SIStartRecord record{};
        if (!readRecord(input, record))
            return false;
        channel->receiver.start(controlCode == IOCTL_SI_START_ADDRESS ? SimReceiver::Mode::Address
                                                                      : SimReceiver::Mode::File);
        channel->caughtUpTo = now;
        channel->nextDue = 0;
        return true;
    }
    case IOCTL_SI_STOP:
        catchUp(*channel, now);
        channel->receiver.stop();
        return true;
    default: return false;
    }
}

void SimBoard::initialize(const FreqCodes& codes) {
    powerDown();
    initialized_ = true;
    for (std::size_t i = 0; i < kMaxChannels; ++i) {
        outputs_[i].reset(codes.SOfreq[i]);
        inputs_[i].rateCode = codes.SIfreq[i];
    }
}

void SimBoard::powerDown() {
    initialized_ = false;
    for (SimTransmitter& tx : outputs_)
        tx.reset(0);
    for (InputChannel& channel : inputs_) {
        channel.receiver.reset();
        channel.rateCode = 0;
        channel.caughtUpTo = lastNow_;
        channel.nextDue = 0;
    }
}

SimTransmitter* SimBoard::transmitter(std::uint16_t channelNo) {
    if (channelNo < 1 || channelNo > spec_.outputs || channelNo > kMaxChannels)
        return nullptr;
    return &outputs_[channelNo - 1u];
}

SimBoard::InputChannel* SimBoard::inputChannel(std::uint16_t channelNo) {
    if (channelNo < 1 || channelNo > spec_.inputs || channelNo > kMaxChannels)
        return nullptr;
    return &inputs_[channelNo - 1u];
}

void SimBoard::catchUp(InputChannel& channel, SimTime now) {
    if (!channel.receiver.receiving())
        return;
    if (now < channel.nextDue) {
        channel.caughtUpTo = now;
        return;
    }
    const SimTime since = channel.caughtUpTo;
    channel.caughtUpTo = now;
    channel.nextDue = kForever;
    switch (channel.source.kind) {
    case InputSourceKind::Output: {
        const SimTransmitter& tx = outputs_[channel.source.outputChannel - 1u];
        // A receiver set to another bit rate than the transmitter's hears nothing.
        if (tx.rateCode() != channel.rateCode)
            return;
        const std::uint64_t from = tx.deliveredBy(since);
        const std::uint64_t to = tx.deliveredBy(now);
        const std::uint64_t update = std::clamp(tx.updatedFrom(), from, to);
        deliverWords(tx, channel.receiver, from, update);
        deliverWords(tx, channel.receiver, update, to);
        if (tx.hasDelivery(to))
            channel.nextDue = tx.deliveryTime(to);
        return;
    }
    case InputSourceKind::Traffic: catchUpAlwaysOn(channel.traffic, channel, since, now); return;
    case InputSourceKind::Table: catchUpAlwaysOn(channel.table, channel, since, now); return;
    case InputSourceKind::Automatic:
    case InputSourceKind::Idle: return;
    }
}

template <typename Action>
void SimBoard::forEachInputFedBy(std::uint16_t outputChannelNo, Action action) {
    for (InputChannel& channel : inputs_)
        if (channel.source.kind == InputSourceKind::Output &&
            channel.source.outputChannel == outputChannelNo)
            action(channel);
}

void SimBoard::catchUpInputsFedBy(std::uint16_t outputChannelNo, SimTime now) {
    forEachInputFedBy(outputChannelNo, [&](InputChannel& channel) { catchUp(channel, now); });
}

template <typename Change>
void SimBoard::changeSchedule(std::uint16_t outputChannelNo, SimTime now, Change change) {
    catchUpInputsFedBy(outputChannelNo, now);
    change();
    forEachInputFedBy(outputChannelNo, [](InputChannel& channel) { channel.nextDue = 0; });
}

} // namespace board::simulated
