#include "formats/cp1251.h"
#include "formats/format_cells.h"
#include "formats/format_editing.h"

#include "counting_beeper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

namespace {

using formats::EditResult;

constexpr char32_t kBackspace = 8;
constexpr char32_t kPaste = 22;

struct BitCase {
    std::uint8_t bit29Mode;
    std::uint8_t msbBefore;
    std::uint8_t lsbBefore;
    std::string_view text;
    std::uint8_t expected;
    int beeps;
};

class FormatEditing : public ::testing::Test {
protected:
    EditResult edit(int column, std::string_view text, char32_t lastKey = U'0') {
        return formats::editFormatCell(table, 0, column, text, lastKey, beeper);
    }
    formats::DecimalFormat& format() { return table.slots[0]; }

    // Each case starts from its own MSB and LSB; the other bit number must not move.
    template <std::size_t N>
    void checkBitCases(int column, const BitCase (&cases)[N]) {
        const bool msb = column == formats::kMsbColumn;
        for (const auto& c : cases) {
            format() = {};
            format().bit29Mode = c.bit29Mode;
            format().msbBit = c.msbBefore;
            format().lsbBit = c.lsbBefore;
            beeper.beeps = 0;
            EXPECT_EQ(edit(column, c.text), EditResult::Stored) << c.text;
            EXPECT_EQ(msb ? format().msbBit : format().lsbBit, c.expected) << c.text;
            EXPECT_EQ(msb ? format().lsbBit : format().msbBit, msb ? c.lsbBefore : c.msbBefore)
                << c.text;
            EXPECT_EQ(beeper.beeps, c.beeps) << c.text;
        }
    }
    std::string_view label() { return formats::fieldText(format().label); }
    std::string_view units() { return formats::fieldText(format().units); }

