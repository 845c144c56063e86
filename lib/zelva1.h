/*
 * zelva1.h: ZELVA-1 ARINC 429 boards from C and from any language that calls C.
 *
 * The library drives the boards the way the monitor does, through the same back-ends: the
 * simulated boards by default (configured by the ZELVA1_SIM_CONFIG variable), the boards'
 * kernel driver on Windows where its interface class is known, or simulated boards made
 * from a configuration text given to zelva1_system_open_simulated(). Unlike the monitor,
 * every call says whether the board did what was asked.
 *
 * Conventions of every function:
 *  - The result is a status: ZELVA1_OK (0) or one of the negative ZELVA1_ERROR_ codes below;
 *    zelva1_status_text() names it. A function that fails leaves its outputs unchanged,
 *    except where its description says otherwise.
 *  - Channels are numbered 1..8 as on the board's connectors; cells and words 0..255.
 *  - Outputs go into memory the caller owns, with its size where it is an array. Nothing
 *    the library allocates is freed by the caller other than through a zelva1_ close call.
 *  - Handles are opaque. A closed handle, or a value that never was a handle, gives
 *    ZELVA1_ERROR_HANDLE, never a crash: handles are looked up, never dereferenced.
 *  - Threads: every function may be called from any thread at any time. Calls are carried
 *    out one at a time inside the library (the back-ends are not re-entrant), so a call may
 *    wait for one made on another thread; none waits for anything else. A handle closed on
 *    one thread makes later calls with it on any thread return ZELVA1_ERROR_HANDLE.
 *  - Texts are UTF-8.
 *
 * The interface is versioned: later versions only add functions, codes and fields at the
 * end of the structures named here with a size member.
 */
#ifndef ZELVA1_H
#define ZELVA1_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(ZELVA1_BUILDING)
#define ZELVA1_API __declspec(dllexport)
#else
#define ZELVA1_API __declspec(dllimport)
#endif
#else
#define ZELVA1_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The version this header describes; zelva1_version() gives the library's. The monitor, the
 * tool and the Python package of a release carry the same. */
#define ZELVA1_VERSION_MAJOR 1
#define ZELVA1_VERSION_MINOR 0
#define ZELVA1_VERSION_PATCH 0
#define ZELVA1_VERSION_NUMBER                                                                      \
    (ZELVA1_VERSION_MAJOR * 10000 + ZELVA1_VERSION_MINOR * 100 + ZELVA1_VERSION_PATCH)

/* Statuses. */
#define ZELVA1_OK 0
#define ZELVA1_ERROR_NULL (-1)       /* a null pointer where an address is needed */
#define ZELVA1_ERROR_HANDLE (-2)     /* a handle that is closed or never was one */
#define ZELVA1_ERROR_CHANNEL (-3)    /* a channel number outside 1..8 */
#define ZELVA1_ERROR_NO_CHANNEL (-4) /* the board has no channel of that number */
#define ZELVA1_ERROR_INDEX (-5)      /* a cell or word index outside 0..255 */
#define ZELVA1_ERROR_ARGUMENT (-6)   /* a mode, rate code, count or buffer size out of range */
#define ZELVA1_ERROR_NO_BOARD (-7)   /* no board opens at that interface index */
#define ZELVA1_ERROR_REQUEST (-8)    /* the board or its driver failed the request */
#define ZELVA1_ERROR_CONFIG (-9)     /* the simulated boards' configuration text is wrong */
#define ZELVA1_ERROR_FILE (-10)      /* a format file cannot be read */
#define ZELVA1_ERROR_LIMIT (-11)     /* too many handles open at once */
#define ZELVA1_ERROR_INTERNAL (-12)  /* out of memory or a fault of the library */
#define ZELVA1_ERROR_CONTENT (-13)   /* a file reads but what it says is wrong */
#define ZELVA1_ERROR_LABEL (-14)     /* the label database has no row for the label */
#define ZELVA1_ERROR_VALUE (-15)     /* a value that its word cannot carry */
#define ZELVA1_ERROR_BUS (-16)       /* more words at their intervals than the bus carries */

