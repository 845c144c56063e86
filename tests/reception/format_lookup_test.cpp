#include "reception/format_lookup.h"

#include "format_test_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

namespace {

using reception::ChannelFormatLookup;
using reception::rebuildChannelFormatLookup;
using reception_testing::makeAssignment;
using reception_testing::makeFormat;

std::string_view labelAt(const ChannelFormatLookup& lookup, int address) {
    return {lookup.slots[address].label.data(), strnlen(lookup.slots[address].label.data(), 9)};
}

// By value: the field is packed and may not be bound to a reference.
float weightAt(const ChannelFormatLookup& lookup, int address) {
    return lookup.slots[address].msbWeight;
}

class FormatLookupTest : public ::testing::Test {
protected:
    void addFormat(const formats::DecimalFormat& format) {
        formatTable.slots[formatTable.formatCount++] = format;
    }
    void assign(std::uint8_t address, std::uint8_t channel, std::string_view label) {
        assignments.slots[assignments.assignmentCount++] = makeAssignment(address, channel, label);
    }

    formats::DecimalFormatTable formatTable;
    formats::AssignmentTable assignments;
    ChannelFormatLookup lookup;
};

TEST_F(FormatLookupTest, CopiesTheFormatOfEachAssignmentOfTheChannel) {
    addFormat(makeFormat("ALT", 0, 28, 18, 90.0f, "deg"));
    addFormat(makeFormat("SPD", 1, 29, 10, 512.0f, "kt"));
    assign(0203, 2, "SPD");
    assign(0204, 2, "ALT");
    assign(0205, 3, "ALT"); // another channel

    rebuildChannelFormatLookup(lookup, 2, formatTable, assignments);

    EXPECT_EQ(labelAt(lookup, 0203), "SPD");
    EXPECT_EQ(lookup.slots[0203].msbBit, 29);
    EXPECT_EQ(weightAt(lookup, 0203), 512.0f);
    EXPECT_EQ(labelAt(lookup, 0204), "ALT");
    EXPECT_EQ(labelAt(lookup, 0205), "");

    // The lookup holds copies: later edits of the table do not reach it.
    formatTable.slots[1].msbWeight = 1.0f;
    EXPECT_EQ(weightAt(lookup, 0203), 512.0f);
}

TEST_F(FormatLookupTest, LastAssignmentWhoseFormatExistsWins) {
    addFormat(makeFormat("A", 0, 28, 18, 1.0f, "u"));
    addFormat(makeFormat("B", 0, 28, 18, 2.0f, "u"));
    assign(010, 1, "A");
    assign(010, 1, "B");
    assign(010, 1, "MISSING"); // finds nothing and changes nothing
    assign(020, 1, "MISSING");

    rebuildChannelFormatLookup(lookup, 1, formatTable, assignments);

    EXPECT_EQ(labelAt(lookup, 010), "B");
    EXPECT_EQ(labelAt(lookup, 020), "");
}

TEST_F(FormatLookupTest, FirstFormatWithTheLabelIsTakenAndLabelsAreCaseSensitive) {
    addFormat(makeFormat("dup", 0, 28, 18, 1.0f, "first"));
    addFormat(makeFormat("dup", 0, 28, 18, 2.0f, "second"));
    addFormat(makeFormat("DUP", 0, 28, 18, 3.0f, "upper"));
    assign(1, 4, "DUP");
    assign(2, 4, "dup");

    rebuildChannelFormatLookup(lookup, 4, formatTable, assignments);

    EXPECT_EQ(weightAt(lookup, 1), 3.0f);
    EXPECT_EQ(weightAt(lookup, 2), 1.0f);
}

TEST_F(FormatLookupTest, WalkStopsAtTheFirstSlotWithoutChannel) {
    addFormat(makeFormat("A", 0, 28, 18, 1.0f, "u"));
    assign(1, 1, "A");
    assignments.slots[1] = makeAssignment(2, 0, "A");
    assignments.slots[2] = makeAssignment(3, 1, "A");

    rebuildChannelFormatLookup(lookup, 1, formatTable, assignments);

    EXPECT_EQ(labelAt(lookup, 1), "A");
    EXPECT_EQ(labelAt(lookup, 3), "");
}

TEST_F(FormatLookupTest, OnlyFormatsBelowTheCountAreSearched) {
    addFormat(makeFormat("A", 0, 28, 18, 1.0f, "u"));
    formatTable.slots[5] = makeFormat("HIDDEN", 0, 28, 18, 1.0f, "u");
    assign(1, 1, "HIDDEN");

    rebuildChannelFormatLookup(lookup, 1, formatTable, assignments);

    EXPECT_EQ(labelAt(lookup, 1), "");
}

TEST_F(FormatLookupTest, RebuildEmptiesEverySlotFirst) {
    addFormat(makeFormat("A", 0, 28, 18, 1.0f, "u"));
    assign(7, 1, "A");
    rebuildChannelFormatLookup(lookup, 1, formatTable, assignments);
    ASSERT_EQ(labelAt(lookup, 7), "A");

    rebuildChannelFormatLookup(lookup, 2, formatTable, assignments);

    for (int address = 0; address < reception::kLookupSlots; ++address)
        EXPECT_EQ(lookup.slots[address].label[0], '\0') << address;
}

TEST_F(FormatLookupTest, DamagedTablesAreReadWithinTheirFields) {
    // Labels with no NUL inside their 9 bytes compare over the whole field.
    formatTable.slots[0] = makeFormat("ABCDEFGHI", 0, 28, 18, 1.0f, "u");
    formatTable.slots[1] = makeFormat("ABCDEFGH", 0, 28, 18, 2.0f, "u");
    formatTable.formatCount = 0xFFFF; // a count beyond the table's 256 slots
    assign(1, 1, "ABCDEFGHI");
    assign(2, 1, "ABCDEFGH");
    assign(3, 1, "NOWHERE");
    for (int i = assignments.assignmentCount; i < formats::kAssignmentSlots; ++i)
        assignments.slots[i] = makeAssignment(static_cast<std::uint8_t>(i), 1, "NOWHERE");

    rebuildChannelFormatLookup(lookup, 1, formatTable, assignments);

    EXPECT_EQ(weightAt(lookup, 1), 1.0f);
    EXPECT_EQ(weightAt(lookup, 2), 2.0f);
    EXPECT_EQ(lookup.slots[3].label[0], '\0');
}

} // namespace
