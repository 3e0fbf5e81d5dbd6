#include "csLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr unsigned maxEntries = 5000;
constexpr std::size_t poolSize = 100000;
constexpr const char* letters = "DIWEF";
constexpr const char* badEntry = "internal error: bad entry requested!";

struct Log {
    unsigned count = 0;
    int levels[maxEntries] = {};
    const char* titles[maxEntries] = {};
    const char* messages[maxEntries] = {};
    char pool[poolSize] = {};
    char* position = pool;
    int threshold = 0;
    bool echo = false;
};

Log& theLog() {
    static Log log;
    return log;
}

[[noreturn]] void dumpAndExit() {
    std::fputs("\n===========================================================\n"
               "E R R O R   L O G   F U L L   -   D U M P   A N D   E X I T\n"
               "===========================================================\n",
               stderr);
    printLog();
    std::fflush(stderr);
    std::exit(1);
}

// Library batches search on several threads; an entry is added by one at a time.
std::mutex adding;

void addEntry(int level, const char* title, const char* format, std::va_list arguments) {
    const std::lock_guard<std::mutex> lock(adding);
    Log& log = theLog();
    if (log.echo) {
        std::va_list echoArguments;
        va_copy(echoArguments, arguments);
        std::fprintf(stderr, "%c: '%s'\n", letters[level], title);
        std::vfprintf(stderr, format, echoArguments);
        std::fputc('\n', stderr);
        va_end(echoArguments);
    }

    // The title and its NUL must fit in the free space without touching the pool's last byte.
    const std::size_t freeForTitle = static_cast<std::size_t>(log.pool + poolSize - log.position);
    const std::size_t titleLength = std::strlen(title);
    if (titleLength + 2 > freeForTitle)
        dumpAndExit();
    std::memcpy(log.position, title, titleLength + 1);
    log.titles[log.count] = log.position;
    log.position += titleLength + 1;

    const std::size_t freeForMessage = static_cast<std::size_t>(log.pool + poolSize - log.position);
    const int written = std::vsnprintf(log.position, freeForMessage, format, arguments);
    if (written < 0 || static_cast<std::size_t>(written) + 1 > freeForMessage)
        dumpAndExit();
    log.messages[log.count] = log.position;
    log.levels[log.count] = level;
    log.position += written + 1;
    ++log.count;

    if (log.count > maxEntries - 1)
        dumpAndExit();
}

} // namespace

#define CS_DEFINE_LOG_FUNCTION(name, level)                                                        \
    void name(const char* title, const char* format, ...) {                                        \
        std::va_list arguments;                                                                    \
        va_start(arguments, format);                                                               \
        addEntry(level, title, format, arguments);                                                 \
        va_end(arguments);                                                                         \
    }

CS_DEFINE_LOG_FUNCTION(logDebug, 0)
CS_DEFINE_LOG_FUNCTION(logInfo, 1)
CS_DEFINE_LOG_FUNCTION(logWarning, 2)
CS_DEFINE_LOG_FUNCTION(logError, 3)
CS_DEFINE_LOG_FUNCTION(logFatal, 4)

void clearLog() {
    Log& log = theLog();
    log.count = 0;
    log.position = log.pool;
}

unsigned lastLogIndex() { return theLog().count == 0 ? 0 : theLog().count - 1; }
unsigned logCount() { return theLog().count; }

int logLevel(unsigned index) { return index < theLog().count ? theLog().levels[index] : 0; }

const char* logTitle(unsigned index) {
    return index < theLog().count ? theLog().titles[index] : badEntry;
}

const char* logMessage(unsigned index) {
    return index < theLog().count ? theLog().messages[index] : badEntry;
}

void printLogEntry(unsigned index) {
    const Log& log = theLog();
    if (index >= log.count || log.levels[index] < log.threshold)
        return;
    std::fprintf(stderr, "%c '%s'\n%s\n", letters[log.levels[index]], log.titles[index],
                 log.messages[index]);
}

void printLog() {
    for (unsigned i = 0; i < theLog().count; ++i)
        printLogEntry(i);
}

void setLogThreshold(int level) { theLog().threshold = level; }
void setLogEcho(bool echo) { theLog().echo = echo; }