    formats::DecimalFormatTable table;
    testing_support::CountingBeeper beeper;
};

TEST_F(FormatEditing, MsbClampsAndBeepsInOrder) {
    const BitCase cases[] = {
        {1, 0, 0, "5", 9, 0},   // below 9: raised silently
        {1, 0, 0, "35", 29, 1}, // above 29: lowered with a beep
        {0, 0, 0, "29", 28, 1}, // 29 is the sign bit on a "знак" row
        {1, 0, 0, "29", 29, 0},
        {1, 0, 0, "-1", 29, 1},  // -1 is 65535 as unsigned 16-bit
        {0, 0, 0, "-1", 28, 2},  // clamped to 29, then the sign rule
        {1, 0, 0, " 17", 17, 0}, // leading blanks do not count
        {1, 0, 12, "10", 12, 1}, // below the LSB: the LSB's value
        {1, 0, 12, "1", 12, 1},  // raised to 9, then to the LSB
        {0, 0, 29, "29", 28, 1}, // the sign rule stops before the LSB rule
        {1, 0, 12, "12", 12, 0},
        {1, 0, 0, "7x", 9, 0}, // the read stops at the first unsuitable character
        {1, 20, 0, "29", 29, 0},
    };
    checkBitCases(formats::kMsbColumn, cases);
}

TEST_F(FormatEditing, LsbClampsAndStaysAtOrBelowTheMsb) {
    const BitCase cases[] = {
        {1, 20, 0, "12", 12, 0}, {1, 20, 0, "5", 9, 0},
        {1, 20, 0, "25", 20, 1},                        // above the MSB: the MSB's value
        {1, 20, 0, "35", 20, 2},                        // clamped to 29, then above the MSB
        {1, 29, 0, "35", 29, 1}, {1, 0, 0, "12", 0, 1}, // fresh row: the MSB has to come first
        {1, 0, 0, "5", 0, 1},    {0, 28, 0, "-1", 28, 2},
    };
    checkBitCases(formats::kLsbColumn, cases);
}

// A state file may hold any byte in the other bit number; what is typed still ends up in
// 9..29 (found by fuzzing the format editor).
TEST_F(FormatEditing, DamagedOtherBitNumberBoundsWithinNineTo29) {
    const BitCase msbCases[] = {
        {1, 0, 200, "20", 29, 1}, // was 200: raised to the LSB
        {0, 0, 255, "12", 29, 1},
        {1, 0, 3, "12", 12, 0}, // an LSB below 9 bounds nothing
    };
    checkBitCases(formats::kMsbColumn, msbCases);
    const BitCase lsbCases[] = {
        {1, 3, 0, "12", 9, 1}, // was 3: lowered to the MSB
        {1, 1, 0, "5", 9, 0},
        {1, 200, 0, "12", 12, 0},
        {1, 200, 0, "35", 29, 1},
    };
    checkBitCases(formats::kLsbColumn, lsbCases);
}

TEST_F(FormatEditing, BitNumbersRefuseLongOrUnreadableText) {
    for (int column : {formats::kMsbColumn, formats::kLsbColumn}) {
        for (std::string_view text : {"123", "", "  ", "x", "-", "+", "1 2 3"}) {
            format() = {};
            format().msbBit = 20;
            format().lsbBit = 10;
            beeper.beeps = 0;
            EXPECT_EQ(edit(column, text, kBackspace), EditResult::Refused) << text;
            EXPECT_EQ(beeper.beeps, 1) << text;
            EXPECT_EQ(format().msbBit, 20);
            EXPECT_EQ(format().lsbBit, 10);
        }
    }
    // Trailing blanks do not count against the two characters.
    EXPECT_EQ(edit(formats::kMsbColumn, " 21  "), EditResult::Stored);
    EXPECT_EQ(format().msbBit, 21);
}

TEST_F(FormatEditing, NumericColumnsTakeOnlyDigitsAndEditingKeys) {
    format().msbBit = 20;
    format().msbWeight = 1.0F;
    // A letter, a point or a minus beeps; the stored value stays.
    for (char32_t key : {U'a', U'.', U'-', U'ж', U' ', char32_t{27}}) {
        beeper.beeps = 0;
        EXPECT_EQ(edit(formats::kMsbColumn, "22", key), EditResult::Refused);
        EXPECT_EQ(edit(formats::kWeightColumn, "0.", key), EditResult::Refused);
        EXPECT_EQ(beeper.beeps, 2);
    }
    EXPECT_EQ(format().msbBit, 20);
    EXPECT_EQ(format().msbWeight, 1.0F);
    // Digits, Ctrl+C, Backspace, Enter and Ctrl+V let the whole text count.
    for (char32_t key : {U'0', U'9', char32_t{3}, char32_t{8}, char32_t{13}, char32_t{22}}) {
        EXPECT_EQ(edit(formats::kMsbColumn, "22", key), EditResult::Stored);
    }
    EXPECT_EQ(format().msbBit, 22);
}

TEST_F(FormatEditing, WeightIsStoredOnceTheDigitAfterThePointIsTyped) {
    format().msbWeight = 3.0F;
    EXPECT_EQ(edit(formats::kWeightColumn, "0", U'0'), EditResult::Stored);
    EXPECT_EQ(format().msbWeight, 0.0F);
    EXPECT_EQ(edit(formats::kWeightColumn, "0.", U'.'), EditResult::Refused);
    EXPECT_EQ(edit(formats::kWeightColumn, "0.5", U'5'), EditResult::Stored);
    EXPECT_EQ(format().msbWeight, 0.5F);
    EXPECT_EQ(beeper.beeps, 1);
}

TEST_F(FormatEditing, WeightKnownAnswers) {
    const struct {
        std::string_view text;
        float expected;
    } stored[] = {{"90", 90.0F},      {"-180", -180.0F},
                  {" 1e2", 100.0F},   {"0.0439453", 0.0439453F},
                  {"2048x", 2048.0F}, {"0", 0.0F}};
    for (const auto& c : stored) {
        EXPECT_EQ(edit(formats::kWeightColumn, c.text, kPaste), EditResult::Stored) << c.text;
        EXPECT_EQ(format().msbWeight, c.expected) << c.text;
    }
    format().msbWeight = 7.0F;
    beeper.beeps = 0;
    for (std::string_view text : {"", "abc", "inf", "nan", "1e39", "-", "."}) {
        EXPECT_EQ(edit(formats::kWeightColumn, text, kPaste), EditResult::Refused) << text;
    }
    EXPECT_EQ(beeper.beeps, 7);
    EXPECT_EQ(format().msbWeight, 7.0F);
}

TEST_F(FormatEditing, LabelsAreTrimmedLimitedToEightCharactersAndStoredInCp1251) {
    EXPECT_EQ(edit(formats::kLabelColumn, "  ALT  ", U'T'), EditResult::Stored);
    EXPECT_EQ(label(), "ALT");
    EXPECT_EQ(edit(formats::kLabelColumn, "12345678", U'8'), EditResult::Stored);
    EXPECT_EQ(label(), "12345678");
    EXPECT_EQ(format().label[8], '\0');
    EXPECT_EQ(edit(formats::kLabelColumn, "высота", U'а'), EditResult::Stored);
    EXPECT_EQ(label(), "\xE2\xFB\xF1\xEE\xF2\xE0");
    EXPECT_EQ(beeper.beeps, 0);

    EXPECT_EQ(edit(formats::kLabelColumn, "123456789", U'9'), EditResult::Refused);
    EXPECT_EQ(edit(formats::kLabelColumn, "высота123", U'3'), EditResult::Refused);
    EXPECT_EQ(edit(formats::kLabelColumn, "alt\xE2\x84\xA2\xE2\x82\xBF", U'x'), // ™ fits, ₿ not
              EditResult::Refused);
    EXPECT_EQ(beeper.beeps, 3);
    EXPECT_EQ(label(), "\xE2\xFB\xF1\xEE\xF2\xE0");

    EXPECT_EQ(edit(formats::kLabelColumn, "   ", kBackspace), EditResult::Stored);
    EXPECT_EQ(label(), "");
}

TEST_F(FormatEditing, UnitsAreTrimmedAndLimitedToSixCharacters) {
    EXPECT_EQ(edit(formats::kUnitsColumn, " км/ч ", U' '), EditResult::Stored);
    EXPECT_EQ(units(), "\xEA\xEC/\xF7");
    EXPECT_EQ(formats::formatCellText(format(), formats::kUnitsColumn), "км/ч");
    EXPECT_EQ(edit(formats::kUnitsColumn, "градус", U'с'), EditResult::Stored);
    EXPECT_EQ(formats::formatCellText(format(), formats::kUnitsColumn), "градус");
    EXPECT_EQ(edit(formats::kUnitsColumn, "градусы", U'ы'), EditResult::Refused);
    EXPECT_EQ(edit(formats::kUnitsColumn, "m\xC2\xB2", U'\u00B2'), EditResult::Refused);
    EXPECT_EQ(beeper.beeps, 2);
    EXPECT_EQ(formats::formatCellText(format(), formats::kUnitsColumn), "градус");
}

TEST_F(FormatEditing, TypedTextInTheBit29ColumnIsIgnored) {
    EXPECT_EQ(edit(formats::kBit29Column, "данные", U'е'), EditResult::Ignored);
    EXPECT_EQ(format().bit29Mode, 0);
    EXPECT_EQ(beeper.beeps, 0);
}

TEST_F(FormatEditing, EditsOutsideTheTableAreIgnored) {
    EXPECT_EQ(formats::editFormatCell(table, 256, formats::kMsbColumn, "12", U'2', beeper),
              EditResult::Ignored);
    EXPECT_EQ(formats::editFormatCell(table, -1, formats::kLabelColumn, "a", U'a', beeper),
              EditResult::Ignored);
}

TEST_F(FormatEditing, ChoosingSignLowersAnMsbOf29AndLeavesTheLsb) {
    format().bit29Mode = 1;
    format().msbBit = 29;
    format().lsbBit = 29;
    EXPECT_TRUE(formats::chooseBit29Mode(table, 0, 0));
    EXPECT_EQ(format().bit29Mode, 0);
    EXPECT_EQ(format().msbBit, 28);
    EXPECT_EQ(format().lsbBit, 29); // now above the MSB, as the rule leaves it

    EXPECT_FALSE(formats::chooseBit29Mode(table, 0, 1));
    EXPECT_EQ(format().bit29Mode, 1);
    EXPECT_EQ(format().msbBit, 28);
    EXPECT_EQ(formats::bit29ItemIndex(format()), 1);

    format().bit29Mode = 7; // from a damaged file: any nonzero value reads as data
    EXPECT_EQ(formats::bit29ItemIndex(format()), 1);
    EXPECT_EQ(formats::formatCellText(format(), formats::kBit29Column), "данные");
}

} // namespace
