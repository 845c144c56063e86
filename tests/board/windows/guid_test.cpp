#include "board/windows/guid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using board::windows::InterfaceClassGuid;
using board::windows::parseInterfaceClassGuid;

// The build setting is read at compile time.
static_assert(parseInterfaceClassGuid("{00000000-0000-0000-0000-000000000001}")->data4[7] == 1);

TEST(WinGuid, ReadsEachFieldInItsOrder) {
    struct Case {
        const char* text;
        InterfaceClassGuid guid;
    };
    const std::vector<Case> cases = {
        {"{4D36E978-E325-11CE-BFC1-08002BE10318}",
         {0x4D36E978u, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}}},
        {"{6f0e1a2b-3c4d-4e5f-8091-a2b3c4d5e6f7}",
         {0x6F0E1A2Bu, 0x3C4D, 0x4E5F, {0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7}}},
        {"FFFFFFFF-0000-ffff-0102-030405060708",
         {0xFFFFFFFFu, 0x0000, 0xFFFF, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = parseInterfaceClassGuid(c.text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, c.guid);
    }
}

TEST(WinGuid, RefusesAnythingElse) {
    const std::vector<std::string> refused = {
        "",
        "{}",
        "{4D36E978-E325-11CE-BFC1-08002BE10318", // unbalanced brace
        "4D36E978-E325-11CE-BFC1-08002BE10318}",
        "(4D36E978-E325-11CE-BFC1-08002BE10318)",
        "{4D36E978-E325-11CE-BFC108002BE10318-}", // dash moved
        "{4D36E978E325-11CE-BFC1-08002BE10318-}",
        "{4D36E97G-E325-11CE-BFC1-08002BE10318}",  // not a hex digit
        "{+D36E978-E325-11CE-BFC1-08002BE10318}",  // sign
        "{ D36E978-E325-11CE-BFC1-08002BE10318}",  // blank
        "{0x36E978-E325-11CE-BFC1-08002BE10318}",  // prefix
        "{4D36E978-E325-11CE-BFC1-08002BE1031}",   // one digit short
        "{4D36E978-E325-11CE-BFC1-08002BE103180}", // one digit over
        "4D36E978-E325-11CE-BFC1-08002BE10318 ",
    };
    for (const std::string& text : refused)
        EXPECT_FALSE(parseInterfaceClassGuid(text).has_value()) << text;
}

} // namespace
