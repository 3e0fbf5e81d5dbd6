#include "csChromaticAdaptation.h"

#include <gtest/gtest.h>

namespace {

TEST(ChromaticAdaptation, BradfordD65ToD50) {
    // The published Bradford matrix for these two whites (Lindbloom's tables).
    const double d65[3] = {0.95047, 1.0, 1.08883}, d50[3] = {0.96422, 1.0, 0.82521};
    const double expected[3][3] = {{1.0478112, 0.0228866, -0.0501270},
                                   {0.0295424, 0.9904844, -0.0170491},
                                   {-0.0092345, 0.0150436, 0.7521316}};
    const csChromaticAdaptation adaptation(d65, d50);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(adaptation.matrix(i, j), expected[i][j], 5e-7) << i << ", " << j;
}

TEST(ChromaticAdaptation, WhiteGoesToWhiteOnAnyScale) {
    const double a[3] = {109.85, 100, 35.585}, d50[3] = {96.42, 100, 82.49};
    const csChromaticAdaptation adaptation(a, d50);
    double white[3];
    adaptation.apply(a, white);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(white[k], d50[k], 1e-10);
    double inPlace[3] = {a[0], a[1], a[2]};
    adaptation.apply(inPlace, inPlace);
    EXPECT_EQ(inPlace[2], white[2]) << "also in place";
}

} // namespace
