#include "transmission/output_array.h"
#include "transmission/output_grid_text.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using transmission_tests::initialisedState;

TEST(TestPattern, KnownWords) {
    struct Case {
        std::uint16_t channelNo;
        unsigned index;
        std::uint32_t word;
        const char* address;
        const char* code;
    };
    const Case cases[] = {
        {1, 0, 0xFEFF0100u, "000", "feff01"},
        {1, 255, 0xFE0001FFu, "377", "fe0001"},
        {8, 10, 0xF7F5080Au, "012", "f7f508"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "channel " << c.channelNo << " index " << c.index);
        EXPECT_EQ(transmission::testPatternWord(c.channelNo, c.index), c.word);
        EXPECT_EQ(transmission::addressCellText(c.word), c.address);
        EXPECT_EQ(transmission::codeCellText(c.word), c.code);
    }
}

TEST(TestPattern, FillsAll256WordsOfTheCurrentChannelWhateverTheSize) {
    auto state = initialisedState();
    ASSERT_TRUE(transmission::selectOutputChannel(state, 1));
    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 9));
    state.SOrecord[0].SOwords[200] = 0x12345678u;

    transmission::fillTestPattern(state);

    EXPECT_EQ(state.SOrecord[1].SOwords[0], 0xFDFF0200u);
    EXPECT_EQ(state.SOrecord[1].SOwords[255], 0xFD0002FFu);
    EXPECT_EQ(state.SOrecord[0].SOwords[200], 0x12345678u); // other channel untouched
}

TEST(TestPattern, ChannelsDifferOnlyInTheChannelBytes) {
    // 1 ^ 2 in bits 9-16, 254 ^ 253 in bits 25-32, at every index.
    for (unsigned k = 0; k < 256; ++k)
        ASSERT_EQ(transmission::testPatternWord(1, k) ^ transmission::testPatternWord(2, k),
                  0x03000300u)
            << "index " << k;
}

TEST(OutputArray, ClearZeroesAll256WordsOfTheCurrentChannelOnly) {
    auto state = initialisedState();
    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 9));
    state.SOrecord[0].SOwords.fill(0xAAAAAAAAu);
    state.SOrecord[1].SOwords[3] = 5;

    transmission::clearOutputArray(state);

    for (const auto word : state.SOrecord[0].SOwords)
        ASSERT_EQ(word, 0u);
    EXPECT_EQ(state.SOrecord[1].SOwords[3], 5u);
}

TEST(OutputArray, SizeChangeSetsBothCountsAndKeepsHiddenWords) {
    auto state = initialisedState();
    state.SOrecord[0].SOwords[200] = 0xCAFEu;

    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 9));
    EXPECT_EQ(state.SOArrayDim[0], 10);
    EXPECT_EQ(state.SOCycleDim[0], 10);
    EXPECT_EQ(transmission::outputGridRowCount(state), 11);
    EXPECT_EQ(transmission::arraySizeListItem(state), 9);
    EXPECT_EQ(transmission::outputCellText(state, 11, 1), "");

    ASSERT_TRUE(transmission::setArraySizeFromListItem(state, 255));
    EXPECT_EQ(state.SOArrayDim[0], 256);
    EXPECT_EQ(state.SOCycleDim[0], 256);
    EXPECT_EQ(transmission::outputCellText(state, 201, 2), "0000ca");

    for (const int item : {-1, 256, 1000}) {
        EXPECT_FALSE(transmission::setArraySizeFromListItem(state, item));
        EXPECT_EQ(state.SOArrayDim[0], 256);
    }
}

TEST(OutputArray, SwitchingTabsFollowsEachChannelsSizeAndRate) {
    auto state = initialisedState();
    state.FreqCodes.SOfreq[2] = 2;
    state.SOArrayDim[2] = state.SOCycleDim[2] = 17;

    ASSERT_TRUE(transmission::selectOutputChannel(state, 2));
    EXPECT_EQ(state.CurSO, 2);
    EXPECT_EQ(state.SOchannelNo, 3);
    EXPECT_EQ(state.SOrateText, "частота 100КГц+/-1%");
    EXPECT_EQ(transmission::outputArrayTitle(state), "Массив выходных параметров канала № 3");
    EXPECT_EQ(transmission::arraySizeListItem(state), 16);
    EXPECT_EQ(transmission::outputGridRowCount(state), 18);

    EXPECT_FALSE(transmission::selectOutputChannel(state, 8));
    EXPECT_FALSE(transmission::selectOutputChannel(state, -1));
    EXPECT_EQ(state.CurSO, 2);
}

TEST(OutputGridText, HeaderAndDataCells) {
    auto state = initialisedState();
    state.SOrecord[0].SOwords[0] = 0xFEFF0100u;
    state.SOrecord[0].SOwords[12] = 0x000017FFu;
    const std::tuple<int, int, const char*> cells[] = {
        {0, 0, " индекс"}, {0, 1, " АП"},     {0, 2, " код(HEX) "}, {1, 0, "    0"},
        {1, 1, "000"},     {1, 2, "feff01"},  {13, 0, "   12"},     {13, 1, "377"},
        {13, 2, "000017"}, {256, 0, "  255"}, {257, 0, ""},         {1, 3, ""},
        {-1, 0, ""},
    };
    for (const auto& [row, column, text] : cells)
        EXPECT_EQ(transmission::outputCellText(state, row, column), text)
            << "row " << row << " column " << column;
}

} // namespace
