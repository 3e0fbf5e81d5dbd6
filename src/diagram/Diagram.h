#pragma once

#include "MyPoint.h"

#include <QColor>
#include <QFrame>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class DiagramTip;
class QPainter;

// A plotting widget: up to 100 lists of points, each with its own colour, line width, point size
// and style, over a grid with numeric labels. It maps between data values and pixels, can scale
// itself to its data, and reports the point nearest to a click. Derived views paint their own
// background and foreground and decide what a click on a point does.
class Diagram : public QFrame {
    Q_OBJECT

public:
    static constexpr unsigned maxLists = 100;

    // Style bits: join the points by lines, draw a circle at each point.
    static constexpr std::uint32_t lines = 1;
    static constexpr std::uint32_t circles = 2;

    explicit Diagram(QWidget* parent = nullptr, const char* name = nullptr,
                     Qt::WindowFlags flags = {});
    ~Diagram() override;

    // Each setter ends the process (exit code 1) on an index outside its range, after naming
    // itself on the debug output.
    void setDataStyle(unsigned list, std::uint32_t style);
    void setPointSize(unsigned list, std::uint32_t size);
    void setLineWidth(unsigned list, std::uint32_t width);
    void setNumLists(unsigned count);
    void appendPoint(unsigned list, double x, double y, std::uint32_t tag);
    void setColor(unsigned list, const QColor& colour);

    // Empties the first numLists() lists.
    void clearLists();

    unsigned numLists() const { return numLists_; }
    const std::vector<MyPoint>& points(unsigned list) const { return lists_.at(list); }
    QColor color(unsigned list) const { return colours_.at(list); }
    std::uint32_t dataStyle(unsigned list) const { return styles_.at(list); }
    std::uint32_t pointSize(unsigned list) const { return pointSizes_.at(list); }
    std::uint32_t lineWidth(unsigned list) const { return lineWidths_.at(list); }

    // Between data values and widget pixels, through the view of the last paint (or of
    // updateView).
    int valueToPixelX(double x) const;
    int valueToPixelY(double y) const;
    double pixelToValueX(int px) const;
    double pixelToValueY(int py) const;

    struct NearestPoint {
        bool found = false;
        unsigned list = 0;
        std::uint32_t tag = 0;
        double y = 0;
    };
    // The point nearest to a click, if it lies within 3 data units and 10 pixels each way.
    NearestPoint findNearestPoint(const QPoint& pixel) const;

    // Widens the automatic limits to the data and derives the view and scales from the range
    // and the widget's size, as every paint does first.
    void updateView();

    // The grid positions origin + k x step that lie within min..max; empty for a step <= 0, and
    // more than 100 when the grid would be too dense to draw.
    static std::vector<double> gridPositions(double origin, double step, double min, double max);

    // The grid values of one axis that carry a label in the current view: every k-th, so that
    // labels do not run into each other; none for a range without extent.
    std::vector<double> labelledValues(bool xAxis) const;

    double viewXMin() const { return viewXMin_; }
    double viewXMax() const { return viewXMax_; }
    double viewYMin() const { return viewYMin_; }
    double viewYMax() const { return viewYMax_; }
    double scaleX() const { return scaleX_; }
    double scaleY() const { return scaleY_; }

    DiagramTip* tip() const { return tip_; }

    // Plain settings of the owner.
    int marginLeft = 30, marginRight = 20, marginTop = 20, marginBottom = 20;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool autoXMin = true, autoXMax = true, autoYMin = true, autoYMax = true;
    // When on, the automatic y minimum (maximum) starts from this value, not from the first point.
    double yMinStart = 0, yMaxStart = 0;
    bool useYMinStart = false, useYMaxStart = false;
    double gridOriginX = 0, gridStepX = 10, gridOriginY = 0, gridStepY = 10;
    bool gridX = true, gridY = true, labelsX = true, labelsY = true;
    // Pixels between the plot frame and separate axes; 0 draws no separate axes.
    int axisOffset = 0;
    // When on, a unit is as many pixels along x as along y (a plane that stays square), and the
    // axis with room to spare shows more than its range, centred on it.
    bool equalScales = false;
    QString xTitle, yTitle;

signals:
    void selectedAsTip(uint minlist, uint pmin, double yval);

protected:
    // What a click on a point means to the derived view.
    virtual void pointSelected(std::uint32_t tag) = 0;
    virtual void drawBackground(QPainter* painter, const QSize& plotSize);
    virtual void drawForeground(QPainter* painter, const QSize& plotSize);

    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

    QSize plotSize() const;

private:
    void autoRange();
    void drawGrid(QPainter& painter);
    void drawAxes(QPainter& painter, const QSize& plot);
    void drawData(QPainter& painter, const QSize& plot);

    std::array<std::vector<MyPoint>, maxLists> lists_;
    std::array<QColor, maxLists> colours_;
    std::array<std::uint32_t, maxLists> lineWidths_;
    std::array<std::uint32_t, maxLists> pointSizes_;
    std::array<std::uint32_t, maxLists> styles_;
    unsigned numLists_ = 0;
    double viewXMin_ = 0, viewXMax_ = 1, viewYMin_ = 0, viewYMax_ = 1;
    double scaleX_ = 1, scaleY_ = 1;
    DiagramTip* tip_;
};
