#pragma once

// Whether the processor running the program has AVX2, asked once. The AVX2 paths are compiled for
// that target alone, so the question must be put outside them: code of such a function may use
// the instructions before any test within it.
inline bool processorHasAVX2() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}
