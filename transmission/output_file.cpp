#include "output_file.h"

#include "output_array.h"

#include "util/file_error.h"
#include "util/printf_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <utility>

namespace transmission {

namespace {

constexpr std::size_t kLargestFileUsed =
    kOutputFileCountBytes + kOutputFileWordBytes * kMaxArraySize;

bool validCount(std::uint32_t count) { return count >= 1 && count <= kMaxArraySize; }

std::uint16_t readCount(std::span<const std::byte> bytes) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[0]) |
                                      (std::to_integer<unsigned>(bytes[1]) << 8));
}

void appendLittleEndian(std::vector<std::byte>& bytes, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        bytes.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFFu));
}

} // namespace

std::string outputFileWarning(const OutputFileResult& result) {
    switch (result.status) {
    case OutputFileStatus::TooShort:
        return "Файл не содержит числа слов массива; массив выходных параметров не изменён.";
    case OutputFileStatus::BadCount:
        return util::printfText("Число слов в файле (%u) вне допустимого диапазона 1..256; "
                                "массив выходных параметров не изменён.",
                                static_cast<unsigned>(result.count));
    case OutputFileStatus::NotOpened:
        // A user who named a file is told why nothing came of it.
        return result.why.empty()
                   ? std::string{}
                   : "Файл не открыт: " + result.why + "; массив выходных параметров не изменён.";
    case OutputFileStatus::WriteFailed:
        return "Не удалось сохранить массив выходных параметров в файле; "
               "прежнее содержимое файла не изменено.";
    default: return {};
    }
}

std::vector<std::byte> encodeOutputFile(std::span<const std::uint32_t> words) {
    std::vector<std::byte> bytes;
    bytes.reserve(kOutputFileCountBytes + kOutputFileWordBytes * words.size());
    appendLittleEndian(bytes, static_cast<std::uint32_t>(words.size()), kOutputFileCountBytes);
    for (const std::uint32_t word : words)
        appendLittleEndian(bytes, word, kOutputFileWordBytes);
    return bytes;
}

OutputFileResult decodeOutputFileInto(board::SharedState& state, std::span<const std::byte> bytes) {
    if (bytes.size() < kOutputFileCountBytes)
        return {OutputFileStatus::TooShort, 0};
    const std::uint16_t count = readCount(bytes);
    if (!validCount(count))
        return {OutputFileStatus::BadCount, count};

    // The words are stored as the records lay them out, little-endian, so a word cut short
    // by the end of the file takes the bytes it has and keeps the rest.
    const auto body = bytes.subspan(kOutputFileCountBytes);
    const std::size_t available = std::min(body.size(), std::size_t{count} * kOutputFileWordBytes);
    std::memcpy(currentOutputRecord(state).SOwords.data(), body.data(), available);
    state.SOArrayDim[currentChannelIndex(state)] = count;
    state.SOCycleDim[currentChannelIndex(state)] = count;
    return {OutputFileStatus::Restored, count};
}

OutputFileResult restoreOutputArray(board::SharedState& state, const std::filesystem::path& path) {
    // A FIFO would hold the window until a writer came.
    if (std::string why = util::fileRefusal(path, true); !why.empty())
        return {OutputFileStatus::NotOpened, 0, std::move(why)};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {OutputFileStatus::NotOpened, 0, "файл не читается"};
    std::array<std::byte, kLargestFileUsed> bytes{};
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto length = static_cast<std::size_t>(in.gcount());
    return decodeOutputFileInto(state, std::span{bytes}.first(length));
}

OutputFileResult saveOutputArray(const board::SharedState& state, const std::filesystem::path& path,
                                 util::FileWriter& writer) {
    const std::uint16_t count = currentArraySize(state);
    if (!validCount(count))
        return {OutputFileStatus::WriteFailed, count};
    const auto bytes = encodeOutputFile(std::span{currentOutputRecord(state).SOwords}.first(count));

    if (util::writeFileReplacing(path, bytes, writer))
        return {OutputFileStatus::WriteFailed, count};
    return {OutputFileStatus::Saved, count};
}

std::filesystem::path withDefaultExtension(const std::filesystem::path& path) {
    if (path.has_extension() || !path.has_filename())
        return path;
    auto withExtension = path;
    withExtension += ".";
    withExtension += kOutputFileDefaultExtension;
    return withExtension;
}

} // namespace transmission
