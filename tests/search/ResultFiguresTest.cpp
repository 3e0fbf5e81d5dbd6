#include "ResultFigures.h"
#include "ViewingConditions.h"
#include "csContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

class Figures : public testing::Test {
protected:
    Figures() { setWindowViewingConditions(context); }
    ResultFigures of(double L, double a, double b, const double reference[3] = nullptr) {
        static const double grey[3] = {50, 0, 0};
        const double achieved[3] = {L, a, b};
        return resultFigures(reference ? reference : grey, achieved, 0, context);
    }
    csContext context;
};

TEST_F(Figures, DifferencesAgainstTheReference) {
    EXPECT_EQ(fieldText(of(50, 100, -0.05).h, 2), "-0.03") << "a hue just below 0 stays negative";

    const double reference[3] = {50, 30, 40};
    const ResultFigures f = of(52, 24, 32, reference); // same hue, chroma 40 against 50
    EXPECT_DOUBLE_EQ(f.dL, 2);
    EXPECT_DOUBLE_EQ(f.da, -6);
    EXPECT_DOUBLE_EQ(f.db, -8);
    EXPECT_DOUBLE_EQ(f.dC, -10);
    EXPECT_LT(f.dH, 1e-6) << "never negative, never NaN when rounding makes the radicand < 0";
    EXPECT_GE(f.dH, 0);
    EXPECT_DOUBLE_EQ(f.total, std::sqrt(104.0)) << "method 0";

    const ResultFigures turned = of(50, 40, 30, reference);
    EXPECT_NEAR(turned.dH, std::sqrt(200.0), 1e-9) << "same chroma and lightness: all hue";
}

// The exact binary value decides; an exact half goes away from zero, as the window's Qt
// formatting does it, in every locale.
TEST(FieldText, ExactValuesRoundHalfAwayFromZero) {
    const std::pair<double, const char*> twoDecimals[] = {
        {0.125, "0.13"},   {-0.125, "-0.13"}, {15.625, "15.63"}, {2.675, "2.67"},
        {12.345, "12.35"}, {1.005, "1.00"},   {0.045, "0.04"},   {99.999, "100.00"},
        {-0.001, "-0.00"}, {-0.0, "0.00"},    {1e-300, "0.00"},  {1e300 * 1e300, "inf"}};
    for (const auto& [value, text] : twoDecimals)
        EXPECT_EQ(fieldText(value, 2), text) << value;
    EXPECT_EQ(fieldText(std::nan(""), 2), "nan");
    EXPECT_EQ(fieldText(9.5, 0), "10");

    EXPECT_EQ(deltaText(-0.04), "0.0") << "no negative zero among the differences";
    EXPECT_EQ(deltaText(-0.06), "-0.1");
    EXPECT_EQ(deltaText(1.05), "1.1") << "stored just above";
    EXPECT_EQ(deltaText(12.25), "12.3");

    // A tolerance judges the total as shown: 2.04 shows "2.0" and passes 2, 2.05 (stored just
    // below, shown "2.0") too, 2.06 does not.
    EXPECT_TRUE(withinTolerance(2.04, 2));
    EXPECT_TRUE(withinTolerance(2.05, 2));
    EXPECT_FALSE(withinTolerance(2.06, 2));
    EXPECT_FALSE(withinTolerance(std::nan(""), 1e300));
}

} // namespace
