#include "csICCSpace.h"
#include "csLog.h"
#include "csMatrix3x3.h"

#include <gtest/gtest.h>

namespace {

TEST(csMatrix3x3, InvertsTheCAT02Matrix) {
    const csMatrix3x3 cat02(0.7328f, 0.4296f, -0.1624f, -0.7036f, 1.6975f, 0.0061f, 0.0030f,
                            0.0136f, 0.9834f);
    csMatrix3x3 inverse;
    ASSERT_EQ(cat02.invert(inverse), 0);
    // The published CIECAM02 inverse.
    const double expected[3][3] = {
        {1.096123820835514, -0.2788690002182872, 0.18274517938277304},
        {0.45436904197535916, 0.4735331543074117, 0.0720978037172291},
        {-0.009627608738429352, -0.005698031216113419, 1.0153256399545425}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(inverse(r, c), expected[r][c], 2e-7) << r << "," << c;
}

TEST(csMatrix3x3, SingularMatricesFailAndLeaveTheResult) {
    clearLog();
    const csMatrix3x3 unchanged(1, 2, 3, 4, 5, 6, 7, 8, 10);
    csMatrix3x3 result = unchanged;
    EXPECT_EQ(csMatrix3x3(1, 2, 3, 1, 2, 3, 0, 1, 5).invert(result), -1);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(result.row(r), unchanged.row(r));
    EXPECT_STREQ(logTitle(0), "cannot invert matrix");
    EXPECT_STREQ(logMessage(0), "determinant == 0, matrix inversion not possible");
    clearLog();
}

TEST(csICCSpace, KnownSpacesChannelsAndRanges) {
    const csICCSpace lab(Signature("Lab "));
    EXPECT_EQ(lab.index(), 2);
    EXPECT_EQ(lab.channelMin(1), -128.0f);
    EXPECT_EQ(lab.channelMax(2), 127.0f);
    EXPECT_EQ(csICCSpace(Signature("CMYK")).numChannels(), 4u);
    EXPECT_EQ(csICCSpace(Signature("GCLR")).numChannels(), 16u);
    EXPECT_EQ(csICCSpace(Signature("MCHG")).index(), 42);

    csICCSpace rgb(Signature("RGB "));
    rgb.channelMaxs()[0] = 255;
    EXPECT_EQ(rgb.resetRanges(), 16);
    EXPECT_EQ(rgb.channelMax(0), 100.0f);
}

TEST(csICCSpace, UnknownSignatureHasNoChannels) {
    const csICCSpace unknown(Signature("cmyk"));
    EXPECT_FALSE(unknown.isKnown());
    EXPECT_EQ(unknown.numChannels(), 0u);
    EXPECT_DEATH((void)unknown.channelMin(0), "Assertion `channel < numChannels\\(\\)' failed");
}

} // namespace
