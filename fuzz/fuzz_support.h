#pragma once

// Shared pieces of the fuzz targets: invariant checks that stop the run with the input that
// broke them, and small readers of the fuzz input.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace fuzz_support {

[[noreturn]] inline void invariantBroken(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? static_cast<void>(0)                                                            \
                 : ::fuzz_support::invariantBroken(#condition, __FILE__, __LINE__))

/// Whether the text is well-formed UTF-8 (what every cell and status text must be).
[[nodiscard]] inline bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u)
                return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        const char32_t lowest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

/// The bytes of a record, for comparing what a step may and may not change.
template <typename Record>
[[nodiscard]] std::string bytesOf(const Record& record) {
    return {reinterpret_cast<const char*>(&record), sizeof record};
}

template <typename Record>
[[nodiscard]] bool sameBytes(const Record& a, const Record& b) {
    // The records are the files' bytes: a round trip must give the same bytes, the float
    // fields' signed zeros and NaN payloads included, which == would not tell apart.
    return std::memcmp(&a, &b, sizeof a) == 0; // NOLINT(bugprone-suspicious-memory-comparison)
}

/// Whether two tables of slots are equal apart from the slot at `index`.
template <typename Record, std::size_t N>
[[nodiscard]] bool sameExcept(const std::array<Record, N>& a, const std::array<Record, N>& b,
                              std::size_t index) {
    const std::size_t after = index + 1;
    return std::memcmp(a.data(), b.data(), index * sizeof(Record)) == 0 &&
           std::memcmp(a.data() + after, b.data() + after, (N - after) * sizeof(Record)) == 0;
}

/// A little-endian 32-bit word from the input, wrapping around its end; 0 for no input.
[[nodiscard]] inline std::uint32_t wordAt(std::span<const std::uint8_t> data, std::size_t at) {
    if (data.empty())
        return 0;
    std::uint32_t word = 0;
    for (std::size_t k = 0; k < 4; ++k)
        word |= std::uint32_t{data[(at + k) % data.size()]} << (8 * k);
    return word;
}

/// A file holding one fuzz input, for the loaders that take a path; removed with the object.
class InputFile {
public:
    explicit InputFile(const char* name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    /// Replaces the file's contents with `data`; returns its path.
    const std::string& write(std::span<const std::uint8_t> data);

private:
    std::string path_;
};

} // namespace fuzz_support
