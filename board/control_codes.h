#pragma once

#include <cstdint>
#include <string_view>

namespace board {

/// @brief A device control code: device type 0x8000, any access, buffered transfer,
/// so the code is 0x80000000 + 4 x function number.
[[nodiscard]] constexpr std::uint32_t controlCode(std::uint32_t function) {
    return 0x80000000u + 4u * function;
}

inline constexpr std::uint32_t IOCTL_GET_CONFIGURATION = controlCode(0x80C);
inline constexpr std::uint32_t IOCTL_INIT_DEVICE = controlCode(0x821);
inline constexpr std::uint32_t IOCTL_RESET_DEVICE = controlCode(0x822);
inline constexpr std::uint32_t IOCTL_SO_LOAD_ARRAY = controlCode(0x827);
inline constexpr std::uint32_t IOCTL_SO_START_SINGLE = controlCode(0x828);
inline constexpr std::uint32_t IOCTL_SO_GET_STATE = controlCode(0x829);
inline constexpr std::uint32_t IOCTL_SO_START_CYCLIC = controlCode(0x82A);
inline constexpr std::uint32_t IOCTL_SO_STOP = controlCode(0x82B);
inline constexpr std::uint32_t IOCTL_SO_WRITE_WORD = controlCode(0x82C);
inline constexpr std::uint32_t IOCTL_SI_START_ADDRESS = controlCode(0x831);
inline constexpr std::uint32_t IOCTL_SI_STOP = controlCode(0x832);
inline constexpr std::uint32_t IOCTL_SI_START_FILE = controlCode(0x833);
inline constexpr std::uint32_t IOCTL_GET_SERIAL_NUMBER = controlCode(0x834);
inline constexpr std::uint32_t IOCTL_SI_GET_STATE = controlCode(0x83A);
inline constexpr std::uint32_t IOCTL_SI_READ = controlCode(0x83B);

// The driver's published values; a slip in a function number shows up here.
static_assert(IOCTL_GET_SERIAL_NUMBER == 0x800020D0u);
static_assert(IOCTL_GET_CONFIGURATION == 0x80002030u);
static_assert(IOCTL_INIT_DEVICE == 0x80002084u);
static_assert(IOCTL_RESET_DEVICE == 0x80002088u);
static_assert(IOCTL_SO_LOAD_ARRAY == 0x8000209Cu);
static_assert(IOCTL_SO_START_SINGLE == 0x800020A0u);
static_assert(IOCTL_SO_GET_STATE == 0x800020A4u);
static_assert(IOCTL_SO_START_CYCLIC == 0x800020A8u);
static_assert(IOCTL_SO_STOP == 0x800020ACu);
static_assert(IOCTL_SO_WRITE_WORD == 0x800020B0u);
static_assert(IOCTL_SI_START_ADDRESS == 0x800020C4u);
static_assert(IOCTL_SI_STOP == 0x800020C8u);
static_assert(IOCTL_SI_START_FILE == 0x800020CCu);
static_assert(IOCTL_SI_GET_STATE == 0x800020E8u);
static_assert(IOCTL_SI_READ == 0x800020ECu);

/// @brief The request's name as written above, or an empty view for an unknown code.
[[nodiscard]] constexpr std::string_view controlCodeName(std::uint32_t code) {
    switch (code) {
    case IOCTL_GET_CONFIGURATION: return "IOCTL_GET_CONFIGURATION";
    case IOCTL_INIT_DEVICE: return "IOCTL_INIT_DEVICE";
    case IOCTL_RESET_DEVICE: return "IOCTL_RESET_DEVICE";
    case IOCTL_SO_LOAD_ARRAY: return "IOCTL_SO_LOAD_ARRAY";
    case IOCTL_SO_START_SINGLE: return "IOCTL_SO_START_SINGLE";
    case IOCTL_SO_GET_STATE: return "IOCTL_SO_GET_STATE";
    case IOCTL_SO_START_CYCLIC: return "IOCTL_SO_START_CYCLIC";
    case IOCTL_SO_STOP: return "IOCTL_SO_STOP";
    case IOCTL_SO_WRITE_WORD: return "IOCTL_SO_WRITE_WORD";
    case IOCTL_SI_START_ADDRESS: return "IOCTL_SI_START_ADDRESS";
    case IOCTL_SI_STOP: return "IOCTL_SI_STOP";
    case IOCTL_SI_START_FILE: return "IOCTL_SI_START_FILE";
    case IOCTL_GET_SERIAL_NUMBER: return "IOCTL_GET_SERIAL_NUMBER";
    case IOCTL_SI_GET_STATE: return "IOCTL_SI_GET_STATE";
    case IOCTL_SI_READ: return "IOCTL_SI_READ";
    default: return {};
    }
}

} // namespace board
