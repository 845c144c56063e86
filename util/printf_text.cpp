#include "printf_text.h"

#include <array>
#include <cstdarg>
#include <cstdio>

namespace util {

std::string printfText(const char* format, ...) {
    // Every text of the monitor fits here; longer ones (a huge float) take a second pass.
    std::array<char, 128> buffer;
    std::va_list args;
    va_start(args, format);
    std::va_list retry;
    va_copy(retry, args);
    const int length = std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);

    std::string text;
    if (length < 0) {
        va_end(retry);
        return text;
    }
    const auto size = static_cast<std::size_t>(length);
    if (size < buffer.size()) {
        text.assign(buffer.data(), size);
    } else {
        text.resize(size);
        std::vsnprintf(text.data(), size + 1, format, retry);
    }
    va_end(retry);
    return text;
}

} // namespace util
