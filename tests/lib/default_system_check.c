/* The default system made from what ZELVA1_SIM_CONFIG names, in a process of its own, as a
 * script meets it at its first call:
 *   folder: a folder gives the built-in boards and a message on standard error;
 *   fifo:   a FIFO whose writer has not come holds only the call that makes the default system:
 *           a call on another system on another thread completes meanwhile. */
#define _POSIX_C_SOURCE 200809L
#include "zelva1.h"

#include "call_check.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int folder(const char* place) {
    char errors_path[512];
    char errors[1024];
    size_t count = 0;
    int saved_stderr = dup(2);
    int errors_file;
    ssize_t got;
    snprintf(errors_path, sizeof errors_path, "%s/errors", place);
    setenv("ZELVA1_SIM_CONFIG", place, 1);
    errors_file = open(errors_path, O_RDWR | O_CREAT | O_TRUNC, 0600);
    dup2(errors_file, 2);
    check(zelva1_list(NULL, NULL, 0, &count) == ZELVA1_OK, "listed on a folder");
    check(count == 2, "the built-in boards");
    dup2(saved_stderr, 2);
    got = pread(errors_file, errors, sizeof errors - 1, 0);
    errors[got > 0 ? got : 0] = '\0';
    check(strstr(errors, "is a folder") != NULL && strstr(errors, "built-in") != NULL,
          "a message naming the folder");
    close(errors_file);
    unlink(errors_path);
    return failed;
}

static void* list_default(void* argument) {
    struct call* made = (struct call*)argument;
    size_t count = 0;
    finish(made, zelva1_list(NULL, NULL, 0, &count));
    return NULL;
}

static void* read_other(void* argument) {
    struct call* read = (struct call*)argument;
    zelva1_system* system = NULL;
    zelva1_board* board = NULL;
    zelva1_cell cell;
    const uint8_t rates[ZELVA1_RATE_CODES] = {0};
    int status = zelva1_system_open_simulated("", &system, NULL, 0);
    if (status == ZELVA1_OK)
        status = zelva1_open(system, 0, &board);
    if (status == ZELVA1_OK)
        status = zelva1_initialize(board, rates, sizeof rates);
    if (status == ZELVA1_OK)
        status = zelva1_read_cell(board, 1, 0, &cell);
    zelva1_close(board);
    zelva1_system_close(system);
    finish(read, status);
    return NULL;
}

static int fifo(const char* place) {
    char path[512];
    struct call made = {0, 0};
    struct call read = {0, 0};
    pthread_t maker;
    pthread_t reader;
    int writer;
    int waited;
    snprintf(path, sizeof path, "%s/config", place);
    check(mkfifo(path, 0600) == 0, "a FIFO made");
    setenv("ZELVA1_SIM_CONFIG", path, 1);
    pthread_create(&maker, NULL, list_default, &made);
    pause_ms(50); /* the maker into its open of the FIFO, as a rule; if not, nothing is proven */
    pthread_create(&reader, NULL, read_other, &read);
    /* A generous bound: the reader needs microseconds; held behind the FIFO it never ends. */
    for (waited = 0; waited < 10000 && !is_done(&read); waited += 5)
        pause_ms(5);
    check(is_done(&read), "a read on another system completes");
    check(read.status == ZELVA1_OK, "the read on another system succeeds");
    check(!is_done(&made), "the default system still waits for its FIFO's writer");
    writer = open(path, O_WRONLY); /* lets the maker read an empty configuration */
    close(writer);
    pthread_join(maker, NULL);
    if (!is_done(&read))
        return 1; /* the reader is still held: it cannot be joined */
    pthread_join(reader, NULL);
    check(made.status == ZELVA1_OK, "the default system made once its writer came");
    unlink(path);
    return failed;
}

int main(int argc, char** argv) {
    char place[] = "/tmp/zelva1-default-XXXXXX";
    int result;
    if (argc != 2 || mkdtemp(place) == NULL)
        return 2;
    result = strcmp(argv[1], "folder") == 0 ? folder(place) : fifo(place);
    rmdir(place);
    return result;
}
