#pragma once

// The colour library's diagnostics log: one process-wide list of entries, each a level, a short
// title and a formatted message. Library operations report failure by their return code and say
// why here. The storage is fixed (5000 entries, 100000 bytes of text) and never allocates; when it
// is full the log prints everything with a banner and ends the process with status 1.
//
// Levels: 0 debug (D), 1 information (I), 2 warning (W, the operation went on), 3 error (E, the
// operation failed), 4 fatal misuse (F, a null pointer or an operation that does not exist).

#define CS_LOG_PRINTF(formatIndex, firstArgument)                                                  \
    __attribute__((format(printf, formatIndex, firstArgument)))

void logDebug(const char* title, const char* format, ...) CS_LOG_PRINTF(2, 3);
void logInfo(const char* title, const char* format, ...) CS_LOG_PRINTF(2, 3);
void logWarning(const char* title, const char* format, ...) CS_LOG_PRINTF(2, 3);
void logError(const char* title, const char* format, ...) CS_LOG_PRINTF(2, 3);
void logFatal(const char* title, const char* format, ...) CS_LOG_PRINTF(2, 3);

// Empties the log; titles and messages handed out before become invalid.
void clearLog();

// The index of the newest entry, or 0 when the log is empty.
unsigned lastLogIndex();
// The number of entries in the log.
unsigned logCount();

// Level of entry index, 0 for an index beyond the log.
int logLevel(unsigned index);
// Title and message of entry index; "internal error: bad entry requested!" beyond the log.
const char* logTitle(unsigned index);
const char* logMessage(unsigned index);

// Writes entry index to standard error as "%c '%s'\n%s\n" (level letter, title, message), unless
// the index is beyond the log or the level is below the print threshold.
void printLogEntry(unsigned index);
// Writes every entry, in order, to standard error.
void printLog();

// Entries below this level are not printed (0 by default: everything is).
void setLogThreshold(int level);
// When on, every entry is also written to standard error as it is added (off by default).
void setLogEcho(bool echo);
