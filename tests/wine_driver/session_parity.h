#pragma once

#include "board/driver.h"

#include <cstddef>
#include <memory>
#include <string>

namespace wine_driver {

/// @brief Runs one scripted session of the monitor's requests on a back-end, traced into
/// `tracePath`: the device list, initialisation, a cyclic array looped back into address
/// reception, a word changed while it runs, a single array into file reception, the built-in
/// traffic, requests the board must refuse, the smaller board, the reset.
void runParitySession(std::unique_ptr<board::Driver> backend, const std::string& tracePath);

struct ParityVerdict {
    bool same = false;
    std::size_t requests = 0;
    std::string text; // "N requests alike", or where the traces part
};

/// @brief Compares two traces of that session request for request: index, request, input
/// bytes and status throughout, output bytes except where the answer hangs on the moment
/// (reads of the built-in traffic).
[[nodiscard]] ParityVerdict compareTraces(const std::string& expectedPath,
                                          const std::string& actualPath);

} // namespace wine_driver
