#include "board/control_codes.h"
#include "board/simulated/config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using board::simulated::InputSourceKind;

TEST(SimConfig, EmptyTextGivesTheDefaults) {
    const auto result = board::simulated::parseSimulatorConfig("  # nothing but a comment\n\n");
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.config.boards.size(), 2u);
    EXPECT_EQ(result.config.boards[0].serial, 1021);
    EXPECT_EQ(result.config.boards[1].serial, 1187);
    EXPECT_EQ(result.config.indicesFailingToOpen, std::vector<unsigned>{1});
}

TEST(SimConfig, FullFileIsReadAsWritten) {
    const char* text = "# two boards\n"
                       "board 3 serial 4242 inputs 8 outputs 4\r\n"
                       "board 5 serial 7 inputs 2 outputs 2   # small one\n"
                       "fail-open 4\n"
                       "wire 3 output 2 input 7\n"
                       "traffic 3 input 1 rate 2\n"
                       "traffic 3 input 2\n"
                       "idle 5 input 2\n"
                       "fail 3 IOCTL_SI_READ channel 7\n"
                       "fail\t5 * one-in 20 seed 99\n";
    const auto result = board::simulated::parseSimulatorConfig(text);
    ASSERT_TRUE(result.ok()) << "line " << result.errorLine << ": " << result.error;
    const auto& config = result.config;

    ASSERT_EQ(config.boards.size(), 2u);
    const auto& big = config.boards[0];
    EXPECT_EQ(big.interfaceIndex, 3u);
    EXPECT_EQ(big.serial, 4242);
    EXPECT_EQ(big.inputs, 8);
    EXPECT_EQ(big.outputs, 4);
    EXPECT_EQ(big.sources[6].kind, InputSourceKind::Output);
    EXPECT_EQ(big.sources[6].outputChannel, 2);
    EXPECT_EQ(big.sources[0].kind, InputSourceKind::Traffic);
    EXPECT_EQ(big.sources[0].rateCode, 2);
    EXPECT_EQ(big.sources[1].rateCode, 0);
    EXPECT_EQ(big.sources[2].kind, InputSourceKind::Automatic);
    EXPECT_EQ(config.boards[1].sources[1].kind, InputSourceKind::Idle);

    EXPECT_EQ(config.indicesFailingToOpen, std::vector<unsigned>{4})
        << "the default index 1 is gone";

    ASSERT_EQ(config.failingRequests.size(), 2u);
    EXPECT_EQ(config.failingRequests[0].interfaceIndex, 3u);
    EXPECT_EQ(config.failingRequests[0].controlCode, board::IOCTL_SI_READ);
    EXPECT_EQ(config.failingRequests[0].channelNo, 7);
    EXPECT_EQ(config.failingRequests[0].oneIn, 1u);
    EXPECT_EQ(config.failingRequests[1].controlCode, 0u);
    EXPECT_EQ(config.failingRequests[1].oneIn, 20u);
    EXPECT_EQ(config.failingRequests[1].seed, 99u);
}

TEST(SimConfig, AutomaticWiringFollowsTheChannelNumbers) {
    const auto result =
        board::simulated::parseSimulatorConfig("board 0 serial 1 inputs 8 outputs 4\n");
    ASSERT_TRUE(result.ok());
    const auto& boardSetup = result.config.boards[0];
    EXPECT_EQ(board::simulated::resolvedSource(boardSetup, 4).kind, InputSourceKind::Output);
    EXPECT_EQ(board::simulated::resolvedSource(boardSetup, 4).outputChannel, 4);
    EXPECT_EQ(board::simulated::resolvedSource(boardSetup, 5).kind, InputSourceKind::Traffic);
}

TEST(SimConfig, LinesWithoutBoardsApplyToTheDefaultBoards) {
    const auto result =
        board::simulated::parseSimulatorConfig("idle 0 input 5\nfail 2 IOCTL_SI_GET_STATE\n");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.config.boards.size(), 2u);
    EXPECT_EQ(result.config.boards[0].sources[4].kind, InputSourceKind::Idle);
    EXPECT_EQ(result.config.failingRequests.size(), 1u);
}

