#include "csSpectrum.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

csSpectrum fromValues(const std::vector<float>& values, unsigned start, unsigned step) {
    return csSpectrum(values.data(), static_cast<unsigned>(values.size()), start, step);
}

TEST(csSpectrum, ValueAtSamplesAndOutsideTheGrid) {
    const csSpectrum s = fromValues({2, 4, 8, 16}, 400, 10);
    EXPECT_EQ(s.valueAt(410), 4.0f);
    EXPECT_EQ(s.valueAt(399), 2.0f);
    EXPECT_EQ(s.valueAt(431), 16.0f);
}

TEST(csSpectrum, CubicInterpolationAndItsEndCorrections) {
    // A straight line: inside, the cubic correction vanishes; at the ends the one-sided
    // correction does not: (0 + 1) / 2 + (1 - 2) / 16 and (2 + 3) / 2 + (2 - 1) / 16.
    const csSpectrum line = fromValues({0, 1, 2, 3}, 400, 10);
    EXPECT_EQ(line.valueAt(415), 1.5f);
    EXPECT_EQ(line.valueAt(405), 0.4375f);
    EXPECT_EQ(line.valueAt(425), 2.5625f);

    // Squares (k + 1)^2 at 0, 10, ..., 40 nm. Inside, the four-point Lagrange cubic reproduces
    // the parabola: at 13 nm, 2.3^2 = 5.29. At 3 nm (t = 0.3, u = 0.7, w = 0.035):
    // 1 x 0.7 + 4 x 0.3 + 0.035 x (3 x 0.3 x 4 - 1.3 x 9) = 1.6165. At 37 nm (t = 0.7):
    // 16 x 0.3 + 25 x 0.7 + 0.035 x (3 x 0.3 x 16 - 1.3 x 9) = 22.3945.
    const csSpectrum squares = fromValues({1, 4, 9, 16, 25}, 0, 10);
    EXPECT_FLOAT_EQ(squares.valueAt(13), 5.29f);
    EXPECT_FLOAT_EQ(squares.valueAt(3), 1.6165f);
    EXPECT_FLOAT_EQ(squares.valueAt(37), 22.3945f);
    // Two samples interpolate linearly.
    EXPECT_FLOAT_EQ(fromValues({1, 3}, 300, 600).valueAt(450), 1.5f);
}

TEST(csSpectrum, ResamplingAndMixedGridArithmetic) {
    std::vector<float> fine(81);
    for (unsigned k = 0; k < fine.size(); ++k)
        fine[k] = static_cast<float>(k);
    const csSpectrum a = fromValues(fine, 380, 5);
    const csSpectrum b = fromValues(std::vector<float>(31, 1.0f), 400, 10);

    EXPECT_EQ(a.resampled(31, 400, 10)[30], 64.0f);
    const csSpectrum sum = a + b;
    EXPECT_EQ(sum.count() * 1000 + sum.start() + sum.step(), 81385u) << "the finer grid";
    EXPECT_EQ(sum[0], 1.0f) << "b holds its first sample below its grid";
    EXPECT_EQ(sum[80], 81.0f) << "and its last above";
    csSpectrum product = b;
    product = a;
    product *= a;
    product /= 3.0;
    EXPECT_EQ(product.scaled(0.5)[3], 1.5f);

    const csSpectrum::Grid grid = csSpectrum::commonGrid(b, fromValues({1, 2}, 300, 600));
    EXPECT_EQ(grid.start * 10000 + grid.step * 100 + grid.count, 3001061u);
}

TEST(csSpectrumDeathTest, EmptyOrStepless) {
    const float value = 1.0f;
    EXPECT_DEATH(csSpectrum(&value, 0, 380, 5), "Assertion `num != 0' failed");
    EXPECT_DEATH(csSpectrum(&value, 1, 380, 0), "Assertion `lInc != 0' failed");
}

} // namespace
