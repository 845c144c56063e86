#include "board/config_word.h"
#include "board/control_codes.h"
#include "board/records.h"
#include "board/requests.h"

#include "scripted_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

template <typename Record>
std::vector<unsigned> bytesOfRecord(const Record& record) {
    std::vector<unsigned> bytes;
    for (std::byte b : board::bytesOf(record))
        bytes.push_back(std::to_integer<unsigned>(b));
    return bytes;
}

TEST(DriverRecords, SmallRecordsAreLittleEndianAndPackedOnTwoBytes) {
    EXPECT_EQ(bytesOfRecord(board::SIStartRecord{3, 1, 0xFFFF, 0xFFFF}),
              (std::vector<unsigned>{3, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytesOfRecord(board::SIReadRequest{8, 1, 0x1FE}),
              (std::vector<unsigned>{8, 0, 1, 0, 0xFE, 0x01}));
    EXPECT_EQ(bytesOfRecord(board::SOWordUpdate{2, 5, 0xFEFF0100}),
              (std::vector<unsigned>{2, 0, 5, 0, 0x00, 0x01, 0xFF, 0xFE}));
    EXPECT_EQ(bytesOfRecord(board::SOStartSingleRecord{7, 1}), (std::vector<unsigned>{7, 0, 1, 0}));
}

TEST(DriverRecords, ReadReplyWordStartsAtOffsetTwo) {
    const unsigned char raw[6] = {0xAA, 0xBB, 0x78, 0x56, 0x34, 0x12};
    board::SIReadReply reply;
    std::memcpy(&reply, raw, sizeof raw);
    const std::uint32_t word = reply.word; // a packed field is read by value, never bound
    EXPECT_EQ(word, 0x12345678u);
}

TEST(DriverRecords, OutputRecordCarriesHeaderThenAllWords) {
    board::SOrecord record{};
    record.channelNo = 1;
    record.param1 = 10;
    record.param2 = 10;
    record.param3 = 0;
    record.SOwords[0] = 0xFEFF0100;
    record.SOwords[255] = 0x11223344;
    const auto bytes = bytesOfRecord(record);
    ASSERT_EQ(bytes.size(), 1032u);
    EXPECT_EQ((std::vector<unsigned>(bytes.begin(), bytes.begin() + 12)),
              (std::vector<unsigned>{1, 0, 10, 0, 10, 0, 0, 0, 0x00, 0x01, 0xFF, 0xFE}));
    EXPECT_EQ((std::vector<unsigned>(bytes.end() - 4, bytes.end())),
              (std::vector<unsigned>{0x44, 0x33, 0x22, 0x11}));
}

TEST(DriverRecords, FreqCodesAreInputsThenOutputs) {
    board::FreqCodes codes{};
    codes.SIfreq[0] = 2;
    codes.SOfreq[7] = 1;
    const auto bytes = bytesOfRecord(codes);
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(bytes[0], 2u);
    EXPECT_EQ(bytes[15], 1u);
}

TEST(ConfigWord, DecodesInputAndOutputCounts) {
    EXPECT_EQ(board::decodeConfigWord(0x0840).inputs, 8);
    EXPECT_EQ(board::decodeConfigWord(0x0840).outputs, 4);
    EXPECT_EQ(board::decodeConfigWord(0x0220).inputs, 2);
    EXPECT_EQ(board::decodeConfigWord(0x0220).outputs, 2);
    EXPECT_EQ(board::decodeConfigWord(0x0000).inputs, 0);
    EXPECT_EQ(board::decodeConfigWord(0x0000).outputs, 0);
    // Bits 0-3 and 12-15 are not channel counts.
    EXPECT_EQ(board::decodeConfigWord(0xF84F).inputs, 8);
    EXPECT_EQ(board::decodeConfigWord(0xF84F).outputs, 4);
}

TEST(ControlCodes, EveryRequestHasItsName) {
    EXPECT_EQ(board::controlCodeName(0x800020ECu), "IOCTL_SI_READ");
    EXPECT_EQ(board::controlCodeName(0x800020D0u), "IOCTL_GET_SERIAL_NUMBER");
    EXPECT_TRUE(board::controlCodeName(0x80002000u).empty());
}

TEST(RequestHelper, FailedRequestReadsAsZeros) {
    testing_support::ScriptedDriver driver;
    driver.fail(board::IOCTL_SI_READ);
    board::SIReadReply reply;
    std::memset(&reply, 0xA5, sizeof reply);
    board::sendRequest(driver, 1, board::IOCTL_SI_READ, board::SIReadRequest{1, 1, 0}, reply);
    const std::uint32_t word = reply.word;
    EXPECT_EQ(word, 0u);
    EXPECT_EQ(reply.unused, 0u);

    board::StateReply state;
    std::memset(&state, 0xFF, sizeof state);
    board::sendRequest(driver, 1, board::IOCTL_SI_READ, board::ChannelRecord{1}, state);
    EXPECT_EQ(state.active, 0u);
}

TEST(RequestHelper, SendsExactInputBytesAndOutputSize) {
    testing_support::ScriptedDriver driver;
    board::sendCommand(driver, 7, board::IOCTL_SI_STOP, board::ChannelRecord{3});
    board::sendBareRequest(driver, 7, board::IOCTL_RESET_DEVICE);
    ASSERT_EQ(driver.requests().size(), 2u);
    const auto& stop = driver.requests()[0];
    EXPECT_EQ(stop.handle, 7u);
    EXPECT_EQ(stop.code, board::IOCTL_SI_STOP);
    EXPECT_EQ(stop.input, (std::vector<std::byte>{std::byte{3}, std::byte{0}}));
    EXPECT_EQ(stop.outputSize, sizeof(board::AckReply));
    EXPECT_TRUE(driver.requests()[1].input.empty());
    EXPECT_EQ(driver.requests()[1].outputSize, 0u);
}

} // namespace
