#pragma once

#include "labels/label_definition.h"

#include <cstdint>
#include <optional>
#include <string>

namespace labels {

/// What a word is to say: the value (BNR, BCD) or the named bits set (DISC, bit n of
/// `discreteBits` being the word's bit n + 1), and the fields a test may choose.
struct EncodeRequest {
    double value = 0.0;
    std::uint32_t discreteBits = 0;
    std::optional<std::uint8_t> sdi{};  // where the row takes any SDI; else the row's own
    std::optional<std::uint8_t> ssm{};  // bits 31 (high) and 30; default: normal operation
    bool outsideRangeOnPurpose = false; // send a value beyond min..max to test a receiver
    bool wrongParityOnPurpose = false;  // even parity, to test a receiver
};

/// The word, or why there is none.
struct Encoded {
    std::optional<std::uint32_t> word;
    std::string why;

    [[nodiscard]] bool ok() const { return word.has_value(); }
};

/// @brief The word that decodes back to the request by the standard's decoding, the exact
/// inverse of it: BNR as a two's-complement field below the sign bit 29, rounded to the
/// resolution; BCD as digits from the top (bits 27-29) with the sign in the SSM (00 plus,
/// 11 minus); DISC as the named bits. Label in bits 1-8, the SDI in bits 9-10 unless the
/// row's data takes them, odd parity in bit 32. Refused, with the reason in Russian: NaN and
/// infinities, a value the bits cannot hold, one outside min..max (unless on purpose), bits
/// the row does not name, an SDI the row fixes otherwise or whose bits carry data.
[[nodiscard]] Encoded encodeWord(const LabelDefinition& definition, const EncodeRequest& request);

/// @brief The normal-operation SSM of an encoding: BNR 11, BCD 00 (plus), DISC 00.
[[nodiscard]] unsigned normalSsm(LabelEncoding encoding);

} // namespace labels
