#include "record_file.h"

#include <cstring>
#include <vector>

namespace formats {

RecordsRead readRecords(std::istream& in, std::span<std::byte> slots, std::size_t recordSize) {
    RecordsRead result;
    std::vector<char> piece(recordSize);
    const std::size_t capacity = slots.size() / recordSize;
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(recordSize));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            break;
        if (result.records < capacity)
            std::memcpy(slots.data() + result.records++ * recordSize, piece.data(), got);
        else
            ++result.ignored;
    }
    return result;
}

} // namespace formats