/* Limits of the board. */
#define ZELVA1_MAX_CHANNELS 8
#define ZELVA1_CELLS 256     /* cells of an input's receive buffer */
#define ZELVA1_MAX_WORDS 256 /* words of an output array */
#define ZELVA1_RATE_CODES 16 /* inputs 1..8, then outputs 1..8 */
#define ZELVA1_MAX_BOARDS 8
#define ZELVA1_TEXT_CAPACITY 96  /* room for zelva1_decoded.text with its NUL */
#define ZELVA1_NAME_CAPACITY 128 /* zelva1_reading's texts, each with its NUL */
#define ZELVA1_UNITS_CAPACITY 32
#define ZELVA1_VALUE_CAPACITY 256
#define ZELVA1_SSM_CAPACITY 32

/* Reception modes. */
#define ZELVA1_ADDRESS_MODE 1 /* each word lands in the cell of its label */
#define ZELVA1_FILE_MODE 2    /* words land in the cells in the order they arrive */

/* Transmission modes. */
#define ZELVA1_ONCE 0   /* the array goes out once */
#define ZELVA1_CYCLIC 1 /* the array goes out again and again until stopped */

/* A set of boards behind one back-end. NULL wherever a system is asked for means the
 * process's default system, made at its first use as the monitor makes its back-end. */
typedef struct zelva1_system zelva1_system;
/* One open board. */
typedef struct zelva1_board zelva1_board;
/* A decimal format table with its assignments to labels and input channels. */
typedef struct zelva1_formats zelva1_formats;
/* A label database: what each label means, as the monitor's label watch reads it. */
typedef struct zelva1_database zelva1_database;
/* Words sent periodically from one output on a thread of the library's own. */
typedef struct zelva1_task zelva1_task;
/* A recording of the monitor replayed onto a board's outputs on a thread of the library's own. */
typedef struct zelva1_replay zelva1_replay;

/* One board found by zelva1_list(). */
typedef struct zelva1_board_info {
    uint32_t interface_index; /* 0..15: the ordinal number («порядковый №») the monitor shows */
    uint32_t serial; /* 0..65535 */
    int32_t inputs;  /* channel counts as the board reports them, 0..15 */
    int32_t outputs;
} zelva1_board_info;

/* One cell of an input's receive buffer. */
typedef struct zelva1_cell {
    uint32_t word;     /* as the board holds it */
    uint32_t received; /* 1 when a word was received into the cell (word >= 0x10000), else 0 */
} zelva1_cell;

/* A word taken apart by zelva1_decode(). Bits are numbered 1..32 from the least significant. */
typedef struct zelva1_decoded {
    uint32_t label;                  /* bits 1-8 */
    uint32_t sdi;                    /* bits 9-10 */
    uint32_t ssm;                    /* bits 30-31 */
    uint32_t parity_ok;              /* 1 when the count of set bits is odd */
    uint32_t has_value;              /* 1 when a format gives the word a decimal value */
    double value;                    /* the signed decimal value, 0 without a format */
    char text[ZELVA1_TEXT_CAPACITY]; /* the monitor's decimal column without its outer blanks:
                                        sign, value and units; "" without a format */
} zelva1_decoded;

/* A word read by a label database's row for it, as the monitor's label watch shows it. */
typedef struct zelva1_reading {
    uint32_t label;        /* bits 1-8 */
    uint32_t sdi;          /* bits 9-10 */
    uint32_t ssm;          /* bits 30-31 */
    uint32_t parity_ok;    /* 1 when the count of set bits is odd */
    uint32_t known;        /* 1 when the database has a row for the word; without one the
                              fields below are 0 and "" */
    uint32_t ssm_normal;   /* 1 when the SSM reports data that can be used */
    uint32_t has_value;    /* 1 when `value` holds the word's number (BNR, decimal BCD) */
    uint32_t out_of_range; /* 1 when a word that carries data lies outside the row's min..max */
    double value;          /* in the row's units; 0 without a number */
    char name[ZELVA1_NAME_CAPACITY];    /* the row's name */
    char units[ZELVA1_UNITS_CAPACITY];  /* the row's units */
    char text[ZELVA1_VALUE_CAPACITY];   /* the value with every decimal of the row's resolution,
                                           without units; DISC: the names of the bits set,
                                           joined by ", "; "не BCD" for BCD that is not decimal */
    char ssm_text[ZELVA1_SSM_CAPACITY]; /* what the SSM says for the row's encoding: "норма",
                                           "отказ", "нет данных", "функц. тест", "плюс", "минус" */
} zelva1_reading;

