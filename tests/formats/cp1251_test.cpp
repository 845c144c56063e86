#include "formats/cp1251.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1251, RoundTripsRussianUnitsAndLabels) {
    const std::string utf8 = "км/ч Ёё №°";
    const std::string bytes = formats::utf8ToCp1251(utf8);
    EXPECT_EQ(bytes, "\xEA\xEC/\xF7 \xA8\xB8 \xB9\xB0");
    EXPECT_EQ(formats::cp1251ToUtf8(bytes), utf8);
}

TEST(Cp1251, UnmappableTextBecomesQuestionMarks) {
    EXPECT_EQ(formats::utf8ToCp1251("a\xE2\x82\xACz"), "a\x88z"); // euro sign exists
    EXPECT_EQ(formats::utf8ToCp1251("\xE4\xB8\xAD"), "?");        // a CJK character
    EXPECT_EQ(formats::utf8ToCp1251("\xC3"), "?");                // truncated sequence
    EXPECT_EQ(formats::cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(Cp1251, FieldTextStopsAtNulOrFieldEnd) {
    const std::array<char, 7> withNul = {'k', 'm', '\0', 'x', 'x', 'x', 'x'};
    const std::array<char, 7> full = {'a', 'b', 'c', 'd', 'e', 'f', 'g'};
    EXPECT_EQ(formats::fieldText(withNul), "km");
    EXPECT_EQ(formats::fieldText(full), "abcdefg");
}

} // namespace
