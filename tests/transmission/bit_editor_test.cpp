#include "transmission/bit_editor.h"
#include "transmission/output_grid_text.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using transmission::OutputWordBitEditor;

TEST(BitEditor, CheckBoxNumberIsBit33MinusN) {
    EXPECT_EQ(transmission::maskOfCheckBox(1), 0x80000000u);
    EXPECT_EQ(transmission::maskOfCheckBox(8), 0x01000000u);
    EXPECT_EQ(transmission::maskOfCheckBox(24), 0x00000100u);
    EXPECT_EQ(transmission::maskOfCheckBox(25), 0x00000080u);
    EXPECT_EQ(transmission::maskOfCheckBox(32), 0x00000001u);
    EXPECT_EQ(transmission::maskOfCheckBox(0), 0u);
    EXPECT_EQ(transmission::maskOfCheckBox(33), 0u);
}

TEST(BitEditor, ShowingTheTestWordChecksItsBits) {
    auto state = transmission_tests::initialisedState();
    state.SOrecord[0].SOwords[0] = 0xFEFF0100u;
    state.SOparamIndex = 0;
    OutputWordBitEditor editor;
    editor.show(state);

    EXPECT_EQ(editor.caption(), "Задание кода выходного параметра (индекс 0)");
    // Bits 9, 17..24 and 26..32.
    std::set<int> expected{24, 1, 2, 3, 4, 5, 6, 7};
    for (int n = 9; n <= 16; ++n)
        expected.insert(n);
    for (int n = 1; n <= 32; ++n)
        EXPECT_EQ(editor.isChecked(n), expected.contains(n)) << "CheckBox" << n;
}

TEST(BitEditor, ApplyWritesTheWorkingWordCancelLeavesTheWord) {
    auto state = transmission_tests::initialisedState();
    state.CurSO = 2;
    state.SOchannelNo = 3;
    state.SOrecord[2].SOwords[10] = 0x00000000u;
    ASSERT_TRUE(transmission::selectWordForBitEditor(state, 11)); // row 11 is index 10
    EXPECT_EQ(state.SOparamIndex, 10);

    OutputWordBitEditor editor;
    editor.show(state);
    EXPECT_EQ(editor.caption(), "Задание кода выходного параметра (индекс 10)");
    editor.setChecked(25, true);
    editor.setChecked(32, true);
    editor.setChecked(3, true);
    editor.setChecked(3, false);
    EXPECT_EQ(editor.workingWord(), 0x81u);
    EXPECT_EQ(state.SOrecord[2].SOwords[10], 0u) << "boxes change only the working copy";

    editor.apply(state);
    EXPECT_EQ(transmission::addressCellText(state.SOrecord[2].SOwords[10]), "201");
    EXPECT_EQ(transmission::codeCellText(state.SOrecord[2].SOwords[10]), "000000");

    // A new showing starts from the word as it is now; closing without apply keeps it.
    editor.show(state);
    editor.setChecked(1, true);
    EXPECT_EQ(state.SOrecord[2].SOwords[10], 0x81u);
    EXPECT_EQ(state.SOrecord[0].SOwords[10], 0u);
}

TEST(BitEditor, OnlyDataRowsOpenTheEditor) {
    auto state = transmission_tests::initialisedState();
    state.SOArrayDim[0] = 10;
    state.SOparamIndex = 7;
    for (const int row : {0, 11, 257, -1})
        EXPECT_FALSE(transmission::selectWordForBitEditor(state, row)) << row;
    EXPECT_EQ(state.SOparamIndex, 7);
    EXPECT_TRUE(transmission::selectWordForBitEditor(state, 10));
    EXPECT_EQ(state.SOparamIndex, 9);
}

} // namespace
