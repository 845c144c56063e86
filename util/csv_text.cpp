#include "util/csv_text.h"

#include <algorithm>

namespace util {
namespace {

[[nodiscard]] bool needsQuotes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

} // namespace

char* writeCsvField(char* out, std::string_view text) {
    if (!needsQuotes(text))
        return std::copy(text.begin(), text.end(), out);
    *out++ = '"';
    for (char c : text) {
        if (c == '"')
            *out++ = '"';
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

void appendCsvField(std::string& out, std::string_view text) {
    const std::size_t at = out.size();
    out.resize(at + csvFieldCapacity(text.size()));
    out.resize(static_cast<std::size_t>(writeCsvField(out.data() + at, text) - out.data()));
}

} // namespace util
