#pragma once

// Byte vectors as the recorded requests and the savers hold them, written out in tests.

#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace testing_support {

inline std::vector<std::byte> bytes(std::initializer_list<unsigned> values) {
    std::vector<std::byte> result;
    for (const unsigned v : values)
        result.push_back(static_cast<std::byte>(v));
    return result;
}

inline std::vector<std::byte> asBytes(std::string_view text) {
    const auto* first = reinterpret_cast<const std::byte*>(text.data());
    return {first, first + text.size()};
}

} // namespace testing_support
