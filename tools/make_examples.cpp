// Writes the first-run example files (format state file and assignment file for the simulated
// board's built-in stream) into the folder named on the command line.

#include "example_tables.h"

#include "formats/format_state_file.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <system_error>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: make_examples <folder>\n";
        return 2;
    }
    // Everything that can throw (the paths too) is inside: a failure is told, never a crash.
    try {
        const std::filesystem::path folder = argv[1];
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (!error)
            error = tools::writeExampleFiles(folder);
        if (error) {
            std::cerr << "make_examples: " << folder.string() << ": " << error.message() << '\n';
            return 1;
        }
        std::cout << (folder / formats::kFormatStateFileName).string() << '\n'
                  << (folder / tools::kExampleAssignmentFileName).string() << '\n';
    } catch (const std::exception& failure) {
        std::cerr << "make_examples: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
