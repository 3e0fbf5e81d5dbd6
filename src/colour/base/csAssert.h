#pragma once

// Internal consistency check of the colour library. Unlike assert() it stays active in release
// builds: a broken invariant in colour arithmetic would otherwise produce plausible but wrong
// numbers. It guards programming errors only; file contents and user input are checked with
// return codes and log entries instead.
#define CS_ASSERT(condition)                                                                       \
    ((condition) ? static_cast<void>(0) : csAssertFailed(#condition, __FILE__, __LINE__))

// Reports the failed condition with its source file and line on standard error, then aborts.
[[noreturn]] void csAssertFailed(const char* condition, const char* file, int line);
