// Output parameter files "*.so": a file is either refused with nothing changed, or sets the
// current channel's size and exactly the word bytes it holds; the grid shows the result.

#include "fuzz_support.h"

#include "transmission/output_array.h"
#include "transmission/output_file.h"
#include "transmission/output_grid_text.h"

#include <algorithm>

namespace {

using transmission::OutputFileStatus;

board::SharedState stateInUse(std::size_t channel) {
    board::SharedState state;
    for (std::size_t ch = 0; ch < board::kMaxChannels; ++ch) {
        state.SOArrayDim[ch] = static_cast<std::uint16_t>(ch * 31 + 17);
        state.SOCycleDim[ch] = static_cast<std::uint16_t>(ch * 31 + 17);
        for (unsigned i = 0; i < board::kOutputArrayCapacity; ++i)
            state.SOrecord[ch].SOwords[i] =
                transmission::testPatternWord(static_cast<std::uint16_t>(ch + 1), i) ^ 0x5A5A5A5Au;
    }
    (void)transmission::selectOutputChannel(state, static_cast<int>(channel));
    return state;
}

// The output side of the shared state, compared field by field: the record may have padding.
bool sameOutputs(const board::SharedState& a, const board::SharedState& b) {
    return a.SOArrayDim == b.SOArrayDim && a.SOCycleDim == b.SOCycleDim && a.CurSO == b.CurSO &&
           fuzz_support::sameBytes(a.SOrecord, b.SOrecord);
}

void checkRestore(const board::SharedState& before, const board::SharedState& after,
                  const transmission::OutputFileResult& result,
                  std::span<const std::uint8_t> data) {
    const std::size_t current = transmission::currentChannelIndex(after);
    if (result.status != OutputFileStatus::Restored) {
        FUZZ_CHECK(result.status == OutputFileStatus::TooShort ||
                   result.status == OutputFileStatus::BadCount);
        FUZZ_CHECK(sameOutputs(before, after));
        FUZZ_CHECK(!transmission::outputFileWarning(result).empty());
        return;
    }
    const std::uint32_t count = data[0] | (std::uint32_t{data[1]} << 8);
    FUZZ_CHECK(result.count == count && count >= 1 && count <= 256);
    FUZZ_CHECK(after.SOArrayDim[current] == count && after.SOCycleDim[current] == count);
    for (std::size_t ch = 0; ch < board::kMaxChannels; ++ch) {
        if (ch == current)
            continue;
        FUZZ_CHECK(after.SOArrayDim[ch] == before.SOArrayDim[ch]);
        FUZZ_CHECK(fuzz_support::sameBytes(after.SOrecord[ch], before.SOrecord[ch]));
    }
    // Word bytes come from the file as far as it reaches and as far as the count says.
    std::string expected = fuzz_support::bytesOf(before.SOrecord[current].SOwords);
    const std::size_t reach = std::min<std::size_t>(data.size() - 2, std::size_t{count} * 4);
    for (std::size_t i = 0; i < reach; ++i)
        expected[i] = static_cast<char>(data[2 + i]);
    FUZZ_CHECK(fuzz_support::bytesOf(after.SOrecord[current].SOwords) == expected);
    FUZZ_CHECK(after.SOrecord[current].channelNo == before.SOrecord[current].channelNo);

    if (data.size() >= 2 + std::size_t{count} * 4) {
        const auto encoded =
            transmission::encodeOutputFile(std::span{after.SOrecord[current].SOwords}.first(count));
        FUZZ_CHECK(encoded.size() == 2 + std::size_t{count} * 4);
        FUZZ_CHECK(std::equal(
            encoded.begin(), encoded.end(), data.begin(),
            [](std::byte a, std::uint8_t b) { return std::to_integer<std::uint8_t>(a) == b; }));
    }
}

void showGrid(const board::SharedState& state) {
    const int rows = transmission::outputGridRowCount(state);
    FUZZ_CHECK(rows >= 1 && rows <= 257);
    for (int row = -1; row <= rows; ++row)
        for (int column = -1; column <= transmission::kOutputGridColumnCount; ++column)
            FUZZ_CHECK(fuzz_support::isUtf8(transmission::outputCellText(state, row, column)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::span<const std::uint8_t> data(bytes, size);
    const board::SharedState before = stateInUse(size % board::kMaxChannels);

    board::SharedState state = before;
    const auto result = transmission::decodeOutputFileInto(state, std::as_bytes(data));
    checkRestore(before, state, result, data);
    showGrid(state);

    board::SharedState fromFile = before;
    fuzz_support::InputFile file("output-array");
    const auto fileResult = transmission::restoreOutputArray(fromFile, file.write(data));
    FUZZ_CHECK(fileResult.status == result.status && fileResult.count == result.count);
    FUZZ_CHECK(sameOutputs(fromFile, state));
    return 0;
}
