#include "tools/example_tables.h"

#include "board/simulated/arinc.h"
#include "board/simulated/traffic.h"
#include "formats/assignment_file.h"
#include "formats/assignment_table.h"
#include "formats/format_state_file.h"
#include "formats/format_table.h"
#include "formats/grid_rows.h"
#include "reception/decimal_decode.h"
#include "reception/format_lookup.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

namespace {

const std::filesystem::path kShipped = ZELVA_EXAMPLES_DIR;

using testing_support::readBytes;

class ExampleFiles : public testing_support::TempFolderTest {};

TEST_F(ExampleFiles, RegeneratedFilesEqualTheShippedOnes) {
    ASSERT_FALSE(tools::writeExampleFiles(dir));
    for (const std::filesystem::path& name :
         {std::filesystem::path(formats::kFormatStateFileName),
          std::filesystem::path(tools::kExampleAssignmentFileName)}) {
        SCOPED_TRACE(name.string());
        const std::string shipped = readBytes(kShipped / name);
        ASSERT_FALSE(shipped.empty()) << "missing from " << kShipped;
        EXPECT_EQ(readBytes(dir / name), shipped)
            << "regenerate with: make_examples " << kShipped.string();
    }
}

// The shipped files as the monitor reads them on its first run.
class ShippedExamples : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(formats::loadFormatState(formatTable, assignmentTable,
                                           kShipped / formats::kFormatStateFileName),
                  0u);
        ASSERT_TRUE(formats::loadAssignmentFile(assignmentTable,
                                                kShipped / tools::kExampleAssignmentFileName)
                        .opened);
    }

    [[nodiscard]] reception::ChannelFormatLookup lookupFor(std::uint16_t channel) const {
        reception::ChannelFormatLookup lookup;
        reception::rebuildChannelFormatLookup(lookup, channel, formatTable, assignmentTable);
        return lookup;
    }

    formats::DecimalFormatTable formatTable;
    formats::AssignmentTable assignmentTable;
};

TEST_F(ShippedExamples, EveryRecordIsCompleteSoClosingTheWindowsKeepsThem) {
    EXPECT_EQ(formatTable.formatCount, 9);
    EXPECT_EQ(assignmentTable.assignmentCount, 36);
    const int formatRows = formats::gridRowsFor(formatTable.formatCount);
    EXPECT_EQ(formats::compactFormats(formatTable, formatRows), formatRows);
    const int assignmentRows = formats::gridRowsFor(assignmentTable.assignmentCount);
    EXPECT_EQ(formats::compactAssignments(assignmentTable, assignmentRows), assignmentRows);
    for (int slot = 0; slot < assignmentTable.assignmentCount; ++slot)
        EXPECT_FALSE(formats::labelNamesNoFormat(formatTable, assignmentTable.slots[slot]))
            << "row " << slot + 1;
}

TEST_F(ShippedExamples, KnownWordsDecodeToTheirValues) {
    struct Case {
        std::uint8_t label;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0203, 10000.0, " +10000.000000  фут    "},  {0203, -350.0, " -350.000000  фут    "},
        {0212, -1504.0, " -1504.000000 фт/мин    "}, {0206, 250.5, " +250.500000  узл    "},
        {0210, 290.0625, " +290.062500  узл    "},   {0320, 90.0, " +90.000000 град    "},
        {0324, 2.8125, " +2.812500 град    "},       {0325, -11.25, " -11.250000 град    "},
        {0310, 45.0, " +45.000000 град    "},        {0311, -0.703125, " -0.703125 град    "},
    };
    const std::map<std::uint8_t, board::simulated::TrafficParameter> parameters = [] {
        std::map<std::uint8_t, board::simulated::TrafficParameter> byLabel;
        for (const board::simulated::TrafficParameter& p : board::simulated::trafficParameters())
            byLabel[p.label] = p;
        return byLabel;
    }();
    for (const std::uint16_t channel : tools::kTrafficInputs) {
        const reception::ChannelFormatLookup lookup = lookupFor(channel);
        for (const Case& c : cases) {
            const board::simulated::TrafficParameter& p = parameters.at(c.label);
            const std::uint32_t word =
                board::simulated::encodeBnr(c.label, c.value, p.range, p.significantBits);
            EXPECT_EQ(reception::decodeDecimal(word, lookup), c.text)
                << "channel " << channel << " label " << std::oct << int(c.label);
        }
    }
}

