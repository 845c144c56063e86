#pragma once

// Shared pieces of the fuzz targets: invariant checks that stop the run with the input that
// broke them, and small readers of the fuzz input.

#include "util/utf8.h"

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
    return util::firstNonUtf8(text) == std::string_view::npos;
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
