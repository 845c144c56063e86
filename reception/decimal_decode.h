#pragma once

#include "format_lookup.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace reception {

/// @brief The text of the decimal column for a received word: " %c%f %4s    " with the sign,
/// the value of the format assigned to the word's address, and its units.
///
/// The value is summed in 32-bit float arithmetic from bit msbBit down to bit lsbBit, the
/// msbBit worth msbWeight and each lower bit half the one above. The sign is bit 29, or bit 30
/// when bit29Mode is 1; a negative word is taken as the two's complement of its field. A single
/// blank when the address has no format, or when the format's bit numbers lie outside 1..32
/// (only a damaged state file brings those). UTF-8.
[[nodiscard]] std::string decodeDecimal(std::uint32_t word, const ChannelFormatLookup& lookup);

/// The value of a word through a format: its sign and the magnitude of its field.
struct DecimalValue {
    bool negative = false;
    float magnitude = 0.0f;

    [[nodiscard]] double signedValue() const {
        return negative ? -static_cast<double>(magnitude) : static_cast<double>(magnitude);
    }
};

/// @brief The value that the decimal column shows, or nothing where it shows a blank (no
/// format, or bit numbers outside 1..32).
[[nodiscard]] std::optional<DecimalValue> decimalValueWith(std::uint32_t word,
                                                           const formats::DecimalFormat& format);

/// @brief The same decoding with a given format, as if it were assigned to the word's address.
[[nodiscard]] std::string decodeDecimalWith(std::uint32_t word,
                                            const formats::DecimalFormat& format);

/// @brief The widest decimal text of the formats in use: a negative value of six integer
/// digits in the units of formats::widestShownFormat().
[[nodiscard]] std::string widestDecimalText();

/// Room for every text of the decimal column in UTF-8.
inline constexpr std::size_t kDecimalTextCapacity = 96;

/// @brief decodeDecimalWith written into `out`, for views that decode thousands of words a
/// tick: nothing is allocated, and the number is written with a '.' whatever the C
/// library's locale, as printf does in the C locale.
/// @return the length of the text.
[[nodiscard]] std::size_t writeDecimalText(std::span<char, kDecimalTextCapacity> out,
                                           std::uint32_t word,
                                           const formats::DecimalFormat& format);

} // namespace reception
