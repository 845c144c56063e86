#include "labels/label_database_file.h"
#include "labels/standard_decoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::string_view kHeader =
    "label,sdi,channel,name,units,encoding,bits,resolution,min,max,min_interval_ms,"
    "max_interval_ms,discretes\r\n";

labels::LabelDatabaseLoad parse(const std::string& rows) {
    return labels::parseLabelDatabase(std::string(kHeader) + rows);
}

TEST(LabelDatabaseFile, ReadsEveryColumnOfEachEncoding) {
    const labels::LabelDatabaseLoad load =
        parse("203,,,\"Высота, барометрическая\",ft,BNR,17,1,-1000,50000,50,70,\r\n"
              "012,2,5,Путевая скорость,kt,BCD,4,0.1,0,7999,,200,\r\n"
              "270,,,Насосы,,DISC,,,,,100,,\"11:насос 1; 12:насос 2\"\r\n"
              "\r\n");
    ASSERT_TRUE(load.ok()) << load.error.line << load.error.column << load.error.why;
    const std::vector<labels::LabelDefinition>& rows = load.database->rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].label, 0203);
    EXPECT_EQ(rows[0].name, "Высота, барометрическая");
    EXPECT_FALSE(rows[0].sdi);
    EXPECT_EQ(rows[0].significantBits, 17);
    EXPECT_EQ(*rows[0].least, -1000.0);
    EXPECT_EQ(*rows[0].greatestIntervalMs, 70.0);
    EXPECT_EQ(*rows[1].sdi, 2);
    EXPECT_EQ(*rows[1].channelNo, 5);
    EXPECT_EQ(rows[1].encoding, labels::LabelEncoding::Bcd);
    EXPECT_FALSE(rows[1].leastIntervalMs);
    ASSERT_EQ(rows[2].discretes.size(), 2u);
    EXPECT_EQ(rows[2].discretes[1].bit, 12);
    EXPECT_EQ(rows[2].discretes[1].name, "насос 2");
    EXPECT_EQ(rows[2].line, 4);

    // Columns in another order, some left out, LF line ends.
    const labels::LabelDatabaseLoad short_ =
        labels::parseLabelDatabase("encoding,name,label,bits,resolution\nBNR,X,001,10,0.5\n");
    ASSERT_TRUE(short_.ok());
    EXPECT_EQ(short_.database->rows()[0].resolution, 0.5);
}

