#include "Diagram.h"
#include "DiagramTip.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The base diagram with a record of the points clicked.
class TestDiagram : public Diagram {
public:
    TestDiagram() { resize(350, 240); } // plot area 300 x 200
    std::vector<std::uint32_t> selected;

protected:
    void pointSelected(std::uint32_t tag) override { selected.push_back(tag); }
};

TEST(Diagram, AutomaticRangePadsTheDataAndMapsToPixels) {
    TestDiagram d;
    d.setNumLists(1);
    d.appendPoint(0, 0, 10, 0);
    d.appendPoint(0, 100, 60, 1);
    d.updateView();
    EXPECT_DOUBLE_EQ(d.viewXMin(), -5);
    EXPECT_DOUBLE_EQ(d.viewXMax(), 105.25) << "the upper pad is 5 % of the widened range";
    EXPECT_DOUBLE_EQ(d.viewYMin(), 7.5);
    EXPECT_DOUBLE_EQ(d.viewYMax(), 62.625);
    EXPECT_EQ(d.valueToPixelX(105.25), 330);
    EXPECT_EQ(d.valueToPixelY(62.625), 20) << "pixel y grows downwards";
    EXPECT_NEAR(d.pixelToValueY(120), 62.625 - 100 / d.scaleY(), 1e-12);

    // A fixed start for the y minimum replaces the first point's y.
    d.useYMinStart = true;
    d.yMinStart = 0;
    d.updateView();
    EXPECT_DOUBLE_EQ(d.viewYMin(), -3);
}

TEST(Diagram, WithoutPointsTheRangeStaysAndAZeroRangeMapsToTheMiddle) {
    TestDiagram d;
    d.setNumLists(3);
    d.xMin = -20;
    d.xMax = 20;
    d.yMin = d.yMax = 7;
    d.updateView();
    EXPECT_EQ(d.viewXMin(), -20);
    EXPECT_EQ(d.scaleY(), 0);
    EXPECT_EQ(d.pixelToValueY(123), 7);
    EXPECT_EQ(d.valueToPixelY(1000), 20) << "every value at the margin";
}

