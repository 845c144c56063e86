/* The library from C, as a script would use it: the test pattern sent cyclically on output 1
 * of the first board of the default system comes back on input 1. Exit status 0 when every
 * cell holds its word. */
#if !defined(_WIN32)
#define _POSIX_C_SOURCE 199309L /* nanosleep */
#endif

#include "zelva1.h"

#include <stdio.h>

#if defined(_WIN32)
#include <windows.h>
static void pause_ms(unsigned ms) { Sleep(ms); }
#else
#include <time.h>
static void pause_ms(unsigned ms) {
    struct timespec delay = {0, (long)ms * 1000000L};
    nanosleep(&delay, NULL);
}
#endif

static int check(int status, const char* what) {
    if (status != ZELVA1_OK)
        fprintf(stderr, "%s: %s\n", what, zelva1_status_text(status));
    return status == ZELVA1_OK;
}

int main(void) {
    zelva1_board* board = NULL;
    uint8_t rates[ZELVA1_RATE_CODES];
    uint32_t words[ZELVA1_MAX_WORDS];
    zelva1_cell cells[ZELVA1_CELLS];
    unsigned k;
    int tries;
    int matching = 0;

    for (k = 0; k < ZELVA1_RATE_CODES; ++k)
        rates[k] = 2;
    for (k = 0; k < ZELVA1_MAX_WORDS; ++k)
        words[k] = k | (1u << 8) | ((255u - k) << 16) | (254u << 24);
    if (!check(zelva1_open(NULL, 0, &board), "open") ||
        !check(zelva1_initialize(board, rates, ZELVA1_RATE_CODES), "initialize") ||
        !check(zelva1_start_receive(board, 1, ZELVA1_ADDRESS_MODE), "receive") ||
        !check(zelva1_transmit(board, 1, words, ZELVA1_MAX_WORDS, ZELVA1_CYCLIC), "transmit"))
        return 1;
    for (tries = 0; tries < 250 && matching < ZELVA1_CELLS; ++tries) {
        pause_ms(20);
        if (!check(zelva1_read_cells(board, 1, cells, ZELVA1_CELLS), "read"))
            return 1;
        for (matching = 0, k = 0; k < ZELVA1_CELLS; ++k)
            matching += cells[k].word == words[k];
    }
    /* A closed handle and an impossible channel are answered, not crashed on. */
    if (zelva1_read_cells(board, 9, cells, ZELVA1_CELLS) != ZELVA1_ERROR_CHANNEL ||
        !check(zelva1_reset(board), "reset") || !check(zelva1_close(board), "close") ||
        zelva1_close(board) != ZELVA1_ERROR_HANDLE)
        return 1;
    printf("loopback: %d of %d cells hold their word\n", matching, ZELVA1_CELLS);
    return matching == ZELVA1_CELLS ? 0 : 1;
}