TEST(LabelDatabaseFile, AnErrorNamesTheLineTheColumnAndWhy) {
    struct Case {
        std::string rows;
        int line;
        std::string column;
        std::string why;
    };
    const std::vector<Case> cases = {
        {"400,,,A,,BNR,10,1,,,,,\r\n", 2, "label", "не три восьмеричные цифры 000..377"},
        {"27,,,A,,BNR,10,1,,,,,\r\n", 2, "label", "не три восьмеричные цифры 000..377"},
        {"001,,,A,,BNR,10,1,,,,,\r\n001,4,,B,,BNR,10,1,,,,,\r\n", 3, "sdi", "не число 0..3"},
        {"001,,9,A,,BNR,10,1,,,,,\r\n", 2, "channel", "не номер канала 1..8"},
        {"001,,,,,BNR,10,1,,,,,\r\n", 2, "name", "пусто"},
        {"001,,,A,,BIN,10,1,,,,,\r\n", 2, "encoding", "не BNR, BCD или DISC"},
        {"001,1,,A,,BNR,19,1,,,,,\r\n", 2, "bits", "не число 1..18 (биты 9-10 заняты SDI)"},
        {"001,,,A,,BNR,10,0,,,,,\r\n", 2, "resolution",
         "для BNR нужна цена младшего бита больше нуля"},
        {"001,,,A,,BCD,6,1,,,,,\r\n", 2, "bits", "не число цифр 1..5"},
        {"001,,,A,,BCD,3,0.5,,,,,\r\n", 2, "resolution",
         "для BCD нужна цена младшей цифры, степень десяти (0.1, 1, 10...)"},
        {"001,,,A,,BNR,10,1,5,4,,,\r\n", 2, "max", "меньше min"},
        {"001,,,A,,BNR,10,1,x,,,,\r\n", 2, "min", "не число"},
        {"001,,,A,,BNR,10,1,,,0,,\r\n", 2, "min_interval_ms", "интервал не больше нуля"},
        {"001,,,A,,BNR,10,1,,,50,40,\r\n", 2, "max_interval_ms", "меньше min_interval_ms"},
        {"001,,,A,,DISC,,,,,,,12:a;12:b\r\n", 2, "discretes", "бит 12 назван дважды"},
        {"001,2,,A,,DISC,,,,,,,10:a\r\n", 2, "discretes",
         "не список «бит:имя» через «;» с битами 11..29"},
        {"001,,,A,,DISC,,,,,,,\r\n", 2, "discretes", "для DISC нужны имена битов"},
        {"001,,,A,,BNR,10,1,,,,,9:a\r\n", 2, "discretes", "имена битов только у DISC"},
        {"001,,,A,,BNR,10,1,,,\r\n", 2, "", "полей 11, а в заголовке 13"},
        {"001,,,\"A\"x,,BNR,10,1,,,,,\r\n", 2, "name", "текст после закрывающей кавычки"},
        {"001,,,A\"x,,BNR,10,1,,,,,\r\n", 2, "name", "кавычка внутри поля без кавычек"},
        {"001,,,\"A\r\n\r\n", 2, "name", "кавычка не закрыта до конца файла"},
        {"001,,,A,,BNR,10,1,,,,,\r\n002,,,\"B\r\nC\",,BNR,10,1,,,,,\r\n001,,,D,,BNR,10,1,,,,,\r\n",
         5, "label", "та же метка, SDI и канал, что в строке 2"},
        {"001,,,\xC0\xAF,,BNR,10,1,,,,,\r\n", 2, "", "текст не в UTF-8"},
    };
    for (const Case& c : cases) {
        const labels::LabelDatabaseLoad load = parse(c.rows);
        ASSERT_FALSE(load.ok()) << c.rows;
        EXPECT_EQ(load.error.line, c.line) << c.rows;
        EXPECT_EQ(load.error.column, c.column) << c.rows;
        EXPECT_EQ(load.error.why, c.why) << c.rows;
    }
    EXPECT_EQ(labels::parseLabelDatabase("").error.why, "нет строки заголовка");
    EXPECT_EQ(labels::parseLabelDatabase("label,name,colour\n").error.column, "colour");
    EXPECT_EQ(labels::parseLabelDatabase("label,name\n").error.column, "encoding");
    EXPECT_EQ(labels::labelDatabaseErrorMessage("icd.csv", parse("27,,,A,,BNR,10,1,,,,,\n").error),
              "Файл базы меток «icd.csv» не загружен: строка 2, столбец «label», не три "
              "восьмеричные цифры 000..377; база меток, что в работе, не меняется.");
}

TEST(LabelDatabase, NoRowReadsBitsNineAndTenAsDataBesideARowNamingAnSdi) {
    const char* header = "label,sdi,channel,name,encoding,bits,resolution,discretes\n";
    const auto load = [&](const std::string& rows) {
        return labels::parseLabelDatabase(header + rows);
    };
    const labels::LabelDatabaseLoad wide = load("203,,,Wide,BNR,20,1,\n203,2,,Narrow,BNR,18,1,\n");
    EXPECT_EQ(wide.error.line, 3);
    EXPECT_EQ(wide.error.column, "sdi");
    const labels::LabelDatabaseLoad later = load("203,2,,Narrow,BNR,18,1,\n203,,,Wide,BNR,19,1,\n");
    EXPECT_EQ(later.error.line, 3);
    EXPECT_EQ(later.error.column, "bits");
    EXPECT_EQ(later.error.why, "биты 9-10 заняты SDI этой метки в строке 2: не больше 18 битов");
    EXPECT_EQ(load("203,2,,Narrow,BNR,18,1,\n203,,,Switches,DISC,,,9:a\n").error.column,
              "discretes");
    // Rows that never meet on a channel may differ.
    EXPECT_TRUE(load("203,,1,Wide,BNR,20,1,\n203,2,2,Narrow,BNR,18,1,\n").ok());
    EXPECT_TRUE(load("203,,,Wide,BNR,18,1,\n203,2,,Narrow,BNR,18,1,\n").ok());
}

TEST(LabelDatabase, TabsPlusSignsAndEveryLineEnd) {
    const labels::LabelDatabaseLoad load = labels::parseLabelDatabase(
        "label,name,encoding,bits,resolution,min,max\r\"\t203\",A,BNR,10,1,+5,+1e3\r"
        "204,B,BNR,10,1,-5,\t10\t\r");
    ASSERT_TRUE(load.ok()) << load.error.line << " " << load.error.why;
    ASSERT_EQ(load.database->rows().size(), 2u);
    EXPECT_EQ(load.database->rows()[0].label, 0203);
    EXPECT_EQ(*load.database->rows()[0].least, 5.0);
    EXPECT_EQ(*load.database->rows()[0].greatest, 1000.0);
    EXPECT_EQ(load.database->rows()[1].line, 3);
    EXPECT_EQ(*load.database->rows()[1].greatest, 10.0);
    EXPECT_FALSE(labels::parseLabelDatabase("label,name,encoding,bits,resolution,min\n"
                                            "203,A,BNR,10,1,+-5\n")
                     .ok());
}