TEST(Diagram, GridPositions) {
    EXPECT_EQ(Diagram::gridPositions(-100, 25, -50, 50),
              (std::vector<double>{-50, -25, 0, 25, 50}));
    EXPECT_EQ(Diagram::gridPositions(0, 10, -5, 105.25),
              (std::vector<double>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(Diagram::gridPositions(3, 25, -50, 50), (std::vector<double>{-47, -22, 3, 28}));
    EXPECT_TRUE(Diagram::gridPositions(0, -1, -50, 50).empty());
}

TEST(Diagram, LabelsNeverRunTogetherAndZeroKeepsItsLabel) {
    TestDiagram d;
    d.setNumLists(1);
    d.autoXMin = d.autoXMax = d.autoYMin = d.autoYMax = false;
    d.gridOriginX = d.gridOriginY = -100;
    d.gridStepX = d.gridStepY = 25;
    for (const double range : {50.0, 125.0, 400.0}) {
        d.xMin = d.yMin = -range;
        d.xMax = d.yMax = range;
        d.updateView();
        const QFontMetrics metrics(d.font());
        const std::vector<double> xs = d.labelledValues(true);
        ASSERT_FALSE(xs.empty());
        EXPECT_NE(std::find(xs.begin(), xs.end(), 0.0), xs.end()) << range;
        for (std::size_t i = 1; i < xs.size(); ++i) {
            const int room = d.valueToPixelX(xs[i]) - d.valueToPixelX(xs[i - 1]);
            const int needed = (metrics.horizontalAdvance(QString::number(xs[i - 1], 'f', 0)) +
                                metrics.horizontalAdvance(QString::number(xs[i], 'f', 0))) /
                               2;
            EXPECT_GT(room, needed) << range << ": " << xs[i - 1] << " and " << xs[i];
        }
        const std::vector<double> ys = d.labelledValues(false);
        for (std::size_t i = 1; i < ys.size(); ++i)
            EXPECT_GT(d.valueToPixelY(ys[i - 1]) - d.valueToPixelY(ys[i]), metrics.height());
    }
    d.xMin = d.xMax = d.yMin = d.yMax = 0;
    d.updateView();
    EXPECT_TRUE(d.labelledValues(true).empty() && d.labelledValues(false).empty())
        << "a range without extent has no labels, not two 0s on top of each other";
}

TEST(Diagram, NearestPointRules) {
    TestDiagram d;
    d.setNumLists(2);
    d.autoXMin = d.autoXMax = d.autoYMin = d.autoYMax = false;
    // 1000 data units over 300 pixels: 4 data units are a little over one pixel.
    d.xMin = d.yMin = 0;
    d.xMax = d.yMax = 1000;
    d.appendPoint(0, 500, 500, 7);
    d.updateView();
    const QPoint at(d.valueToPixelX(500), d.valueToPixelY(500));
    EXPECT_TRUE(d.findNearestPoint(at).found);
    const QPoint near(d.valueToPixelX(504) + 1, at.y());
    ASSERT_LE(near.x() - at.x(), 10);
    EXPECT_FALSE(d.findNearestPoint(near).found) << "over 3 data units away";
    QTest::mouseClick(&d, Qt::LeftButton, {}, near);
    QTest::mouseClick(&d, Qt::LeftButton, {}, at);
    EXPECT_EQ(d.selected, std::vector<std::uint32_t>{7});

    // 10 data units over 300 pixels: one data unit is 30 pixels, too far to be meant.
    d.xMax = d.yMax = 10;
    d.clearLists();
    d.appendPoint(0, 5, 5, 1);
    d.updateView();
    EXPECT_FALSE(d.findNearestPoint(QPoint(d.valueToPixelX(6), d.valueToPixelY(5))).found);
    EXPECT_TRUE(d.findNearestPoint(QPoint(d.valueToPixelX(5.2), d.valueToPixelY(5))).found);

    // Equal distances: the lower list, then the earlier point.
    d.clearLists();
    d.appendPoint(1, 5.1, 5, 11);
    d.appendPoint(0, 4.9, 5, 10);
    d.appendPoint(0, 5.1, 5, 12);
    d.updateView();
    const Diagram::NearestPoint tie =
        d.findNearestPoint(QPoint(d.valueToPixelX(5), d.valueToPixelY(5)));
    ASSERT_TRUE(tie.found);
    EXPECT_EQ(tie.list * 100 + tie.tag, 10u);
}

TEST(Diagram, TipNamesThePointUnderThePointer) {
    TestDiagram d;
    d.setNumLists(3);
    d.appendPoint(2, 40, 60, 9);
    d.appendPoint(2, 0, 0, 8);
    d.updateView();
    QSignalSpy spy(&d, &Diagram::selectedAsTip);
    d.tip()->text = "reference";
    d.tip()->maybeTip(QPoint(d.valueToPixelX(40), d.valueToPixelY(60)));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toUInt() * 100 + spy[0][1].toUInt(), 209u) << "list and tag";
    d.tip()->maybeTip(QPoint(d.valueToPixelX(20), d.valueToPixelY(30)));
    EXPECT_EQ(spy.count(), 1) << "nothing near";
}

TEST(Diagram, PaintsGridFrameAndClippedData) {
    TestDiagram d;
    d.autoXMin = d.autoXMax = d.autoYMin = d.autoYMax = false;
    d.xMin = d.yMin = -50;
    d.xMax = d.yMax = 50;
    d.gridOriginX = d.gridOriginY = -100;
    d.gridStepX = d.gridStepY = 25;
    d.setNumLists(2);
    d.setColor(0, QColor(255, 0, 0));
    d.appendPoint(0, -80, 10, 0); // runs out of the view on the left
    d.appendPoint(0, 80, 10, 1);
    d.setColor(1, QColor(0, 0, 255));
    d.setDataStyle(1, Diagram::circles);
    d.setPointSize(1, 6);
    d.appendPoint(1, 10, -30, 2);
    const QImage image = d.grab().toImage();
    d.updateView();
    const int lineY = d.valueToPixelY(10);
    EXPECT_EQ(image.pixelColor(d.valueToPixelX(-40), lineY), QColor(255, 0, 0));
    EXPECT_NE(image.pixelColor(d.marginLeft - 3, lineY), QColor(255, 0, 0)) << "clipped";
    EXPECT_EQ(image.pixelColor(d.valueToPixelX(25), d.valueToPixelY(-40)), QColor(200, 200, 200))
        << "grid line at 25";
    // The circle's outline, 3 pixels left of its centre.
    EXPECT_EQ(image.pixelColor(d.valueToPixelX(10) - 3, d.valueToPixelY(-30)), QColor(0, 0, 255));
}

TEST(Diagram, SeparateAxesOnlyWithAnOffset) {
    TestDiagram d;
    d.xMin = d.yMin = 0;
    d.xMax = d.yMax = 100;
    d.labelsX = d.labelsY = false;
    d.xTitle = "a";
    d.yTitle = "b";
    const int below = d.marginTop + 200 + 8;
    EXPECT_NE(d.grab().toImage().pixelColor(150, below), QColor(0, 0, 0));
    d.axisOffset = 8;
    const QImage image = d.grab().toImage();
    EXPECT_EQ(image.pixelColor(150, below), QColor(0, 0, 0)) << "x axis 8 pixels below the frame";
}

TEST(DiagramDeathTest, SettersOutOfBoundsEndTheProcess) {
    TestDiagram d;
    const auto message = [](const char* name) {
        return std::string("FATAL: DotGain::") + name +
               "\\(\\.\\.\\.\\) : parameter out of bounds!";
    };
    EXPECT_EXIT(d.setNumLists(101), testing::ExitedWithCode(1), message("setNumLists"));
    EXPECT_EXIT(d.appendPoint(100, 0, 0, 0), testing::ExitedWithCode(1), message("appendPoint"));
    d.setNumLists(100);
    d.setDataStyle(99, 3);
    EXPECT_EQ(d.dataStyle(99), 3u);
}

} // namespace