TEST(SimConfig, MalformedLinesAreRefusedWithTheirNumber) {
    struct Case {
        const char* text;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {"wir 0 output 1 input 1", 1, "unknown statement \"wir\""},
        {"\n\nboard 0 serial 1 inputs 8", 3, "missing \"outputs\""},
        {"board 0 serial 1 inputs 9 outputs 8", 1, "not in 0..8"},
        {"board 16 serial 1 inputs 8 outputs 8", 1, "not in 0..15"},
        {"board 0 serial 65536 inputs 8 outputs 8", 1, "not in 0..65535"},
        {"board 0 serial x1 inputs 8 outputs 8", 1, "is not a number"},
        {"board 0 serial 1 inputs 8 outputs 8 extra", 1, "unexpected \"extra\""},
        {"board 0 serial 1 inputs 8 outputs 8\nboard 0 serial 2 inputs 4 outputs 4", 2,
         "a second board"},
        {"fail-open 3\nboard 0 serial 1 inputs 8 outputs 8", 2, "must come before"},
        {"wire 7 output 1 input 1", 1, "no board at interface index 7"},
        {"wire 2 output 5 input 1", 1, "output channel \"5\" is not in 1..4"},
        {"traffic 0 input 9", 1, "input channel \"9\" is not in 1..8"},
        {"traffic 0 input 5 rate 3", 1, "rate code \"3\" is not in 0..2"},
        {"traffic 0 input 5 speed 2", 1, "expected \"rate\""},
        {"fail 0 IOCTL_SI_REED", 1, "unknown request \"IOCTL_SI_REED\""},
        {"fail 0 * one-in 0", 1, "not in 1.."},
        {"fail 0 * channel 2 channel 3", 1, "\"channel\" given twice"},
        {"fail 0 * sometimes", 1, "unknown option \"sometimes\""},
        {"fail 0", 1, "missing request name"},
        {"too-often 0 input 5 label 277", 1, "label \"277\" is not one of the built-in"},
        {"out-of-range 0 input 5 label 20", 1, "label \"20\" is not one of the built-in"},
        {"ssm 0 input 5 label 325 4", 1, "SSM \"4\" is not in 0..3"},
        {"ssm 0 input 5 325 1", 1, "expected \"label\""},
        {"table 0 input 5 every 2 words 1", 1, "faster than the bus carries at rate 0"},
        {"table 0 input 5 rate 2 every 1 words 0x1g", 1, "\"0x1g\" is not 1 to 8 hexadecimal"},
        {"table 0 input 5 every 10", 1, "missing \"words\""},
        {"table 0 input 5 often 10 words 1", 1, "expected \"rate\" or \"every\""},
        {"table 0 input 5 every 10 words 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17", 1,
         "more than 16 words"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto result = board::simulated::parseSimulatorConfig(c.text);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.errorLine, c.line);
        EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
        EXPECT_EQ(result.config.boards.size(), 2u) << "a refused file leaves the defaults";
    }
}

TEST(SimConfig, TrafficFaultsGoToTheirInput) {
    const auto result = board::simulated::parseSimulatorConfig(
        "too-often 0 input 5 label 310\nout-of-range 0 input 5 label 206\n"
        "ssm 2 input 3 label 325 1\n");
    ASSERT_TRUE(result.ok()) << result.error;
    const board::simulated::TrafficFaults& five = result.config.boards[0].trafficFaults[4];
    EXPECT_EQ(five.tooOftenLabel, 0310);
    EXPECT_EQ(five.outOfRangeLabel, 0206);
    EXPECT_FALSE(five.ssmLabel);
    const board::simulated::TrafficFaults& three = result.config.boards[1].trafficFaults[2];
    EXPECT_EQ(three.ssmLabel, 0325);
    EXPECT_EQ(three.ssm, 1);
}

TEST(SimConfig, AConstantTableGoesToItsInput) {
    const auto result = board::simulated::parseSimulatorConfig(
        "table 2 input 3 rate 1 every 15 words 0x6000a083 b9\n");
    ASSERT_TRUE(result.ok()) << result.error;
    const board::simulated::SimulatedBoardSpec& board = result.config.boards[1];
    EXPECT_EQ(board.sources[2].kind, board::simulated::InputSourceKind::Table);
    EXPECT_EQ(board.sources[2].rateCode, 1);
    EXPECT_EQ(board.tables[2].count, 2u);
    EXPECT_EQ(board.tables[2].spacing, 15'000'000);
    EXPECT_EQ(board.tables[2].words[0], 0x6000A083u);
    EXPECT_EQ(board.tables[2].words[1], 0xB9u);
}

TEST(SimConfig, FailRulesBeyondWhatABoardHoldsAreRefused) {
    std::string text;
    for (std::size_t i = 0; i <= board::simulated::kMaxFaultRules; ++i)
        text += "fail 0 IOCTL_SI_READ\n";
    const auto result = board::simulated::parseSimulatorConfig(text);
    EXPECT_EQ(result.errorLine, static_cast<int>(board::simulated::kMaxFaultRules) + 1);
    EXPECT_NE(result.error.find("more than 64 fail rules"), std::string::npos) << result.error;
}

TEST(SimConfig, MissingFileIsReportedWithoutALine) {
    const auto result = board::simulated::loadSimulatorConfig("/nonexistent/zelva1-sim.conf");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.errorLine, 0);
}

TEST(SimConfig, FileIsReadFromDisk) {
    const std::string path = ::testing::TempDir() + "sim_config_test.conf";
    std::ofstream(path) << "board 1 serial 55 inputs 2 outputs 2\n";
    const auto result = board::simulated::loadSimulatorConfig(path);
    std::remove(path.c_str());
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.config.boards.size(), 1u);
    EXPECT_EQ(result.config.boards[0].serial, 55);
}

} // namespace