TEST(LabelDatabase, LabelsWhoseWordsMayLookLikeAnEmptyCell) {
    const labels::LabelDatabaseLoad load = labels::parseLabelDatabase(
        "label,sdi,name,encoding,bits,resolution,discretes\n"
        "203,,Altitude,BNR,17,1,\n"      // SSM 11 in every normal word
        "271,,Pumps,DISC,,,29:pump\n"    // all clear: 0x000000B9
        "270,0,Valves,DISC,,,29:valve\n" // 270 has an even count of ones, SDI 0: parity bit set
        "273,,Speed,BCD,3,1,\n");        // zero with the plus sign, the SDI free for parity
    ASSERT_TRUE(load.ok()) << load.error.why;
    const auto& rows = load.database->rows();
    EXPECT_FALSE(labels::canLookEmpty(rows[0]));
    EXPECT_TRUE(labels::canLookEmpty(rows[1]));
    EXPECT_FALSE(labels::canLookEmpty(rows[2]));
    EXPECT_TRUE(labels::canLookEmpty(rows[3]));
    EXPECT_TRUE(labels::unseenLabelsNotice(*load.database).starts_with("Метки 271, 273 могут"));
}

TEST(LabelDatabase, AWordTakesTheMostSpecificRow) {
    const labels::LabelDatabaseLoad load = parse("100,,,any,,BNR,10,1,,,,,\r\n"
                                                 "100,1,,sdi 1,,BNR,10,1,,,,,\r\n"
                                                 "100,,3,channel 3,,BNR,10,1,,,,,\r\n"
                                                 "100,2,3,channel 3 sdi 2,,BNR,10,1,,,,,\r\n"
                                                 "101,,2,only on 2,,BNR,10,1,,,,,\r\n");
    ASSERT_TRUE(load.ok());
    const labels::LabelDatabase& database = *load.database;
    const auto nameOf = [&](unsigned channelIndex, std::uint32_t word) {
        const labels::LabelDefinition* row = database.find(channelIndex, word);
        return row == nullptr ? std::string("-") : row->name;
    };
    EXPECT_EQ(nameOf(0, 0100), "any");
    EXPECT_EQ(nameOf(0, 0100 | 1u << 8), "sdi 1");
    EXPECT_EQ(nameOf(2, 0100 | 1u << 8), "channel 3");
    EXPECT_EQ(nameOf(2, 0100 | 2u << 8), "channel 3 sdi 2");
    EXPECT_EQ(nameOf(0, 0101), "-");
    EXPECT_EQ(nameOf(1, 0101 | 3u << 8), "only on 2");
    EXPECT_TRUE(database.keyedBySdi(0, 0100));
    EXPECT_FALSE(database.keyedBySdi(1, 0101));
    EXPECT_EQ(database.keyOf(1, 0101 | 3u << 8).sdi, -1);
    // Words are keyed by the row that decodes them: SDI 3 goes with the any-SDI row.
    EXPECT_EQ(database.keyOf(0, 0100 | 3u << 8).sdi, -1);
    EXPECT_EQ(database.keyOf(0, 0100 | 1u << 8).sdi, 1);
    EXPECT_EQ(database.find(database.keyOf(0, 0100 | 3u << 8))->name, "any");
    // Expected on channel 1: label 100 by its named SDI and by the any-SDI row for the rest.
    ASSERT_EQ(database.expectedOn(0).size(), 2u);
    EXPECT_EQ(database.expectedOn(0)[0].sdi, -1);
    EXPECT_EQ(database.expectedOn(0)[1].sdi, 1);
    EXPECT_EQ(database.expectedOn(1).size(), 3u); // 100 any, 100 sdi 1 and 101
    // On channel 3 its own any-SDI row decodes every SDI but 2.
    ASSERT_EQ(database.expectedOn(2).size(), 2u);
    EXPECT_EQ(database.find(database.expectedOn(2)[0])->name, "channel 3");
    EXPECT_EQ(database.find(database.expectedOn(2)[1])->name, "channel 3 sdi 2");
}

} // namespace
