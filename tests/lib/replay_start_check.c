/* A replay's start reads its recording without holding up other calls: a recording whose open
 * is held back (a lease of another's on it, as a file on a network share can be slow to come)
 * holds only the start that reads it; a read of a cell of the same board and the replay's own
 * state on another thread complete meanwhile, and the start completes once the file comes.
 * Exits 77 where the file system gives no leases. */
#define _GNU_SOURCE
#include "zelva1.h"

#include "call_check.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

/* A call on the replay or its board. */
struct replay_call {
    struct call call;
    zelva1_replay* replay;
    zelva1_board* board;
};

static void* start_replay(void* argument) {
    struct replay_call* start = (struct replay_call*)argument;
    zelva1_replay_options options;
    int status = zelva1_replay_defaults(&options);
    if (status == ZELVA1_OK)
        status = zelva1_replay_start(start->replay, start->board, &options, NULL, 0);
    finish(&start->call, status);
    return NULL;
}

static void* read_meanwhile(void* argument) {
    struct replay_call* read = (struct replay_call*)argument;
    zelva1_cell cell;
    zelva1_replay_progress progress;
    int status = zelva1_read_cell(read->board, 1, 0, &cell);
    if (status == ZELVA1_OK)
        status = zelva1_replay_state(read->replay, &progress, NULL, 0);
    if (status == ZELVA1_OK && progress.state != ZELVA1_REPLAY_STOPPED)
        status = ZELVA1_ERROR_INTERNAL;
    finish(&read->call, status);
    return NULL;
}

/* Two ticks 100 ms apart of labels 203 and 206 on input 1, as the monitor records them. */
static int write_recording(const char* path) {
    static const char text[] =
        "дата и время,мс от начала записи,№ цикла,входной канал,ячейка,слово,метка,SDI,SSM,"
        "четность,десятичное значение\r\n"
        "2026-01-01 00:00:00.000,0,0,1,131,60000083,203,0,3,норма,\r\n"
        "2026-01-01 00:00:00.000,0,0,1,134,60010086,206,0,3,норма,\r\n"
        "2026-01-01 00:00:00.100,100,1,1,131,60000083,203,0,3,норма,\r\n"
        "2026-01-01 00:00:00.100,100,1,1,134,60010086,206,0,3,норма,\r\n";
    FILE* file = fopen(path, "wb");
    int written;
    if (file == NULL)
        return 0;
    written = fwrite(text, 1, sizeof text - 1, file) == sizeof text - 1;
    return fclose(file) == 0 && written;
}

static int held_start(const char* path) {
    zelva1_system* system = NULL;
    zelva1_board* board = NULL;
    zelva1_replay* replay = NULL;
    const uint8_t rates[ZELVA1_RATE_CODES] = {0};
    struct replay_call start = {{0, 0}, NULL, NULL};
    struct replay_call read = {{0, 0}, NULL, NULL};
    pthread_t starter;
    pthread_t reader;
    int holder;
    int waited;
    check(write_recording(path), "the recording written");
    check(zelva1_system_open_simulated("", &system, NULL, 0) == ZELVA1_OK, "a system");
    check(zelva1_open(system, 0, &board) == ZELVA1_OK, "a board");
    check(zelva1_initialize(board, rates, sizeof rates) == ZELVA1_OK, "the board initialised");
    check(zelva1_replay_open(path, &replay, NULL, 0) == ZELVA1_OK, "the recording opened");
    if (failed)
        return failed;
    /* The lease's holder is told of the opener by SIGIO, which would end the process. */
    signal(SIGIO, SIG_IGN);
    holder = open(path, O_RDONLY);
    if (fcntl(holder, F_SETLEASE, F_WRLCK) != 0) {
        fprintf(stdout, "SKIPPED: no lease on %s\n", path);
        return 77;
    }
    start.replay = read.replay = replay;
    start.board = read.board = board;
    pthread_create(&starter, NULL, start_replay, &start);
    pause_ms(50); /* the start into its open of the recording, as a rule; if not, nothing is proven */
    pthread_create(&reader, NULL, read_meanwhile, &read);
    /* A generous bound: the reader needs microseconds; held behind the start it never ends. */
    for (waited = 0; waited < 10000 && !is_done(&read.call); waited += 5)
        pause_ms(5);
    check(is_done(&read.call), "a read on the same board completes while the start waits");
    check(read.call.status == ZELVA1_OK, "the read and the replay's state succeed, still stopped");
    check(!is_done(&start.call), "the start still waits for its recording");
    fcntl(holder, F_SETLEASE, F_UNLCK);
    close(holder);
    pthread_join(starter, NULL);
    pthread_join(reader, NULL);
    check(start.call.status == ZELVA1_OK, "the replay started once its recording came");
    check(zelva1_replay_close(replay) == ZELVA1_OK, "the replay closed");
    zelva1_close(board);
    zelva1_system_close(system);
    return failed;
}

int main(void) {
    char place[] = "/tmp/zelva1-replay-XXXXXX";
    char path[512];
    int result;
    if (mkdtemp(place) == NULL)
        return 2;
    snprintf(path, sizeof path, "%s/recording.csv", place);
    result = held_start(path);
    unlink(path);
    rmdir(place);
    return result;
}
