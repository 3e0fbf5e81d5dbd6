// The consistency check must stay active in release builds, where NDEBUG is defined.
#ifndef NDEBUG
#define NDEBUG
#endif

#include "csAssert.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int checkedDivide(int numerator, int denominator) {
    CS_ASSERT(denominator != 0);
    return numerator / denominator;
}

TEST(csAssert, PassingConditionIsEvaluatedExactlyOnce) {
    int evaluations = 0;
    CS_ASSERT(++evaluations == 1);
    EXPECT_EQ(evaluations, 1);
    EXPECT_EQ(checkedDivide(9, 3), 3);
}

TEST(csAssertDeathTest, FailureNamesConditionFileAndLineEvenWithNDEBUG) {
    const auto fail = [] { (void)checkedDivide(1, 0); };
    EXPECT_DEATH(fail(), "csAssertTest\\.cpp:[0-9]+: Assertion `denominator != 0' failed\\.");
}

TEST(csAssertDeathTest, ReportsTheLineOfTheCheck) {
    constexpr int checkLine = __LINE__ + 1;
    const auto fail = [] { CS_ASSERT(1 + 1 == 3); };
    EXPECT_DEATH(fail(), std::string(":") + std::to_string(checkLine) +
                             ": Assertion `1 \\+ 1 == 3' failed");
}

} // namespace