TEST_F(ShippedExamples, LoopedBackInputsHaveNoFormats) {
    const std::uint32_t altitude = board::simulated::encodeBnr(0203, 10000.0, 131072.0, 17);
    for (std::uint16_t channel = 1; channel <= 4; ++channel)
        EXPECT_EQ(reception::decodeDecimal(altitude, lookupFor(channel)), " ") << channel;
}

// What an engineer expects to read for each label of the stream, independent of the tables.
const std::map<std::uint8_t, std::string> kUnits = {
    {0203, "фут"},  {0212, "фт/мин"}, {0206, "узл"},  {0210, "узл"},  {0320, "град"},
    {0324, "град"}, {0325, "град"},   {0310, "град"}, {0311, "град"},
};

struct Decoded {
    double value;
    std::string units;
};

// " %c%f %4s    ": blank, sign, number, blank, right-aligned units, four blanks.
Decoded parseDecimalText(const std::string& text) {
    if (text.size() < 3 || text[0] != ' ' || (text[1] != '+' && text[1] != '-'))
        return {NAN, text};
    char* end = nullptr;
    const double magnitude = std::strtod(text.c_str() + 2, &end);
    std::string units(end);
    units.erase(0, units.find_first_not_of(' '));
    units.erase(units.find_last_not_of(' ') + 1);
    return {text[1] == '-' ? -magnitude : magnitude, units};
}

TEST_F(ShippedExamples, BuiltInStreamDecodesWithinItsRangeOnEveryTrafficInput) {
    for (const std::uint16_t channel : tools::kTrafficInputs) {
        const reception::ChannelFormatLookup lookup = lookupFor(channel);
        // The board gives input n the stream with source number n.
        const board::simulated::SimTraffic traffic(0, channel);
        std::map<std::uint8_t, std::pair<double, double>> seen; // lowest, highest
        // Ten minutes, every third frame: a whole period of the slowest parameter.
        const std::uint64_t frame = traffic.wordsPerFrame();
        for (std::uint64_t f = 0; f < 1000; f += 3) {
            for (std::uint64_t k = f * frame; k < (f + 1) * frame; ++k) {
                const std::uint32_t word = traffic.wordAt(k);
                const std::uint8_t label = word & 0xFFu;
                const Decoded decoded = parseDecimalText(reception::decodeDecimal(word, lookup));
                ASSERT_EQ(decoded.units, kUnits.at(label))
                    << "channel " << channel << " label " << std::oct << int(label);
                auto [entry, fresh] = seen.try_emplace(label, decoded.value, decoded.value);
                entry->second.first = std::min(entry->second.first, decoded.value);
                entry->second.second = std::max(entry->second.second, decoded.value);
            }
        }
        for (const board::simulated::TrafficParameter& p : board::simulated::trafficParameters()) {
            SCOPED_TRACE(testing::Message()
                         << "channel " << channel << " label " << std::oct << int(p.label));
            ASSERT_TRUE(seen.contains(p.label));
            const auto [lowest, highest] = seen.at(p.label);
            const double step = p.range / std::ldexp(1.0, p.significantBits) + 1e-4;
            EXPECT_GE(lowest, p.center - p.amplitude - step);
            EXPECT_LE(highest, p.center + p.amplitude + step);
            // The values swing through most of the sine, so sign and scale are both exercised.
            EXPECT_LT(lowest, p.center - 0.9 * p.amplitude);
            EXPECT_GT(highest, p.center + 0.9 * p.amplitude);
        }
    }
}

} // namespace
