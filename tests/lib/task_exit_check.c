/* A script that ends while its periodic task still sends: the process must exit with the
 * script's own status, whatever the task's thread is doing at that moment. */
#include "zelva1.h"

#include <stdio.h>
#include <string.h>

int main(void) {
    zelva1_board* board = NULL;
    zelva1_task* task = NULL;
    zelva1_timing timing = {0, 0.0, 0.0, 0.0};
    uint8_t rates[ZELVA1_RATE_CODES];
    uint32_t words[16];
    double intervals[16];
    unsigned k;
    int status;
    memset(rates, 2, sizeof rates);
    for (k = 0; k < 16; ++k) {
        words[k] = 0x60000000u | k;
        intervals[k] = 5.0 + k; /* half the bus at 100 kbit/s */
    }
    if ((status = zelva1_open(NULL, 0, &board)) != ZELVA1_OK ||
        (status = zelva1_initialize(board, rates, sizeof rates)) != ZELVA1_OK ||
        (status = zelva1_task_start(board, 1, words, intervals, 16, &task)) != ZELVA1_OK) {
        fprintf(stderr, "zelva1: %s\n", zelva1_status_text(status));
        return 1;
    }
    /* Until it has sent twice: its thread is in its loop, not starting. */
    while (timing.sent < 2)
        if ((status = zelva1_task_timing(task, 0, &timing)) != ZELVA1_OK) {
            fprintf(stderr, "zelva1: %s\n", zelva1_status_text(status));
            return 1;
        }
    return 0; /* the task still running */
}
