#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace zelva1 {

/// @brief Copies a UTF-8 text into a caller's buffer of `size` bytes with its NUL, cut before
/// a whole letter where it does not fit: a cut letter would make the rest of a script's text
/// unreadable. Nothing is written when `out` is null or `size` 0.
inline void copyText(std::string_view text, char* out, std::size_t size) {
    if (out == nullptr || size == 0)
        return;
    std::size_t kept = std::min(text.size(), size - 1);
    // Back to the first byte of a letter: continuation bytes are 10xxxxxx.
    if (kept < text.size())
        while (kept > 0 && (static_cast<unsigned char>(text[kept]) & 0xC0u) == 0x80u)
            --kept;
    std::copy_n(text.data(), kept, out);
    out[kept] = '\0';
}

} // namespace zelva1
