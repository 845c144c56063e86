#pragma once

#include "labels/label_definition.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace labels {

// Decoding of a word as ARINC 429 defines each encoding. Bits are numbered 1..32 from the
// least significant; the SSM is bits 31 (high) and 30 (low) read as a number 0..3.

/// @brief What the SSM says, in the words the watch shows, for the label's encoding.
[[nodiscard]] std::string_view ssmMeaning(LabelEncoding encoding, unsigned ssm);
/// @brief Whether the SSM reports data that can be used: BNR 11, BCD 00 (plus) or 11 (minus),
/// discrete 00.
[[nodiscard]] bool isNormalSsm(LabelEncoding encoding, unsigned ssm);
/// @brief Whether the word carries a value to judge: normal operation or functional test.
/// Under failure warning or with no computed data the data bits mean nothing.
[[nodiscard]] bool ssmCarriesData(LabelEncoding encoding, unsigned ssm);

/// @brief BNR: the `significantBits` bits below the sign bit 29 and the sign bit as one
/// two's-complement number, times the value of its least significant bit.
[[nodiscard]] double bnrValue(std::uint32_t word, int significantBits, double resolution);
/// @brief BCD: `digits` decimal digits, the most significant in bits 27-29 and each next one
/// four bits lower, times the value of the lowest digit; negative when the SSM is 11. Nothing
/// when a digit is not one (a four-bit group above 9).
[[nodiscard]] std::optional<double> bcdValue(std::uint32_t word, int digits, double resolution);

/// @brief The value of a BNR or BCD word in whole steps of its resolution: the BNR field as a
/// two's-complement number, the BCD digits as one number, negative when the SSM is 11. Nothing
/// for DISC words and for BCD words that are not decimal.
[[nodiscard]] std::optional<std::int64_t> valueSteps(std::uint32_t word,
                                                     const LabelDefinition& definition);

/// @brief The value of a BNR or BCD word by its definition (its steps times the resolution);
/// nothing for DISC words and for BCD words that are not decimal.
[[nodiscard]] std::optional<double> engineeringValue(std::uint32_t word,
                                                     const LabelDefinition& definition);

/// @brief The value as it is shown, without units: every decimal the resolution has (see
/// StepsFormat); for DISC the names of the bits that are set, joined by ", "; "не BCD" for a
/// BCD word that is not decimal.
[[nodiscard]] std::string engineeringText(std::uint32_t word, const LabelDefinition& definition);
/// @brief The same as it is recorded: a number that reads back exactly.
[[nodiscard]] std::string recordedText(std::uint32_t word, const LabelDefinition& definition);

/// @brief Whether the word's value lies outside the definition's least and greatest valid
/// values, judged in whole steps so that a decimal resolution does not overshoot its bound; a
/// BCD word that is not decimal lies outside every range. Only words that carry data are
/// judged (ssmCarriesData): the others are never out of range.
[[nodiscard]] bool isOutOfRange(std::uint32_t word, const LabelDefinition& definition);
/// @brief The same for a word's steps (valueSteps) and SSM, decoded once by the caller.
[[nodiscard]] bool isOutOfRange(const std::optional<std::int64_t>& steps, unsigned ssm,
                                const LabelDefinition& definition);

/// @brief Whether a valid word of the label (normal SSM, odd parity) can have bits 17-32 all
/// clear: the board marks an empty cell that way, so such a word never reaches the cells.
/// BNR words never can (their normal SSM is 11); BCD words with the plus sign and DISC words
/// can, where their zero-valued upper bits leave bits 1-16 an odd count of ones, or some bit
/// among 9-16 (an SDI the row leaves open, a low digit, a named bit) can make it odd.
[[nodiscard]] bool canLookEmpty(const LabelDefinition& definition);

} // namespace labels
