#include "formats/assignment_cells.h"
#include "formats/assignment_editing.h"
#include "formats/assignment_table.h"
#include "formats/cp1251.h"

#include "counting_beeper.h"
#include "table_fixtures.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using formats::EditResult;
using formats_testing::makeAssignment;
using formats_testing::makeFormat;

constexpr char32_t kPaste = 22;

struct NumberCase {
    std::string_view text;
    char32_t lastKey;
    EditResult result;
    std::uint8_t expected;
    int beeps;
};

class AssignmentEditing : public ::testing::Test {
protected:
    void check(int column, const NumberCase& c, std::uint8_t before) {
        auto& slot = table.slots[3];
        std::uint8_t& field = column == formats::kAddressColumn ? slot.address : slot.channel;
        field = before;
        beeper.beeps = 0;
        EXPECT_EQ(formats::editAssignmentCell(table, 3, column, c.text, c.lastKey, beeper),
                  c.result)
            << c.text;
        EXPECT_EQ(field, c.expected) << c.text;
        EXPECT_EQ(beeper.beeps, c.beeps) << c.text;
    }

    formats::AssignmentTable table;
    testing_support::CountingBeeper beeper;
};

TEST_F(AssignmentEditing, AddressIsOctalUpTo377) {
    const NumberCase cases[] = {
        {"310", U'0', EditResult::Stored, 0310, 0},
        {"7", U'7', EditResult::Stored, 7, 0},
        {"377", U'7', EditResult::Stored, 255, 0},
        {"400", U'0', EditResult::Stored, 255, 1},
        {"777", U'7', EditResult::Stored, 255, 1},
        {"-1", kPaste, EditResult::Stored, 255, 1}, // 65535 as unsigned 16-bit
        {"0", U'0', EditResult::Stored, 0, 0},      // accepted, leaves the row incomplete
        {" 12 ", kPaste, EditResult::Stored, 012, 0},
        {"18", kPaste, EditResult::Stored, 1, 0}, // the octal read stops at the 8
        {"8", U'8', EditResult::Refused, 042, 1}, // 8 and 9 are not octal keys
        {"9", U'9', EditResult::Refused, 042, 1},
        {"1234", U'4', EditResult::Refused, 042, 1},
        {"", 8, EditResult::Refused, 042, 1},
        {"8", kPaste, EditResult::Refused, 042, 1},
        {"x1", kPaste, EditResult::Refused, 042, 1},
    };
    for (const auto& c : cases)
        check(formats::kAddressColumn, c, 042);
}

TEST_F(AssignmentEditing, ChannelIsHeldTo1Through8) {
    const NumberCase cases[] = {
        {"1", U'1', EditResult::Stored, 1, 0},
        {"8", U'8', EditResult::Stored, 8, 0},
        {"0", kPaste, EditResult::Stored, 1, 1},
        {"9", kPaste, EditResult::Stored, 8, 1},
        {" 3 ", kPaste, EditResult::Stored, 3, 0},
        {"0", U'0', EditResult::Refused, 5, 1}, // only the keys 1..8 type a channel
        {"9", U'9', EditResult::Refused, 5, 1},
        {"12", U'2', EditResult::Refused, 5, 1},
        {"-1", kPaste, EditResult::Refused, 5, 1},
        {"", 8, EditResult::Refused, 5, 1},
    };
    for (const auto& c : cases)
        check(formats::kChannelColumn, c, 5);
}

TEST_F(AssignmentEditing, TypedLabelsAreNotStored) {
    table.slots[0] = makeAssignment(1, 1, "ALT");
    EXPECT_EQ(
        formats::editAssignmentCell(table, 0, formats::kFormatLabelColumn, "SPD", U'D', beeper),
        EditResult::Ignored);
    EXPECT_EQ(formats::fieldText(table.slots[0].formatLabel), "ALT");
    EXPECT_EQ(beeper.beeps, 0);
    EXPECT_EQ(formats::editAssignmentCell(table, 256, formats::kAddressColumn, "1", U'1', beeper),
              EditResult::Ignored);
}

