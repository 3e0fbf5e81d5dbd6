// libFuzzer target: arbitrary bytes as an ICC profile.

#include "ProfileExercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    exerciseProfileBytes(data, size);
    return 0;
}
