// Inputs that once broke the profile reader (fuzz/regressions) must now pass the whole exercise.

#include "ProfileExercise.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

TEST(FuzzRegressions, KeptFindingsNoLongerBreakAnything) {
    unsigned replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TINTORA_FUZZ_REGRESSIONS)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().string());
        exerciseProfileBytes(bytes.data(), bytes.size());
        ++replayed;
    }
    EXPECT_GE(replayed, 2u);
}

} // namespace
