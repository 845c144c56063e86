// Removes one of the Wine test driver's boards from the current Wine prefix, as if it were
// unplugged while the monitor runs:
//
//     zelva1_test_remove <interface index>

#include "board_layout.h"
#include "board_removal.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelva1_test_remove <interface index>\n");
        return 2;
    }
    const std::string instanceId =
        wine_driver::instanceIdFor(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)));
    if (const std::uint32_t error = wine_driver::removeBoardDevice(instanceId); error != 0) {
        std::fprintf(stderr, "zelva1_test_remove: %s: error 0x%lx\n", instanceId.c_str(),
                     static_cast<unsigned long>(error));
        return 1;
    }
    std::printf("zelva1_test_remove: %s removed\n", instanceId.c_str());
    return 0;
}