/* What zelva1_task_timing() reports of one word of a periodic task. */
typedef struct zelva1_timing {
    uint64_t sent;           /* times the word went out */
    double last_interval_ms; /* between its last two sendings; 0 before the second */
    double shortest_ms;      /* of the intervals it got since the task started */
    double longest_ms;
} zelva1_timing;

/* Flags of zelva1_encode(): faults put into a word on purpose, to test a receiver. */
#define ZELVA1_WRONG_PARITY 1u  /* even parity */
#define ZELVA1_OUTSIDE_RANGE 2u /* a value beyond the row's min..max is taken */

/* ---- Version and statuses ------------------------------------------------------------ */

/* The library's version as ZELVA1_VERSION_NUMBER counts it (major * 10000 + minor * 100 +
 * patch). Any thread. */
ZELVA1_API int zelva1_version(void);

/* The text of a status, for example "нет такого канала" for ZELVA1_ERROR_NO_CHANNEL; a
 * text saying the code is unknown for any other number. Static storage; any thread. */
ZELVA1_API const char* zelva1_status_text(int status);

/* The operating system's error code behind the last call made on the calling thread: when
 * it returned ZELVA1_ERROR_REQUEST or ZELVA1_ERROR_NO_BOARD, the code the system gave
 * (GetLastError() on Windows; 31, ERROR_GEN_FAILURE, for any request a simulated board
 * fails, as the device reports it), else 0, also after a call refused before it reached a
 * board. zelva1_version(), zelva1_status_text() and this function leave it as it is. Each
 * thread has its own. */
ZELVA1_API uint32_t zelva1_system_error(void);

/* ---- Systems ------------------------------------------------------------------------- */

/* Makes a system on the back-end the monitor would use: the kernel driver where a Windows
 * build knows its interface class (or ZELVA1_BACKEND=driver), else simulated boards from
 * the file ZELVA1_SIM_CONFIG names, or the built-in ones. Problems with those settings are
 * written to standard error, as the monitor writes them, and the built-in boards are used.
 * `system` must not be NULL; *system is set on success. */
ZELVA1_API int zelva1_system_open(zelva1_system** system);

/* Makes a system of simulated boards from a configuration text in the format of the files
 * ZELVA1_SIM_CONFIG names (board, fail-open, wire, traffic, idle and fail lines); an empty
 * text gives the built-in boards. A wrong text gives ZELVA1_ERROR_CONFIG and, when
 * `message` is not NULL, "line N: problem" in it, cut to `message_size` bytes with its NUL.
 * `config_text` and `system` must not be NULL. */
ZELVA1_API int zelva1_system_open_simulated(const char* config_text, zelva1_system** system,
                                            char* message, size_t message_size);

/* Closes a system. Its boards stay usable until they are closed themselves. NULL (the
 * default system) is refused with ZELVA1_ERROR_NULL. */
ZELVA1_API int zelva1_system_close(zelva1_system* system);

/* ---- Boards -------------------------------------------------------------------------- */

/* Lists the boards of a system as the monitor finds them: interface indices 0..15 in turn,
 * skipping those that do not open, at most ZELVA1_MAX_BOARDS. Fills up to `capacity`
 * entries of `boards` and sets *count to the number found, which may be more than
 * `capacity`. A board whose serial or configuration request fails ends the call with
 * ZELVA1_ERROR_REQUEST, `boards` untouched. `count` must not be NULL; `boards` may be NULL
 * when `capacity` is 0. */
ZELVA1_API int zelva1_list(zelva1_system* system, zelva1_board_info* boards, size_t capacity,
                           size_t* count);

/* Opens the board at an interface index (0..15) of a system and asks it for its channel
 * counts. ZELVA1_ERROR_NO_BOARD when it does not open (zelva1_system_error() tells why). A
 * board may be opened more than once; all its handles command the same board. */
ZELVA1_API int zelva1_open(zelva1_system* system, unsigned interface_index, zelva1_board** board);

