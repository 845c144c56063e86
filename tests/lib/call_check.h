/* What the library's C programs on threads share: a check that tells what failed, a pause, and
 * a call made on another thread whose end the main thread looks for. One program each. */
#ifndef ZELVA1_CALL_CHECK_H
#define ZELVA1_CALL_CHECK_H

#include <pthread.h>
#include <stdio.h>
#include <time.h>

static int failed = 0;

static void check(int holds, const char* what) {
    if (!holds) {
        fprintf(stdout, "FAILED: %s\n", what);
        failed = 1;
    }
}

static void pause_ms(long ms) {
    struct timespec pause;
    pause.tv_sec = ms / 1000;
    pause.tv_nsec = (ms % 1000) * 1000000L;
    nanosleep(&pause, NULL);
}

struct call {
    int done;
    int status;
};

static pthread_mutex_t calls = PTHREAD_MUTEX_INITIALIZER;

static void finish(struct call* call, int status) {
    pthread_mutex_lock(&calls);
    call->status = status;
    call->done = 1;
    pthread_mutex_unlock(&calls);
}

static int is_done(struct call* call) {
    int done;
    pthread_mutex_lock(&calls);
    done = call->done;
    pthread_mutex_unlock(&calls);
    return done;
}

#endif
