#include "commands.h"

#include <cstdio>

namespace cli {

void listBoards() {
    std::array<zelva1_board_info, ZELVA1_MAX_BOARDS> boards{};
    std::size_t count = 0;
    check(zelva1_list(nullptr, boards.data(), boards.size(), &count), "поиск модулей");
    std::printf("порядковый №\tсерийный №\tвходов\tвыходов\n");
    for (std::size_t i = 0; i < count && i < boards.size(); ++i)
        std::printf("%u\t%u\t%d\t%d\n", boards[i].interface_index, boards[i].serial,
                    boards[i].inputs, boards[i].outputs);
    if (count == 0)
        std::fprintf(stderr, "модули не обнаружены\n");
}

} // namespace cli