/* Closes a board handle. The board keeps doing what it was told: reset it first to stop it.
 * Through the kernel driver the device itself stays open with the system until the process
 * ends, as in the monitor. */
ZELVA1_API int zelva1_close(zelva1_board* board);

/* What the board reported when it was opened; `info` must not be NULL. */
ZELVA1_API int zelva1_board_information(zelva1_board* board, zelva1_board_info* info);

/* Initialises the board: each channel's bit rate, then reception and transmission may start.
 * `rate_codes` holds ZELVA1_RATE_CODES codes, inputs 1..8 then outputs 1..8, each 0
 * (12.5 kbit/s), 1 (50 kbit/s) or 2 (100 kbit/s); `count` must be ZELVA1_RATE_CODES. */
ZELVA1_API int zelva1_initialize(zelva1_board* board, const uint8_t* rate_codes, size_t count);

/* Resets the board: every channel stops. */
ZELVA1_API int zelva1_reset(zelva1_board* board);

/* ---- Reception ----------------------------------------------------------------------- */

/* Starts reception on an input in ZELVA1_ADDRESS_MODE or ZELVA1_FILE_MODE. */
ZELVA1_API int zelva1_start_receive(zelva1_board* board, unsigned channel, int mode);

/* Stops reception on an input; its cells keep their words. */
ZELVA1_API int zelva1_stop_receive(zelva1_board* board, unsigned channel);

/* Asks whether an input receives: *active becomes 1 or 0. */
ZELVA1_API int zelva1_is_receiving(zelva1_board* board, unsigned channel, int* active);

/* Reads one cell (0..255) of an input's receive buffer. `cell` must not be NULL. */
ZELVA1_API int zelva1_read_cell(zelva1_board* board, unsigned channel, unsigned index,
                                zelva1_cell* cell);

/* Reads all ZELVA1_CELLS cells of an input into `cells`, whose `capacity` must be at least
 * ZELVA1_CELLS. On ZELVA1_ERROR_REQUEST the cells read before the failure are filled and
 * the rest are zero. */
ZELVA1_API int zelva1_read_cells(zelva1_board* board, unsigned channel, zelva1_cell* cells,
                                 size_t capacity);

/* ---- Transmission -------------------------------------------------------------------- */

/* Loads `count` words (1..ZELVA1_MAX_WORDS) into an output and starts sending them,
 * ZELVA1_ONCE or ZELVA1_CYCLIC. The words are copied; `words` may be freed on return. */
ZELVA1_API int zelva1_transmit(zelva1_board* board, unsigned channel, const uint32_t* words,
                               size_t count, int mode);

/* Changes word `index` (0..255) of the array an output sends cyclically, at once. */
ZELVA1_API int zelva1_write_word(zelva1_board* board, unsigned channel, unsigned index,
                                 uint32_t word);

/* Stops an output. */
ZELVA1_API int zelva1_stop_transmit(zelva1_board* board, unsigned channel);

/* Asks whether an output transmits: *active becomes 1 or 0. */
ZELVA1_API int zelva1_is_transmitting(zelva1_board* board, unsigned channel, int* active);

/* ---- Decoding ------------------------------------------------------------------------ */

/* Reads a decimal format table (a format state file such as KST3frmt.stt, 23-byte records)
 * and, unless `assignment_path` is NULL, an assignment file (*.si, 11-byte records) with the
 * monitor's own readers. A path that names no file to read gives ZELVA1_ERROR_FILE: a missing
 * file, a folder, a FIFO or a device, an empty file, one without read permission, an empty
 * path. `format_path` and `formats` must not be NULL. */
ZELVA1_API int zelva1_formats_open(const char* format_path, const char* assignment_path,
                                   zelva1_formats** formats);

/* zelva1_formats_open() that also says why a file is refused: when `message` is not NULL, it
 * receives the file's name and the reason, cut to `message_size` bytes with its NUL ("" on
 * success). */
ZELVA1_API int zelva1_formats_load(const char* format_path, const char* assignment_path,
                                   zelva1_formats** formats, char* message, size_t message_size);

/* Frees a format table. */
ZELVA1_API int zelva1_formats_close(zelva1_formats* formats);

/* Takes a word apart; its decimal value comes from the format assigned to its label on input
 * `channel` (1..8), as the monitor's decimal column shows it. With `formats` NULL only the
 * fields are decoded and `channel` is not looked at. `decoded` must not be NULL. */
