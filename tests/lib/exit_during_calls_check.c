/* A script whose main returns while other threads are inside calls: the process must exit with
 * main's status, whatever the library is doing for those threads at that moment. Run many times
 * by the test, since the exit meets the calls at a different point each time. */
#define _POSIX_C_SOURCE 200809L
#include "zelva1.h"

#include <pthread.h>
#include <stdio.h>
#include <time.h>

enum { kThreads = 4 };

static void* readForever(void* argument) {
    zelva1_board* board = (zelva1_board*)argument;
    zelva1_cell cells[ZELVA1_CELLS];
    for (;;)
        if (zelva1_read_cells(board, 1, cells, ZELVA1_CELLS) != ZELVA1_OK)
            break;
    return NULL;
}

int main(void) {
    const struct timespec pause = {0, 20 * 1000 * 1000};
    zelva1_board* board = NULL;
    pthread_t threads[kThreads];
    int k;
    int status = zelva1_open(NULL, 0, &board);
    if (status != ZELVA1_OK) {
        fprintf(stderr, "zelva1: %s\n", zelva1_status_text(status));
        return 1;
    }
    for (k = 0; k < kThreads; ++k)
        if (pthread_create(&threads[k], NULL, readForever, board) != 0) {
            fprintf(stderr, "no thread\n");
            return 1;
        }
    nanosleep(&pause, NULL);
    return 0; /* the readers still inside their calls */
}
