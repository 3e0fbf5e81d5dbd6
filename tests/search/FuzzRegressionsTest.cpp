// Inputs that once broke the profile reader or the window's path (fuzz/regressions) and the
// hand-made seeds of the fuzzers (fuzz/seeds: version 4 luts, whole and broken, and luts whose
// channels disagree with their profile) must pass both exercises.

#include "BindingExercise.h"
#include "ProfileExercise.h"
#include "TestProfiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

unsigned replayFolder(const char* folder) {
    unsigned replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const std::vector<std::uint8_t> bytes = fileBytes(entry.path());
        SCOPED_TRACE(entry.path().string());
        exerciseProfileBytes(bytes.data(), bytes.size());
        exerciseBindingBytes(bytes.data(), bytes.size());
        ++replayed;
    }
    return replayed;
}

TEST(FuzzRegressions, KeptFindingsNoLongerBreakAnything) {
    EXPECT_GE(replayFolder(TINTORA_FUZZ_REGRESSIONS), 4u);
}

TEST(FuzzRegressions, SeedsPassTheExercises) { EXPECT_GE(replayFolder(TINTORA_FUZZ_SEEDS), 8u); }

} // namespace