ZELVA1_API int zelva1_decode(zelva1_formats* formats, unsigned channel, uint32_t word,
                             zelva1_decoded* decoded);

/* ---- Label database ----------------------------------------------------------------- */

/* Reads a label database file (UTF-8 CSV with a header line: label, sdi, channel, name, units,
 * encoding, bits, resolution, min, max, min_interval_ms, max_interval_ms, discretes) with the
 * monitor's loader and its checks. A file that cannot be read gives ZELVA1_ERROR_FILE, one
 * whose content is wrong ZELVA1_ERROR_CONTENT; either way, when `message` is not NULL, it
 * receives the monitor's text naming the line, the column and the reason, cut to
 * `message_size` bytes with its NUL ("" on success). `path` (UTF-8) and `database` must not
 * be NULL. The database is read-only: any thread may use it while another does. */
ZELVA1_API int zelva1_database_open(const char* path, zelva1_database** database, char* message,
                                    size_t message_size);

/* Frees a label database. */
ZELVA1_API int zelva1_database_close(zelva1_database* database);

/* Reads a word received on input `channel` (1..8) by the database's row for it: the row of
 * that channel before a row for any channel, of the word's SDI before one for any SDI. A
 * word the database has no row for is ZELVA1_OK with `known` 0 and only the fields filled.
 * Texts too long for their field are cut before a whole letter. `reading` must not be NULL. */
ZELVA1_API int zelva1_database_decode(zelva1_database* database, unsigned channel, uint32_t word,
                                      zelva1_reading* reading);

/* Makes the word that says `value` for a label (0..255, usually written in octal: 0203) as
 * the database's row for it on input `channel` (1..8) describes it; the word decodes back to
 * the value rounded to the row's resolution. BNR and BCD take `value`; DISC takes `discretes`
 * (bit n set for the word's bit n + 1, only bits the row names) and ignores `value`. `sdi`
 * 0..3 picks the row of that SDI (or the row for any SDI) and goes into the word where the row
 * takes any; -1 picks the row of the lowest SDI that has one and keeps its SDI (0 for a row
 * for any SDI). `ssm` 0..3
 * is put in bits 31 (high) and 30, -1 gives normal operation for the encoding (BNR 3, BCD 0,
 * or 3 for a negative value, DISC 0). `flags` is 0 or ZELVA1_WRONG_PARITY and
 * ZELVA1_OUTSIDE_RANGE or'ed together. ZELVA1_ERROR_LABEL when there is no row for the
 * label (and SDI) on the channel; ZELVA1_ERROR_VALUE, with the reason in `message` when it
 * is not NULL, for NaN or infinity, a value the bits cannot hold, one outside the row's
 * min..max without ZELVA1_OUTSIDE_RANGE, bits the row does not name, an SDI the row fixes
 * otherwise or whose bits carry data. ZELVA1_ERROR_ARGUMENT for a label over 255, an SDI or
 * SSM out of range or another flag. `word` must not be NULL; *word is set on success. */
ZELVA1_API int zelva1_encode(zelva1_database* database, unsigned channel, unsigned label, int sdi,
                             int ssm, double value, uint32_t discretes, unsigned flags,
                             uint32_t* word, char* message, size_t message_size);

/* ---- Periodic transmission ----------------------------------------------------------- */

/* Starts sending `count` (1..ZELVA1_MAX_WORDS) words from an output, word k every
 * `intervals_ms[k]` milliseconds (greater than 0), on a thread of the library's own: each
 * burst of words that fall due together goes out as a single transmission, at absolute
 * deadlines that do not drift. The board's output array and its cyclic transmission are not
 * used; the other calls on the board go on as usual, a request at a time with the task's.
 * The words are timed by the output's bit rate as zelva1_initialize() of this board in the
 * same system last set it (12.5 kbit/s before any); ZELVA1_ERROR_BUS when the bus cannot carry
 * them at their intervals. Words and intervals are copied. `words`, `intervals_ms` and `task`
 * must not be NULL; *task is set on success.
 * A request the board fails stops the task: every later call on it but zelva1_task_state()
 * returns ZELVA1_ERROR_REQUEST with zelva1_system_error() set as the failed request left it,
 * and zelva1_task_state() says which request it was. zelva1_reset() and zelva1_initialize()
 * leave a task running; a board that refuses its transmissions after them stops it so. */
