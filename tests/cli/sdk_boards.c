/* A C program as its developer would write it against the installed library: it opens the
   boards, counts them and prints the library's version, the header's and the count. */
#include <stdio.h>
#include <zelva1.h>

int main(void) {
    zelva1_system* system;
    size_t boards = 0;
    if (zelva1_system_open(&system) != ZELVA1_OK || zelva1_list(system, NULL, 0, &boards) != ZELVA1_OK)
        return 1;
    zelva1_system_close(system);
    printf("%d %d %zu\n", zelva1_version(), ZELVA1_VERSION_NUMBER, boards);
    return 0;
}
