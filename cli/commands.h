#pragma once

#include "board_access.h"

#include <string>
#include <vector>

namespace cli {

/// A command line that parsed but cannot be carried out as given: exit status 2.
class UsageFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void listBoards();

struct ReceiveOptions {
    BoardChoice board;
    unsigned input = 1;
    std::string mode = "address";
    double seconds = 1.0;
    unsigned periodMs = 100;
    std::string csvPath;
    unsigned splitMegabytes = 0; // 0: the recording is not split by size
    unsigned splitSeconds = 0;   // 0: nor by time
    double minFreeMegabytes = 100.0;
    std::string formatPath;
    std::string assignmentPath;
    std::string databasePath;
};
void receive(const ReceiveOptions& options);

struct SendOptions {
    BoardChoice board;
    unsigned output = 1;
    std::string filePath;
    std::vector<std::string> words;
    bool pattern = false;
    bool cyclic = false;
    double seconds = 0.0;
};
void send(const SendOptions& options);

struct LoopbackOptions {
    BoardChoice board;
    unsigned output = 1;
    unsigned input = 1;
    double seconds = 3.0;
};
struct StimulateOptions {
    BoardChoice board;
    std::string stimulusPath;
    std::string databasePath;
    unsigned output = 1;
    double seconds = 0.0;
};
/// @brief Sends a stimulus file's parameters by their laws until the time is up or Ctrl-C,
/// then prints what each parameter sent.
void stimulate(const StimulateOptions& options);

struct ReplayOptions {
    BoardChoice board;
    std::string recordingPath;
    unsigned output = 1;
    unsigned input = 0; // 0: the first input the recording holds
    double speed = 1.0;
    bool loop = false;
    bool byLabel = false;
    std::string databasePath;
    std::string labels; // octal, apart by blanks or commas; every label when empty
    double startSeconds = 0.0;
    unsigned longestGapMs = 0; // 0: pauses kept as recorded
    double seconds = 0.0;      // 0: to the end of the recording
};
/// @brief Sends a recording of the monitor back out on an output until it ends, the time is up
/// or Ctrl-C, then prints the words sent per output.
void replayRecording(const ReplayOptions& options);

/// @return whether every cell came back.
[[nodiscard]] bool loopback(const LoopbackOptions& options);

} // namespace cli