ZELVA1_API int zelva1_task_start(zelva1_board* board, unsigned channel, const uint32_t* words,
                                 const double* intervals_ms, size_t count, zelva1_task** task);

/* Changes word `index` (0..count - 1, else ZELVA1_ERROR_INDEX, as in the calls below) of a
 * running task: it goes out from its next deadline on. */
ZELVA1_API int zelva1_task_set_word(zelva1_task* task, unsigned index, uint32_t word);

/* Changes the interval of word `index` (greater than 0 ms): its next deadline is one new
 * interval after its last sending. ZELVA1_ERROR_BUS when the bus cannot carry the result,
 * which leaves the interval as it was. */
ZELVA1_API int zelva1_task_set_interval(zelva1_task* task, unsigned index, double interval_ms);

/* Pauses word `index` (`paused` 1) or sends it again (0) from one interval later on. */
ZELVA1_API int zelva1_task_pause(zelva1_task* task, unsigned index, int paused);

/* What word `index` of the task achieved so far; `timing` must not be NULL. */
ZELVA1_API int zelva1_task_timing(zelva1_task* task, unsigned index, zelva1_timing* timing);

/* Whether the task still sends: *running becomes 1, or 0 once a failed request stopped it;
 * then `message`, when it is not NULL, receives which request failed ("" while running),
 * cut to `message_size` bytes with its NUL. `running` must not be NULL. */
ZELVA1_API int zelva1_task_state(zelva1_task* task, int* running, char* message,
                                 size_t message_size);

/* Stops a task after the request in progress and closes its handle; the burst on the bus
 * finishes. From any thread, also while another thread is inside a call on the task. Closing
 * the task's board handle or its system stops and closes the task as well; a task running
 * when the process ends is left running until the end, harmlessly. Returns
 * ZELVA1_ERROR_REQUEST when a failed request had stopped it already, with the handle closed
 * all the same. */
ZELVA1_API int zelva1_task_stop(zelva1_task* task);

/* ---- Replay ------------------------------------------------------------------------- */

/* How zelva1_replay_start() sends a recording. */
#define ZELVA1_AS_RECORDED 0 /* every word once, in recorded order, at its recorded time */
#define ZELVA1_BY_LABEL 1    /* each label's last recorded value at its own interval */

/* States of a replay. */
#define ZELVA1_REPLAY_STOPPED 0 /* not started, or stopped */
#define ZELVA1_REPLAY_RUNNING 1
#define ZELVA1_REPLAY_PAUSED 2
#define ZELVA1_REPLAY_ENDED 3  /* every word sent (never while it loops) */
#define ZELVA1_REPLAY_FAILED 4 /* a request the board failed stopped an output */

/* What a recording holds, read through by zelva1_replay_open(). */
typedef struct zelva1_recording_info {
    uint64_t words;
    uint64_t first_ms; /* recorded times of the first and the last word */
    uint64_t last_ms;
    uint32_t inputs;   /* bit n - 1 set: input n was recorded */
    int32_t torn_line; /* the line of a last row cut short and skipped, 0 when none */
} zelva1_recording_info;

/* How a replay goes; zelva1_replay_defaults() fills it, a script changes what it needs. */
typedef struct zelva1_replay_options {
    uint32_t size; /* sizeof(zelva1_replay_options), as zelva1_replay_defaults() sets it */
    uint32_t mode; /* ZELVA1_AS_RECORDED or ZELVA1_BY_LABEL */
    uint32_t outputs[ZELVA1_MAX_CHANNELS]; /* outputs[n - 1]: the output recorded input n goes
                                              out on, 0 for none; default input 1 on output 1 */
    double speed;                          /* 0.1..10, default 1 */
    uint32_t loop;                         /* 1: from the start again at the end */
    uint32_t reserved;                     /* 0 */
    uint64_t start_ms;         /* recorded time to start at, counted from the first word */
    uint64_t longest_gap_ms;   /* longer pauses of the recording are cut to this; 0 keeps them */
    uint8_t labels[32];        /* bit (label % 8) of byte label / 8: the label is sent; all by
                                  default */
    zelva1_database* database; /* by label: the intervals of its rows; NULL: the intervals the
                                  recording shows */
} zelva1_replay_options;

