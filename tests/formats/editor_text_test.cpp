#include "formats/editor_text.h"

#include "counting_beeper.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorText, TrimRemovesBlanksAndControlCharactersAtBothEnds) {
    EXPECT_EQ(formats::trimEditorText("  alt \t"), "alt");
    EXPECT_EQ(formats::trimEditorText("\x01\x7F"
                                      "a b\r\n"),
              "a b");
    EXPECT_EQ(formats::trimEditorText(" \t "), "");
    EXPECT_EQ(formats::trimEditorText(" км/ч "), "км/ч"); // Cyrillic bytes are not blanks
}

TEST(EditorText, LengthsCountCharactersNotBytes) {
    EXPECT_EQ(formats::characterCount("км/ч"), 4u);
    EXPECT_EQ(formats::characterCount("град"), 4u);
    EXPECT_EQ(formats::characterCount("abc"), 3u);
    EXPECT_EQ(formats::characterCount(""), 0u);
}

TEST(EditorText, ConversionRefusesWhatCp1251CannotHold) {
    EXPECT_EQ(formats::toCp1251Exactly("км/ч"), "\xEA\xEC/\xF7");
    EXPECT_EQ(formats::toCp1251Exactly("a?b"), "a?b");              // a typed '?' is kept
    EXPECT_EQ(formats::toCp1251Exactly("m\xC2\xB2"), std::nullopt); // superscript two
    EXPECT_EQ(formats::toCp1251Exactly("\xE4\xB8\xAD"), std::nullopt);
    EXPECT_EQ(formats::toCp1251Exactly("\xC3"), std::nullopt); // broken UTF-8
    // Overlong forms of '=', 'A' and 'Ж' are malformed, not other spellings of them
    // (found by fuzzing the format editor).
    EXPECT_EQ(formats::toCp1251Exactly("\xC0\xBD"
                                       "8"),
              std::nullopt);
    EXPECT_EQ(formats::toCp1251Exactly("\xE0\x81\x81"), std::nullopt);
    EXPECT_EQ(formats::toCp1251Exactly("\xF0\x80\x90\x96"), std::nullopt);
    EXPECT_EQ(formats::toCp1251Exactly("\xD0\x96"), "\xC6");
}

TEST(EditorText, StoredFieldIsTerminatedAndZeroFilled) {
    std::array<char, 7> units;
    units.fill('x');
    formats::storeFieldText(units, "km");
    EXPECT_EQ(units, (std::array<char, 7>{'k', 'm', 0, 0, 0, 0, 0}));
}

} // namespace
