// Promises of the header that hold only with care inside the library: outputs of a call that
// fails part-way, handles whose slot has been reused for a long time, paths that name no file.

#include "library_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using library_testing::SimulatedSystem;

constexpr const char* kFormatFile = ZELVA_EXAMPLES_DIR "/KST3frmt.stt";
constexpr const char* kAssignmentFile = ZELVA_EXAMPLES_DIR "/builtin-traffic.si";

TEST(List, ABoardWhoseRequestFailsLeavesTheListUntouched) {
    // Board 0 lists, board 2 fails its configuration request after it.
    SimulatedSystem system("fail 2 IOCTL_GET_CONFIGURATION\n");
    std::array<zelva1_board_info, 2> boards{};
    boards[0].serial = 77;
    std::size_t count = 99;
    EXPECT_EQ(zelva1_list(system.get(), boards.data(), boards.size(), &count),
              ZELVA1_ERROR_REQUEST);
    EXPECT_EQ(boards[0].serial, 77u);
    EXPECT_EQ(count, 99u);
}

TEST(SystemError, ACallRefusedBeforeItReachesABoardLeavesNoEarlierError) {
    SimulatedSystem system("fail 0 IOCTL_SI_READ channel 2\n");
    zelva1_board* board = nullptr;
    ASSERT_EQ(zelva1_open(system.get(), 0, &board), ZELVA1_OK);
    zelva1_cell cell{};
    EXPECT_EQ(zelva1_read_cell(board, 2, 0, &cell), ZELVA1_ERROR_REQUEST);
    EXPECT_EQ(zelva1_system_error(), 31u);
    // A script reads the error after the status text, as it builds its message.
    static_cast<void>(zelva1_status_text(ZELVA1_ERROR_REQUEST));
    EXPECT_EQ(zelva1_system_error(), 31u);
    EXPECT_EQ(zelva1_read_cell(board, 2, 256, &cell), ZELVA1_ERROR_INDEX);
    EXPECT_EQ(zelva1_system_error(), 0u);
    zelva1_close(board);
}

TEST(Handles, AClosedHandleNeverAnswersAgainHoweverOftenItsSlotIsReused) {
    // The handle's generation has 16 bits: this passes the point where it would wrap.
    SimulatedSystem system;
    zelva1_board* first = nullptr;
    ASSERT_EQ(zelva1_open(system.get(), 0, &first), ZELVA1_OK);
    ASSERT_EQ(zelva1_close(first), ZELVA1_OK);
    zelva1_board_info info{};
    int answered = 0;
    for (int round = 0; round < (1 << 16) + 2; ++round) {
        zelva1_board* board = nullptr;
        ASSERT_EQ(zelva1_open(system.get(), 0, &board), ZELVA1_OK);
        answered += board == first || zelva1_board_information(first, &info) != ZELVA1_ERROR_HANDLE;
        ASSERT_EQ(zelva1_close(board), ZELVA1_OK);
    }
    EXPECT_EQ(answered, 0);
}

#if !defined(_WIN32) // a FIFO, and another user to be
/// A folder of the test's own with files to refuse, removed at the end of the test.
class Paths {
public:
    Paths()
        : folder_(std::filesystem::temp_directory_path() /
                  ("zelva1-paths-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_ / "folder");
        const std::ofstream empty(folder_ / "empty");
        std::filesystem::copy_file(kFormatFile, folder_ / "locked");
        std::filesystem::permissions(folder_ / "locked", std::filesystem::perms::none);
        EXPECT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    }
    ~Paths() { std::filesystem::remove_all(folder_); }
    Paths(const Paths&) = delete;
    Paths& operator=(const Paths&) = delete;

    [[nodiscard]] std::string operator()(const char* name) const {
        return (folder_ / name).string();
    }

private:
    std::filesystem::path folder_;
};

/// The status and message of zelva1_formats_load, as a user without rights over other users'
/// files would get them: the tests may run as root, who reads any file.
std::pair<int, std::string> loadAsUser(const std::string& formatPath, const char* assignmentPath) {
    std::array<int, 2> pipe{};
    EXPECT_EQ(::pipe(pipe.data()), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        std::array<char, 256> message{};
        zelva1_formats* formats = nullptr;
        const int status = zelva1_formats_load(formatPath.c_str(), assignmentPath, &formats,
                                               message.data(), message.size());
        const std::string reply = std::to_string(status) + " " + message.data();
        static_cast<void>(::write(pipe[1], reply.data(), reply.size()));
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string reply;
    std::array<char, 256> chunk{};
    for (ssize_t got = 0; (got = ::read(pipe[0], chunk.data(), chunk.size())) > 0;)
        reply.append(chunk.data(), static_cast<std::size_t>(got));
    ::close(pipe[0]);
    int exitStatus = 0;
    ::waitpid(child, &exitStatus, 0);
    EXPECT_EQ(exitStatus, 0);
    const std::size_t space = reply.find(' ');
    return {std::stoi(reply.substr(0, space)), reply.substr(space + 1)};
}

TEST(Paths, WhatIsNoFileToReadIsRefusedWithItsReason) {
    const Paths paths;
    const std::pair<const char*, const char*> cases[] = {
        {"missing", "файла нет"},
        {"folder", "это папка, а не файл"},
        {"empty", "файл пуст"},
        {"fifo", "это не обычный файл (канал или устройство)"},
    };
    for (const auto& [name, reason] : cases) {
        for (const bool asAssignments : {false, true}) {
            std::array<char, 256> message{};
            zelva1_formats* formats = nullptr;
            const std::string path = paths(name);
            EXPECT_EQ(zelva1_formats_load(asAssignments ? kFormatFile : path.c_str(),
                                          asAssignments ? path.c_str() : nullptr, &formats,
                                          message.data(), message.size()),
                      ZELVA1_ERROR_FILE)
                << name;
            const std::string expected =
                std::string(asAssignments ? "Файл назначений «" : "Файл форматов «") + name +
                "» не загружен: " + reason + ".";
            EXPECT_EQ(std::string(message.data()), expected);
            EXPECT_EQ(formats, nullptr);
        }
    }
    const auto [status, message] = loadAsUser(paths("locked"), nullptr);
    EXPECT_EQ(status, ZELVA1_ERROR_FILE);
    EXPECT_EQ(message, "Файл форматов «locked» не загружен: нет прав на чтение.");
    EXPECT_EQ(loadAsUser(kFormatFile, paths("locked").c_str()).first, ZELVA1_ERROR_FILE);

    // Only NULL means no assignments; an empty path names no file.
    std::array<char, 256> message2{};
    zelva1_formats* formats = nullptr;
    EXPECT_EQ(zelva1_formats_load(kFormatFile, "", &formats, message2.data(), message2.size()),
              ZELVA1_ERROR_FILE);
    EXPECT_NE(std::string(message2.data()).find("пустой путь"), std::string::npos)
        << message2.data();
    ASSERT_EQ(zelva1_formats_load(kFormatFile, kAssignmentFile, &formats, message2.data(),
                                  message2.size()),
              ZELVA1_OK);
    EXPECT_STREQ(message2.data(), "");
    EXPECT_EQ(zelva1_formats_close(formats), ZELVA1_OK);
}
#endif

} // namespace