TEST(AssignmentTable, CompactionDropsIncompleteRowsAndKeepsOrder) {
    formats::AssignmentTable table;
    table.slots[0] = makeAssignment(0310, 1, "ALT");
    table.slots[1] = makeAssignment(0, 1, "ALT"); // address 0 cannot be assigned
    table.slots[2] = makeAssignment(0206, 2, "SPD");
    table.slots[3] = makeAssignment(0206, 0, "SPD"); // channel 0
    table.slots[4] = makeAssignment(0206, 3, "");
    table.slots[5] = makeAssignment(0310, 1, "HDG");
    EXPECT_EQ(formats::compactAssignments(table, 7), 4);
    ASSERT_EQ(table.assignmentCount, 3);
    EXPECT_EQ(table.slots[0].address, 0310);
    EXPECT_EQ(table.slots[1].address, 0206);
    EXPECT_EQ(formats::fieldText(table.slots[2].formatLabel), "HDG");
    for (int slot = 3; slot < formats::kAssignmentSlots; ++slot) {
        ASSERT_EQ(table.slots[slot].address, 0);
        ASSERT_EQ(table.slots[slot].channel, 0);
        ASSERT_EQ(table.slots[slot].formatLabel[0], '\0');
    }

    EXPECT_EQ(formats::deleteAssignmentRow(table, 1, 4), 3);
    EXPECT_EQ(table.assignmentCount, 2);
    EXPECT_EQ(formats::fieldText(table.slots[1].formatLabel), "HDG");
    EXPECT_EQ(formats::deleteAssignmentRow(table, 0, 3), 2);
    EXPECT_EQ(formats::deleteAssignmentRow(table, 0, 2), 2);
    EXPECT_EQ(table.assignmentCount, 0);
}

TEST(AssignmentTable, LabelIsRedWhenNoCountedFormatHasIt) {
    formats::DecimalFormatTable formatsTable;
    formatsTable.slots[0] = makeFormat("ALT", 28, 18, 90.0F, "ft");
    formatsTable.slots[1] = makeFormat("SPD", 28, 18, 1.0F, "kt");
    formatsTable.formatCount = 1;
    EXPECT_FALSE(formats::labelNamesNoFormat(formatsTable, makeAssignment(1, 1, "ALT")));
    EXPECT_TRUE(formats::labelNamesNoFormat(formatsTable, makeAssignment(1, 1, "SPD")));
    EXPECT_TRUE(formats::labelNamesNoFormat(formatsTable, makeAssignment(1, 1, "Alt")));
    EXPECT_TRUE(formats::labelNamesNoFormat(formatsTable, makeAssignment(1, 1, "")));
}

TEST(AssignmentTable, TransferCopiesTheWholeLabelUnlessThePressMissedEveryCell) {
    formats::DecimalFormatTable formatsTable;
    formatsTable.slots[0] = makeFormat("ALT", 28, 18, 90.0F, "ft");
    formatsTable.slots[1] = makeFormat("SPEED", 28, 18, 1.0F, "kt");
    formatsTable.formatCount = 2;
    formats::AssignmentTable table;
    table.slots[2] = makeAssignment(0206, 4, "OLDLABEL");

    EXPECT_FALSE(formats::transferFormatLabel(formatsTable, 1, table, 2, false));
    EXPECT_EQ(formats::fieldText(table.slots[2].formatLabel), "OLDLABEL");

    EXPECT_TRUE(formats::transferFormatLabel(formatsTable, 1, table, 2, true));
    EXPECT_EQ(formats::fieldText(table.slots[2].formatLabel), "SPEED");
    EXPECT_EQ(table.slots[2].address, 0206);
    EXPECT_EQ(table.slots[2].channel, 4);

    // An empty format table: its one row transfers an empty label.
    formatsTable = {};
    EXPECT_TRUE(formats::transferFormatLabel(formatsTable, 0, table, 2, true));
    EXPECT_EQ(formats::fieldText(table.slots[2].formatLabel), "");

    EXPECT_FALSE(formats::transferFormatLabel(formatsTable, 256, table, 2, true));
    EXPECT_FALSE(formats::transferFormatLabel(formatsTable, 0, table, -1, true));
}

TEST(AssignmentCells, HeadersAndCellTexts) {
    EXPECT_EQ(formats::kAssignmentColumnHeaders[0], "  АП  ");
    EXPECT_EQ(formats::kAssignmentColumnHeaders[1], " № канала");
    EXPECT_EQ(formats::kAssignmentColumnHeaders[2], " метка");
    const auto assignment = makeAssignment(255, 3, "\xE2\xFB\xF1");
    EXPECT_EQ(formats::assignmentCellText(assignment, 0), "    377");
    EXPECT_EQ(formats::assignmentCellText(assignment, 1), "      3");
    EXPECT_EQ(formats::assignmentCellText(assignment, 2), "выс");
    EXPECT_EQ(formats::assignmentCellText(makeAssignment(010, 0, ""), 0), "     10");
    EXPECT_EQ(formats::assignmentCellText(assignment, 3), "");
}

} // namespace
