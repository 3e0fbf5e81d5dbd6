// libFuzzer target: arbitrary bytes as a profile file given to the window.

#include "BindingExercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    exerciseBindingBytes(data, size);
    return 0;
}