/* How far a replay has come. */
typedef struct zelva1_replay_progress {
    int32_t state;                      /* ZELVA1_REPLAY_ */
    uint32_t passes;                    /* completed passes of a looped replay */
    uint64_t rows;                      /* rows of the recording read */
    uint64_t recorded_ms;               /* the recording's time reached, from its first word */
    uint64_t sent[ZELVA1_MAX_CHANNELS]; /* words sent from outputs 1..8 */
} zelva1_replay_progress;

/* Opens a recording the monitor wrote (CSV, with or without the label database's columns)
 * and reads it through. ZELVA1_ERROR_FILE when it cannot be opened, ZELVA1_ERROR_CONTENT when
 * it is damaged or holds no word; either way, when `message` is not NULL, it receives the
 * monitor's text naming the line, the column and the reason, cut to `message_size` bytes with
 * its NUL ("" on success). A last row cut short, as a recording ends when the program stops
 * in the middle of a row, is skipped (zelva1_recording_info.torn_line). `path` (UTF-8) and
 * `replay` must not be NULL. Nothing is sent before zelva1_replay_start(). */
ZELVA1_API int zelva1_replay_open(const char* path, zelva1_replay** replay, char* message,
                                  size_t message_size);

/* What the recording held when it was opened; `info` must not be NULL. */
ZELVA1_API int zelva1_replay_recording(zelva1_replay* replay, zelva1_recording_info* info);

/* Fills `options` with the defaults: as recorded, input 1 onto output 1 at ×1, every label,
 * once, from the start, pauses kept. `options` must not be NULL. */
ZELVA1_API int zelva1_replay_defaults(zelva1_replay_options* options);

/* Starts the replay onto a board's outputs on a thread of the library's own, as the monitor's
 * replay window does, at deadlines that do not drift; a replay already running is stopped
 * first. The recording is read again from its file, a tick ahead of the bus, so a recording
 * larger than memory replays. Each output is timed by its bit rate as zelva1_initialize() of
 * this board in the same system last set it (12.5 kbit/s before any). ZELVA1_ERROR_CHANNEL or
 * ZELVA1_ERROR_NO_CHANNEL for an output the board lacks, ZELVA1_ERROR_ARGUMENT for options
 * that cannot replay (no output, a speed outside 0.1..10, no label, a wrong size or mode),
 * ZELVA1_ERROR_CONTENT for a recording without words of the inputs chosen or damaged since it
 * was opened, ZELVA1_ERROR_BUS when an output cannot carry the words; the reason goes into
 * `message` when it is not NULL. Nothing is sent when it fails. The outputs' arrays and cyclic
 * transmission are not used. */
ZELVA1_API int zelva1_replay_start(zelva1_replay* replay, zelva1_board* board,
                                   const zelva1_replay_options* options, char* message,
                                   size_t message_size);

/* How far the replay has come; `progress` must not be NULL. For ZELVA1_REPLAY_FAILED
 * `message`, when it is not NULL, receives which output's request failed ("" otherwise). */
ZELVA1_API int zelva1_replay_state(zelva1_replay* replay, zelva1_replay_progress* progress,
                                   char* message, size_t message_size);

/* Holds every word back; nothing due is lost. Nothing happens to a replay that does not run. */
ZELVA1_API int zelva1_replay_pause(zelva1_replay* replay);

/* Goes on from where it was held, as if the pause had not been. */
ZELVA1_API int zelva1_replay_resume(zelva1_replay* replay);

/* While paused, as recorded: sends the next tick's words at once. */
ZELVA1_API int zelva1_replay_step(zelva1_replay* replay);

/* Stops the replay after the request in progress; it may be started again. Closing the
 * replay's board handle or its system stops it as well. */
ZELVA1_API int zelva1_replay_stop(zelva1_replay* replay);

/* Stops the replay and closes its handle. */
ZELVA1_API int zelva1_replay_close(zelva1_replay* replay);

#ifdef __cplusplus
}
#endif

#endif /* ZELVA1_H */
