#pragma once

// Driver records. The driver reads and writes them as raw bytes: little-endian, packed on
// 2-byte boundaries, so a 32-bit field may start at offset 2. Sizes and offsets are checked
// below each record; the build is little-endian only (checked at the end).

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace board {

inline constexpr int kMaxChannels = 8;
inline constexpr int kOutputArrayCapacity = 256;
inline constexpr int kInputBufferCells = 256;

#pragma pack(push, 2)

/// Input of the stop and state requests: a 1-based channel number.
struct ChannelRecord {
    std::uint16_t channelNo;
};
static_assert(sizeof(ChannelRecord) == 2);

/// Output of the two state requests.
struct StateReply {
    std::uint8_t active; // non-zero: receiving / transmitting
    std::uint8_t unused;
};
static_assert(sizeof(StateReply) == 2);

/// Output of IOCTL_GET_CONFIGURATION: bits 8-11 input channels, bits 4-7 output channels.
struct ConfigWord {
    std::uint16_t value;
};
static_assert(sizeof(ConfigWord) == 2);

/// Output of IOCTL_GET_SERIAL_NUMBER.
struct SerialReply {
    std::uint16_t serial;
};
static_assert(sizeof(SerialReply) == 2);

/// Input of IOCTL_INIT_DEVICE: one rate code (0, 1, 2) per channel, inputs first.
struct FreqCodes {
    std::array<std::uint8_t, kMaxChannels> SIfreq;
    std::array<std::uint8_t, kMaxChannels> SOfreq;
};
static_assert(sizeof(FreqCodes) == 16);
static_assert(offsetof(FreqCodes, SIfreq) == 0);
static_assert(offsetof(FreqCodes, SOfreq) == 8);

/// Input of IOCTL_SI_START_ADDRESS and IOCTL_SI_START_FILE.
struct SIStartRecord {
    std::uint16_t channelNo;
    std::uint16_t one;      // always 1
    std::uint16_t allOnesA; // always 0xFFFF
    std::uint16_t allOnesB; // always 0xFFFF
};
static_assert(sizeof(SIStartRecord) == 8);
static_assert(offsetof(SIStartRecord, one) == 2);
static_assert(offsetof(SIStartRecord, allOnesA) == 4);
static_assert(offsetof(SIStartRecord, allOnesB) == 6);

/// Input of IOCTL_SI_READ: which cell of which channel's receive buffer.
struct SIReadRequest {
    std::uint16_t channelNo;
    std::uint16_t one; // always 1
    std::uint16_t index;
};
static_assert(sizeof(SIReadRequest) == 6);
static_assert(offsetof(SIReadRequest, one) == 2);
static_assert(offsetof(SIReadRequest, index) == 4);

/// Output of IOCTL_SI_READ. A word below 0x10000 means nothing was received. Its word lies
/// at offset 2, so it is misaligned by layout: read it by value, never bind a reference to it.
struct SIReadReply {
    std::uint16_t unused;
    std::uint32_t word;
};
static_assert(sizeof(SIReadReply) == 6);
static_assert(offsetof(SIReadReply, word) == 2);

/// Input of IOCTL_SO_LOAD_ARRAY and IOCTL_SO_START_CYCLIC; always sent whole, all 256 words.
/// Aligned on 4 bytes as a whole (the layout is unchanged) so that its words, which start at
/// offset 8, are aligned wherever a record lives and may be used by reference.
struct alignas(4) SOrecord {
    std::uint16_t channelNo;
    std::uint16_t param1;
    std::uint16_t param2;
    std::uint16_t param3;
    std::array<std::uint32_t, kOutputArrayCapacity> SOwords;
};
static_assert(sizeof(SOrecord) == 1032);
static_assert(offsetof(SOrecord, param1) == 2);
static_assert(offsetof(SOrecord, param2) == 4);
static_assert(offsetof(SOrecord, param3) == 6);
static_assert(offsetof(SOrecord, SOwords) == 8);
static_assert(alignof(SOrecord) == 4);

/// Input of IOCTL_SO_START_SINGLE: the first 4 bytes of the channel's SOrecord after the load.
struct SOStartSingleRecord {
    std::uint16_t channelNo;
    std::uint16_t param1;
};
static_assert(sizeof(SOStartSingleRecord) == 4);
static_assert(offsetof(SOStartSingleRecord, param1) == 2);

/// Input of IOCTL_SO_WRITE_WORD: one word of a running cyclic array (4-byte aligned as a
/// whole, like SOrecord, so that its word is aligned).
struct alignas(4) SOWordUpdate {
    std::uint16_t channelNo;
    std::uint16_t index;
    std::uint32_t word;
};
static_assert(sizeof(SOWordUpdate) == 8);
static_assert(offsetof(SOWordUpdate, index) == 2);
static_assert(offsetof(SOWordUpdate, word) == 4);
static_assert(alignof(SOWordUpdate) == 4);

/// Output of every request that has no other output; never read.
struct AckReply {
    std::uint16_t unused;
};
static_assert(sizeof(AckReply) == 2);

#pragma pack(pop)

static_assert(std::endian::native == std::endian::little,
              "driver records are laid out little-endian and copied as raw bytes");

template <typename Record>
concept DriverRecord = std::is_trivially_copyable_v<Record> && std::is_standard_layout_v<Record>;

static_assert(DriverRecord<SOrecord> && DriverRecord<SIReadReply> && DriverRecord<FreqCodes>);

} // namespace board
