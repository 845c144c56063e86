#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace util {

/// @brief The offset of the first byte of `text` that breaks UTF-8 (an overlong form, a
/// surrogate, a code above U+10FFFF, a sequence cut short), or npos when the text is sound.
[[nodiscard]] inline std::size_t firstNonUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        std::uint32_t code = lead;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
        } else if (lead >= 0x80) {
            return i;
        }
        if (i + length > text.size())
            return i;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u)
                return i;
            code = (code << 6) | (next & 0x3Fu);
        }
        constexpr std::array<std::uint32_t, 5> kLowest = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLowest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += length;
    }
    return std::string_view::npos;
}

} // namespace util
