#include "DiagramLAB.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The a-b diagram as the results fill it: a fixed range of +-50, grid every 25 from -100.
void configure(DiagramLAB& d) {
    d.resize(350, 260);
    d.backgroundColor = QColor(128, 128, 128);
    d.autoXMin = d.autoXMax = d.autoYMin = d.autoYMax = false;
    d.xMin = d.yMin = -50;
    d.xMax = d.yMax = 50;
    d.gridOriginX = d.gridOriginY = -100;
    d.gridStepX = d.gridStepY = 25;
}

TEST(DiagramLAB, IsoDifferenceCircle) {
    DiagramLAB d;
    d.setReference(50, 10, 20);
    d.setDeltaE(5);
    ASSERT_EQ(d.curvePointCount(), 90);
    for (int k = 0; k < 90; ++k)
        EXPECT_NEAR(std::hypot(d.curveX()[k] - 10, d.curveY()[k] - 20), 5, 0.05) << k;
    EXPECT_NEAR(d.curveX()[0], 15, 0.05) << "the first point at angle 0, right of the centre";
    EXPECT_DOUBLE_EQ(d.curveY()[0], 20);

    // Without a target the curve is the centre itself.
    d.setDeltaE(0);
    EXPECT_EQ(d.curveX()[45], 10);
    EXPECT_EQ(d.findRadius(1, 0), 0);
}

TEST(DiagramLAB, ViewsAndTheHueDirection) {
    DiagramLAB d;
    d.setNumLists(1);
    d.setReference(50, 10, 20);
    d.setDeltaE(5);
    double x0, x1, y0, y1;
    d.setView(1);
    d.dataBounds(x0, x1, y0, y1);
    EXPECT_NEAR((x0 + x1) / 2, 10, 1e-9) << "a* against L*";
    EXPECT_NEAR((y0 + y1) / 2, 50, 1e-9);
    d.setView(2);
    d.dataBounds(x0, x1, y0, y1);
    EXPECT_NEAR((x0 + x1) / 2, 20, 1e-9) << "b* against L*";
    d.setHueAngle(90);
    d.setView(3);
    d.dataBounds(x0, x1, y0, y1);
    EXPECT_NEAR((x0 + x1) / 2, 20, 1e-9) << "hue angle 90: b* horizontally";
    EXPECT_NEAR(x1 - x0, 10, 0.1);
}

TEST(DiagramLAB, TheABPlaneStaysSquare) {
    DiagramLAB d;
    d.setNumLists(1);
    d.autoXMin = d.autoXMax = d.autoYMin = d.autoYMax = false;
    d.xMin = d.yMin = -50;
    d.xMax = d.yMax = 50;
    d.resize(450, 250);
    d.setView(0);
    d.updateView();
    EXPECT_DOUBLE_EQ(d.scaleX(), d.scaleY());
    EXPECT_DOUBLE_EQ(d.viewXMin() + d.viewXMax(), 0) << "the longer side more, centred";
    d.setView(3);
    d.updateView();
    EXPECT_DOUBLE_EQ(d.viewXMax() - d.viewXMin(), 100) << "the C-L plane fills its area";
}

TEST(DiagramLAB, DataBounds) {
    DiagramLAB d;
    double x0 = 1, x1 = 1, y0 = 1, y1 = 1;
    d.setNumLists(2);
    d.appendPoint(0, -5, 3, 0);
    d.appendPoint(1, 40, 8, 1);
    d.setDeltaE(5);
    d.dataBounds(x0, x1, y0, y1);
    EXPECT_EQ(x0, -5) << "no reference: the curve is ignored";
    EXPECT_EQ(y1, 8);
    d.setReference(50, 60, 0);
    d.dataBounds(x0, x1, y0, y1);
    EXPECT_NEAR(x1, 65, 0.05) << "widened by the circle around (60, 0)";
    EXPECT_NEAR(y0, -5, 0.05);
}

TEST(DiagramLAB, ClicksOnTheReferenceAndTheAchievedColour) {
    DiagramLAB d;
    configure(d);
    d.setNumLists(2);
    d.appendPoint(0, 10, 20, 0);
    d.appendPoint(1, -20, -10, 1);
    d.updateView();
    QSignalSpy spy(&d, &DiagramLAB::selectedByMouseSig);
    QTest::mouseClick(&d, Qt::LeftButton, {},
                      QPoint(d.valueToPixelX(10) + 4, d.valueToPixelY(20) - 3));
    QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(d.valueToPixelX(-20), d.valueToPixelY(-10)));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy[1][0].toUInt(), 1u);
}

TEST(DiagramLAB, PaintsBackgroundAndTheCurveOnlyWithAReference) {
    DiagramLAB d;
    configure(d);
    d.setNumLists(1);
    d.setDeltaE(20);
    d.updateView();
    // The circle of radius 20 around the origin, where it crosses the positive a* axis.
    const auto blackNear = [&](const QImage& picture) {
        bool black = false;
        for (int dx = -2; dx <= 2; ++dx)
            black = black || picture.pixelColor(d.valueToPixelX(20) + dx, d.valueToPixelY(0)) ==
                                 QColor(0, 0, 0);
        return black;
    };
    QImage image = d.grab().toImage();
    EXPECT_EQ(image.pixelColor(d.valueToPixelX(-10), d.valueToPixelY(10)), QColor(128, 128, 128));
    EXPECT_FALSE(blackNear(image)) << "reference L* 0: no curve";
    d.setReference(50, 0, 0);
    image = d.grab().toImage();
    EXPECT_TRUE(blackNear(image));
    EXPECT_EQ(image.pixelColor(d.valueToPixelX(-25), d.valueToPixelY(40)), QColor(200, 200, 200))
        << "grid over the background";
}

TEST(DiagramLABDeathTest, UnknownViews) {
    DiagramLAB d;
    EXPECT_EXIT(d.setView(4), testing::ExitedWithCode(1),
                "DiagramLAB::precalcIsoDeltaE: unknown view!");
}

} // namespace
