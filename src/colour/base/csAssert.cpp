#include "csAssert.h"

#include <cstdio>
#include <cstdlib>

void csAssertFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: Assertion `%s' failed.\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}
