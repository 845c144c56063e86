// Typing into the output grid: whatever the keys and texts, a cell's word changes only in the
// bits its column owns, only for a shown row of the current channel, and exactly to the
// number the text starts with when the key and the length pass.

#include "counting_beeper.h"
#include "fuzz_support.h"
#include "typing_input.h"

#include "transmission/cell_typing.h"
#include "transmission/output_array.h"
#include "transmission/output_grid_text.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using testing_support::CountingBeeper;

constexpr std::uint32_t kAddressBits = 0x000000FFu;
constexpr std::uint32_t kCodeBits = 0xFFFFFF00u;

struct ColumnRule {
    int base;
    std::size_t limit;
    std::uint32_t bits;
    unsigned shift;
};

ColumnRule ruleOf(int column) {
    return column == transmission::AddressColumn ? ColumnRule{8, 3, kAddressBits, 0}
                                                 : ColumnRule{16, 6, kCodeBits, 8};
}

bool keyPasses(char32_t key, int base) {
    if (key == 0x03 || key == 0x08 || key == 0x0D || key == 0x16)
        return true;
    const int digit = key >= '0' && key <= '9'   ? static_cast<int>(key - '0')
                      : key >= 'a' && key <= 'f' ? static_cast<int>(key - 'a' + 10)
                      : key >= 'A' && key <= 'F' ? static_cast<int>(key - 'A' + 10)
                                                 : -1;
    return digit >= 0 && digit < base;
}

// One application of a column rule to one word, checked against what the rule promises.
void checkWordEdit(std::uint32_t before, std::uint32_t after, bool changed, int beepsBefore,
                   int beepsAfter, int column, std::string_view text, char32_t key) {
    const ColumnRule rule = ruleOf(column);
    FUZZ_CHECK(changed == (before != after));
    FUZZ_CHECK(((before ^ after) & ~rule.bits) == 0);
    const auto number = transmission::readLeadingNumber(text, rule.base);
    const bool accepted = keyPasses(key, rule.base) &&
                          fuzz_typing::characterCount(text) <= rule.limit && number.has_value();
    if (!accepted) {
        FUZZ_CHECK(beepsAfter == beepsBefore + 1 && before == after);
        return;
    }
    FUZZ_CHECK(beepsAfter == beepsBefore);
    FUZZ_CHECK((after & rule.bits) == ((*number << rule.shift) & rule.bits));
}

void typeIntoGrid(board::SharedState& state, transmission::OutputCellTyping& typing,
                  FuzzedDataProvider& input, CountingBeeper& beeper) {
    const int column = input.ConsumeIntegralInRange(-1, 3);
    const int row = input.ConsumeIntegralInRange(-1, 258);
    const std::string text = fuzz_typing::consumeText(input, "0123456789abcdefABCDEF");
    const board::SharedState before = state;
    const int beeps = beeper.beeps;
    const bool changed = typing.applyCellText(state, column, row, text, beeper);

    const bool editable =
        transmission::isDataRow(state, row) &&
        (column == transmission::AddressColumn || column == transmission::CodeColumn);
    const std::size_t current = transmission::currentChannelIndex(state);
    for (std::size_t ch = 0; ch < board::kMaxChannels; ++ch)
        for (std::size_t i = 0; i < board::kOutputArrayCapacity; ++i)
            if (!editable || ch != current || i != static_cast<std::size_t>(row - 1))
                FUZZ_CHECK(state.SOrecord[ch].SOwords[i] == before.SOrecord[ch].SOwords[i]);
    if (!editable) {
        FUZZ_CHECK(!changed && beeper.beeps == beeps);
        return;
    }
    const auto index = static_cast<std::size_t>(row - 1);
    checkWordEdit(before.SOrecord[current].SOwords[index], state.SOrecord[current].SOwords[index],
                  changed, beeps, beeper.beeps, column, text, typing.lastKey());
    for (int c = -1; c <= transmission::kOutputGridColumnCount; ++c)
        FUZZ_CHECK(fuzz_support::isUtf8(transmission::outputCellText(state, row, c)));
}

void typeIntoWord(std::uint32_t& word, FuzzedDataProvider& input, CountingBeeper& beeper) {
    const int column = input.ConsumeBool() ? transmission::AddressColumn : transmission::CodeColumn;
    const char32_t key = fuzz_typing::consumeKey(input, "0123456789abcdefABCDEFg");
    const std::string text = fuzz_typing::consumeText(input, "0123456789abcdefABCDEF");
    const std::uint32_t before = word;
    const int beeps = beeper.beeps;
    const bool changed = column == transmission::AddressColumn
                             ? transmission::applyAddressText(word, text, key, beeper)
                             : transmission::applyCodeText(word, text, key, beeper);
    checkWordEdit(before, word, changed, beeps, beeper.beeps, column, text, key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    board::SharedState state;
    for (std::size_t ch = 0; ch < board::kMaxChannels; ++ch) {
        state.SOArrayDim[ch] = input.ConsumeIntegralInRange<std::uint16_t>(0, 256);
        state.SOCycleDim[ch] = state.SOArrayDim[ch];
    }
    (void)transmission::selectOutputChannel(state, input.ConsumeIntegralInRange(0, 7));
    transmission::fillTestPattern(state);
    transmission::OutputCellTyping typing;
    CountingBeeper beeper;
    auto word = input.ConsumeIntegral<std::uint32_t>();

    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
        switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0: typing.recordKey(fuzz_typing::consumeKey(input, "0123456789abcdefABCDEFg")); break;
        case 1: typeIntoGrid(state, typing, input, beeper); break;
        case 2: typeIntoWord(word, input, beeper); break;
        case 3: {
            const int tab = input.ConsumeIntegralInRange(-1, 8);
            FUZZ_CHECK(transmission::selectOutputChannel(state, tab) == (tab >= 0 && tab < 8));
            FUZZ_CHECK(state.CurSO < board::kMaxChannels && state.SOchannelNo == state.CurSO + 1);
            break;
        }
        default: {
            const int item = input.ConsumeIntegralInRange(-1, 256);
            FUZZ_CHECK(transmission::setArraySizeFromListItem(state, item) ==
                       (item >= 0 && item <= 255));
            const std::uint16_t dim = transmission::currentArraySize(state);
            FUZZ_CHECK(dim <= 256);
            break;
        }
        }
    }
    return 0;
}
