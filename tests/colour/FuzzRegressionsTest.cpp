// Inputs that once broke the profile reader (fuzz/regressions) and the hand-made seeds of the
// fuzzer (fuzz/seeds: version 4 luts, whole and broken) must pass the whole exercise.

#include "ProfileExercise.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

unsigned replayFolder(const char* folder) {
    unsigned replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().string());
        exerciseProfileBytes(bytes.data(), bytes.size());
        ++replayed;
    }
    return replayed;
}

TEST(FuzzRegressions, KeptFindingsNoLongerBreakAnything) {
    EXPECT_GE(replayFolder(TINTORA_FUZZ_REGRESSIONS), 2u);
}

TEST(FuzzRegressions, SeedsPassTheExercise) { EXPECT_GE(replayFolder(TINTORA_FUZZ_SEEDS), 8u); }

} // namespace
