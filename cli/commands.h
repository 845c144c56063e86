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

/// @return whether every cell came back.
[[nodiscard]] bool loopback(const LoopbackOptions& options);

} // namespace cli
