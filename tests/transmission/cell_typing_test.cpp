#include "transmission/cell_typing.h"
#include "transmission/output_grid_text.h"

#include "counting_beeper.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using transmission::AddressColumn;
using transmission::CodeColumn;

constexpr char32_t kPaste = 0x16;
constexpr char32_t kBackspace = 0x08;
constexpr char32_t kEnter = 0x0D;

// One change of the editor's text: the key that caused it, the whole text after it, and
// what the cell shows and whether the beeper sounded afterwards.
struct Step {
    char32_t key;
    std::string text;
    const char* shownAfter;
    bool beeps;
};

struct Sequence {
    const char* name;
    int column;
    std::vector<Step> steps;
};

class CellTypingTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = transmission_tests::initialisedState();
        word() = 0xFEFF0100u; // address 000, code feff01
    }

    std::uint32_t& word() { return state.SOrecord[0].SOwords[4]; }

    board::SharedState state;
    transmission::OutputCellTyping typing;
    testing_support::CountingBeeper beeper;
};

TEST_F(CellTypingTest, TypingSequences) {
    const Sequence sequences[] = {
        {"1 2 3",
         AddressColumn,
         {{'1', "1", "001", false}, {'2', "12", "012", false}, {'3', "123", "123", false}}},
        {"7 7 7",
         AddressColumn,
         {{'7', "7", "007", false}, {'7', "77", "077", false}, {'7', "777", "377", false}}},
        {"4 0 0",
         AddressColumn,
         {{'4', "4", "004", false}, {'0', "40", "040", false}, {'0', "400", "000", false}}},
        {"fourth address character",
         AddressColumn,
         {{'1', "1", "001", false},
          {'2', "12", "012", false},
          {'3', "123", "123", false},
          {'4', "1234", "123", true}}},
        {"8 and 9", AddressColumn, {{'8', "8", "000", true}, {'9', "9", "000", true}}},
        {"deleting the last character",
         AddressColumn,
         {{'5', "5", "005", false}, {kBackspace, "", "005", true}}},
        {"a digit after a blank prefix", AddressColumn, {{kPaste, "  7", "007", false}}},
        {"a text with no leading digit", AddressColumn, {{kPaste, "x1", "000", true}}},
        {"cyrillic key", AddressColumn, {{U'й', "й", "000", true}}},
        {"characters, not bytes, count",
         AddressColumn,
         {{kPaste, "12й", "012", false}, {kPaste, "1ййй", "012", true}}},
        {"F and f", CodeColumn, {{'F', "F", "00000f", false}, {'f', "Ff", "0000ff", false}}},
        {"G", CodeColumn, {{'G', "G", "feff01", true}}},
        {"paste 17zz", CodeColumn, {{kPaste, "17zz", "000017", false}}},
        {"no 0x prefix", CodeColumn, {{kPaste, "0x12", "000000", false}}},
        {"seventh code character",
         CodeColumn,
         {{kPaste, "abcdef", "abcdef", false}, {'1', "abcdef1", "abcdef", true}}},
    };
    for (const auto& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        SetUp();
        const std::uint32_t before = word();
        for (const auto& step : sequence.steps) {
            SCOPED_TRACE("text \"" + step.text + "\"");
            const int beepsBefore = beeper.beeps;
            const std::uint32_t wordBefore = word();
            typing.recordKey(step.key);
            const bool changed = typing.applyCellText(state, sequence.column, 5, step.text, beeper);
            EXPECT_EQ(beeper.beeps - beepsBefore, step.beeps ? 1 : 0);
            EXPECT_EQ(changed, word() != wordBefore);
            const auto shown = sequence.column == AddressColumn
                                   ? transmission::addressCellText(word())
                                   : transmission::codeCellText(word());
            EXPECT_EQ(shown, step.shownAfter);
        }
        // Each column leaves the other half of the word alone.
        const std::uint32_t untouched = sequence.column == AddressColumn ? 0xFFFFFF00u : 0xFFu;
        EXPECT_EQ(word() & untouched, before & untouched);
    }
}

TEST_F(CellTypingTest, ClosingTheEditorAppliesTheSameTextAgainQuietly) {
    typing.recordKey('3');
    ASSERT_TRUE(typing.applyCellText(state, AddressColumn, 5, "3", beeper));
    typing.recordKey(kEnter);
    EXPECT_FALSE(typing.applyCellText(state, AddressColumn, 5, "3", beeper));
    EXPECT_EQ(beeper.beeps, 0);
    EXPECT_EQ(word() & 0xFFu, 3u);
}

TEST_F(CellTypingTest, CellsThatCannotBeEditedAreIgnoredWithoutABeep) {
    state.SOArrayDim[0] = 10;
    state.SOrecord[0].SOwords[10] = 0x55u;
    typing.recordKey('7');
    for (const auto& [column, row] : {std::pair{0, 5}, {1, 0}, {1, 11}, {2, 300}, {3, 5}})
        EXPECT_FALSE(typing.applyCellText(state, column, row, "7", beeper)) << column << "," << row;
    EXPECT_EQ(beeper.beeps, 0);
    EXPECT_EQ(state.SOrecord[0].SOwords[10], 0x55u);
    EXPECT_EQ(word(), 0xFEFF0100u);
}

TEST_F(CellTypingTest, EditsReachOnlyTheCurrentChannel) {
    state.CurSO = 3;
    state.SOchannelNo = 4;
    typing.recordKey('1');
    ASSERT_TRUE(typing.applyCellText(state, AddressColumn, 1, "1", beeper));
    EXPECT_EQ(state.SOrecord[3].SOwords[0], 1u);
    EXPECT_EQ(state.SOrecord[0].SOwords[0], 0u);
}

TEST(ReadLeadingNumber, StopsAtTheFirstUnsuitableCharacter) {
    struct Case {
        const char* text;
        int base;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"777", 8, 0777},         {"18", 8, 1},
        {" \t12", 8, 012},        {"", 8, std::nullopt},
        {"  ", 16, std::nullopt}, {"-1", 8, std::nullopt},
        {"+1", 16, std::nullopt}, {"fFz9", 16, 0xFF},
        {"8", 8, std::nullopt},   {"ffffffff", 16, 0xFFFFFFFFu},
    };
    for (const auto& c : cases)
        EXPECT_EQ(transmission::readLeadingNumber(c.text, c.base), c.value)
            << '"' << c.text << "\" base " << c.base;
}

} // namespace
