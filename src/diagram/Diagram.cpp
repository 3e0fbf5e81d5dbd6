#include "Diagram.h"

#include "DiagramTip.h"

#include <QDebug>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

[[noreturn]] void outOfBounds(const char* operation) {
    qDebug("FATAL: DotGain::%s(...) : parameter out of bounds!", operation);
    std::exit(1);
}

constexpr int maxGridLines = 100;
const QColor gridColour(200, 200, 200);
const QColor frameColour(100, 100, 100);

} // namespace

Diagram::Diagram(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QFrame(parent, flags), tip_(new DiagramTip(this)) {
    if (name != nullptr)
        setObjectName(QString::fromLatin1(name));
    colours_.fill(QColor(0, 0, 0, 255));
    lineWidths_.fill(1);
    pointSizes_.fill(1);
    styles_.fill(lines);
}

// The tip is a child object and goes with the widget.
Diagram::~Diagram() = default;

void Diagram::setDataStyle(unsigned list, std::uint32_t style) {
    if (list >= maxLists)
        outOfBounds("setDataStyle");
    styles_[list] = style;
}

void Diagram::setPointSize(unsigned list, std::uint32_t size) {
    if (list >= maxLists)
        outOfBounds("setPointSize");
    pointSizes_[list] = size;
}

void Diagram::setLineWidth(unsigned list, std::uint32_t width) {
    if (list >= maxLists)
        outOfBounds("setLineWidth");
    lineWidths_[list] = width;
}

void Diagram::setNumLists(unsigned count) {
    if (count < 1 || count > maxLists)
        outOfBounds("setNumLists");
    numLists_ = count;
}

void Diagram::appendPoint(unsigned list, double x, double y, std::uint32_t tag) {
    if (list >= maxLists)
        outOfBounds("appendPoint");
    lists_[list].push_back({x, y, tag});
    if (autoXMin)
        xMin = std::min(xMin, x);
    if (autoXMax)
        xMax = std::max(xMax, x);
    if (autoYMin)
        yMin = std::min(yMin, y);
    if (autoYMax)
        yMax = std::max(yMax, y);
}

void Diagram::setColor(unsigned list, const QColor& colour) {
    if (list >= maxLists)
        outOfBounds("setColor");
    colours_[list] = colour;
}

void Diagram::clearLists() {
    for (unsigned i = 0; i < numLists_; ++i)
        lists_[i].clear();
}

int Diagram::valueToPixelX(double x) const {
    return static_cast<int>(std::floor((x - viewXMin_) * scaleX_ + 0.5)) + marginLeft;
}

int Diagram::valueToPixelY(double y) const {
    return static_cast<int>(std::floor((viewYMax_ - y) * scaleY_ + 0.5)) + marginTop;
}

double Diagram::pixelToValueX(int px) const {
    if (scaleX_ == 0)
        return (viewXMin_ + viewXMax_) / 2;
    return (px - marginLeft) / scaleX_ + viewXMin_;
}

double Diagram::pixelToValueY(int py) const {
    if (scaleY_ == 0)
        return (viewYMin_ + viewYMax_) / 2;
    return viewYMax_ - (py - marginTop) / scaleY_;
}

Diagram::NearestPoint Diagram::findNearestPoint(const QPoint& pixel) const {
    const double x = pixelToValueX(pixel.x()), y = pixelToValueY(pixel.y());
    NearestPoint nearest;
    double smallest = 1e10;
    const MyPoint* best = nullptr;
    for (unsigned list = 0; list < numLists_; ++list)
        for (const MyPoint& point : lists_[list]) {
            const double d = (point.x - x) * (point.x - x) + (point.y - y) * (point.y - y);
            if (d < smallest) { // the first of equal candidates stays
                smallest = d;
                best = &point;
                nearest.list = list;
            }
        }
    if (best == nullptr || smallest >= 9.0)
        return {};
    if (std::abs(valueToPixelX(best->x) - pixel.x()) > 10 ||
        std::abs(valueToPixelY(best->y) - pixel.y()) > 10)
        return {};
    nearest.found = true;
    nearest.tag = best->tag;
    nearest.y = best->y;
    return nearest;
}

void Diagram::autoRange() {
    if (!autoXMin && !autoXMax && !autoYMin && !autoYMax)
        return;
    unsigned first = 0;
    while (first < numLists_ && lists_[first].empty())
        ++first;
    if (first == numLists_)
        return;
    const MyPoint& seed = lists_[first].front();
    if (autoXMin)
        xMin = seed.x;
    if (autoXMax)
        xMax = seed.x;
    if (autoYMin)
        yMin = useYMinStart ? yMinStart : seed.y;
    if (autoYMax)
        yMax = useYMaxStart ? yMaxStart : seed.y;
    for (unsigned list = first; list < numLists_; ++list)
        for (const MyPoint& p : lists_[list]) {
            if (autoXMin)
                xMin = std::min(xMin, p.x);
            if (autoXMax)
                xMax = std::max(xMax, p.x);
            if (autoYMin)
                yMin = std::min(yMin, p.y);
            if (autoYMax)
                yMax = std::max(yMax, p.y);
        }
    // 5 % on each side; the upper pad is taken from the range the lower pad has widened.
    if (autoXMin)
        xMin -= 0.05 * (xMax - xMin);
    if (autoXMax)
        xMax += 0.05 * (xMax - xMin);
    if (autoYMin)
        yMin -= 0.05 * (yMax - yMin);
    if (autoYMax)
        yMax += 0.05 * (yMax - yMin);
}

QSize Diagram::plotSize() const {
    return {width() - marginLeft - marginRight, height() - marginTop - marginBottom};
}

void Diagram::updateView() {
    autoRange();
    const QSize plot = plotSize();
    viewXMin_ = std::min(xMin, xMax);
    viewXMax_ = std::max(xMin, xMax);
    viewYMin_ = std::min(yMin, yMax);
    viewYMax_ = std::max(yMin, yMax);
    scaleX_ = viewXMax_ == viewXMin_ ? 0 : plot.width() / (viewXMax_ - viewXMin_);
    scaleY_ = viewYMax_ == viewYMin_ ? 0 : plot.height() / (viewYMax_ - viewYMin_);
    if (equalScales && scaleX_ > 0 && scaleY_ > 0) {
        // One unit is as long across as up: the axis with room to spare shows more, centred.
        const double scale = std::min(scaleX_, scaleY_);
        const double moreX = plot.width() / scale - (viewXMax_ - viewXMin_);
        const double moreY = plot.height() / scale - (viewYMax_ - viewYMin_);
        viewXMin_ -= moreX / 2;
        viewXMax_ += moreX / 2;
        viewYMin_ -= moreY / 2;
        viewYMax_ += moreY / 2;
        scaleX_ = scaleY_ = scale;
    }
}

std::vector<double> Diagram::gridPositions(double origin, double step, double min, double max) {
    if (!(step > 0))
        return {};
    double start = origin + step * std::floor((min - origin) / step);
    if (start < min)
        start += step;
    double count = std::floor((max - start) / step) + 1;
    if (max >= start + step * count)
        count += 1;
    std::vector<double> positions;
    if (count > maxGridLines) {
        // Too dense to draw; the caller only needs to know that there are too many.
        positions.assign(maxGridLines + 1, start);
        return positions;
    }
    for (int k = 0; k < static_cast<int>(count); ++k)
        positions.push_back(start + k * step);
    return positions;
}

void Diagram::drawBackground(QPainter*, const QSize&) {}

void Diagram::drawForeground(QPainter*, const QSize&) {}

std::vector<double> Diagram::labelledValues(bool xAxis) const {
    const double step = xAxis ? gridStepX : gridStepY;
    const double spacing = step * (xAxis ? scaleX_ : scaleY_);
    const std::vector<double> grid =
        xAxis ? gridPositions(gridOriginX, gridStepX, viewXMin_, viewXMax_)
              : gridPositions(gridOriginY, gridStepY, viewYMin_, viewYMax_);
    // A range without extent has nothing to label, and a grid too dense to draw neither.
    if (!(spacing > 0) || grid.size() > maxGridLines)
        return {};
    // Labels that would run into each other are thinned out to every k-th line, those at whole
    // multiples of k steps, so that 0 keeps its label.
    const QFontMetrics metrics(font());
    int extent = metrics.height() + 2;
    if (xAxis)
        for (double x : grid)
            extent = std::max(extent, metrics.horizontalAdvance(QString::number(x, 'f', 0)) + 6);
    const long stride = std::max(1L, static_cast<long>(std::ceil(extent / spacing)));
    std::vector<double> labelled;
    for (double value : grid)
        if (std::llround(value / step) % stride == 0)
            labelled.push_back(value);
    return labelled;
}

void Diagram::drawGrid(QPainter& painter) {
    const std::vector<double> xs = gridPositions(gridOriginX, gridStepX, viewXMin_, viewXMax_);
    if (xs.size() > maxGridLines)
        return; // neither grid
    const std::vector<double> ys = gridPositions(gridOriginY, gridStepY, viewYMin_, viewYMax_);
    const QFontMetrics metrics = painter.fontMetrics();
    const int top = valueToPixelY(viewYMax_), bottom = valueToPixelY(viewYMin_);
    const int left = valueToPixelX(viewXMin_), right = valueToPixelX(viewXMax_);

    const std::vector<double> labelledX = labelledValues(true);
    const std::vector<double> labelledY = labelledValues(false);
    const auto labelled = [](const std::vector<double>& values, double value) {
        return std::find(values.begin(), values.end(), value) != values.end();
    };
    // A y label that would cover an x label (in the corner) gives way.
    std::vector<QRect> xLabels;

    for (double x : xs) {
        const int px = valueToPixelX(x);
        if (gridX) {
            painter.setPen(gridColour);
            painter.drawLine(px, bottom, px, top);
        }
        if (labelsX) {
            painter.setPen(Qt::black);
            const int tick = bottom + axisOffset;
            painter.drawLine(px, tick, px, tick + 3);
            if (!labelled(labelledX, x))
                continue;
            const QString text = QString::number(x, 'f', 0);
            const int w = metrics.horizontalAdvance(text);
            const QRect box(px - w / 2 + 1, tick + 3, w, marginBottom);
            painter.drawText(box, Qt::AlignHCenter, text);
            xLabels.emplace_back(box.left(), box.top(), w, metrics.height());
        }
    }
    if (ys.size() > maxGridLines)
        return;
    for (double y : ys) {
        const int py = valueToPixelY(y);
        if (gridY) {
            painter.setPen(gridColour);
            painter.drawLine(left, py, right, py);
        }
        if (labelsY) {
            painter.setPen(Qt::black);
            const int tick = left - axisOffset;
            painter.drawLine(tick, py, tick - 3, py);
            if (!labelled(labelledY, y))
                continue;
            const QString text = QString::number(y, 'f', 0);
            const int h = metrics.height();
            const QRect box(0, py - h / 2, tick - 4, h);
            const int w = metrics.horizontalAdvance(text);
            const QRect inked(box.right() - w, box.top(), w, h);
            if (std::any_of(xLabels.begin(), xLabels.end(),
                            [&](const QRect& x) { return x.intersects(inked); }))
                continue;
            painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text);
        }
    }
}

void Diagram::drawAxes(QPainter& painter, const QSize& plot) {
    const int left = marginLeft, top = marginTop;
    const int right = marginLeft + plot.width(), bottom = marginTop + plot.height();
    const int o = axisOffset;
    // A bevel of three greys between the frame and the axes.
    const int greys[3] = {150, 180, 210};
    for (int i = 0; i < 3; ++i) {
        painter.setPen(QColor(greys[i], greys[i], greys[i]));
        painter.drawRect(
            QRect(QPoint(left - 1 - i, top - 1 - i), QPoint(right + 1 + i, bottom + 1 + i)));
    }
    painter.setPen(Qt::black);
    const int axisY = bottom + o, axisX = left - o;
    const int xEnd = right + 12, yEnd = top - 12;
    painter.drawLine(left - o, axisY, xEnd, axisY);
    painter.drawLine(axisX, bottom + o, axisX, yEnd);
    painter.setBrush(Qt::black);
    painter.drawPolygon(
        QPolygon({QPoint(xEnd + 5, axisY), QPoint(xEnd, axisY - 3), QPoint(xEnd, axisY + 3)}));
    painter.drawPolygon(
        QPolygon({QPoint(axisX, yEnd - 5), QPoint(axisX - 3, yEnd), QPoint(axisX + 3, yEnd)}));
    painter.setBrush(Qt::NoBrush);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.drawText(QPoint(xEnd + 8, axisY + metrics.ascent() / 2), xTitle);
    const int w = metrics.horizontalAdvance(yTitle);
    painter.drawText(QPoint(axisX - 6 - w, yEnd + metrics.ascent() / 2), yTitle);
}

void Diagram::drawData(QPainter& painter, const QSize& plot) {
    painter.setClipRect(
        QRect(QPoint(marginLeft + 1, marginTop + 1),
              QPoint(marginLeft + plot.width() - 2, marginTop + plot.height() - 2)));
    for (unsigned list = 0; list < numLists_; ++list) {
        const std::vector<MyPoint>& points = lists_[list];
        QPen pen(colours_[list]);
        if (styles_[list] & lines) {
            pen.setWidth(static_cast<int>(lineWidths_[list]));
            painter.setPen(pen);
            for (std::size_t i = 1; i < points.size(); ++i)
                painter.drawLine(valueToPixelX(points[i - 1].x), valueToPixelY(points[i - 1].y),
                                 valueToPixelX(points[i].x), valueToPixelY(points[i].y));
        }
        if (styles_[list] & circles) {
            pen.setWidth(1);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            const int size = static_cast<int>(pointSizes_[list]);
            for (const MyPoint& p : points)
                painter.drawEllipse(valueToPixelX(p.x) - size / 2, valueToPixelY(p.y) - size / 2,
                                    size, size);
        }
    }
    painter.setClipping(false);
}

void Diagram::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    QFont font(painter.font().family());
    font.setPointSize(8);
    painter.setFont(font);
    updateView();
    const QSize plot = plotSize();
    drawBackground(&painter, plot);
    painter.setClipping(false);
    drawGrid(painter);
    painter.setPen(frameColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(marginLeft, marginTop, plot.width(), plot.height());
    if (axisOffset != 0)
        drawAxes(painter, plot);
    drawData(painter, plot);
    drawForeground(&painter, plot);
}

void Diagram::mousePressEvent(QMouseEvent* event) {
    const NearestPoint nearest = findNearestPoint(event->position().toPoint());
    if (nearest.found)
        pointSelected(nearest.tag);
    else
        qDebug("Diagram::mousePressEvent(...) [no point found]");
}

bool Diagram::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        tip_->maybeTip(static_cast<QHelpEvent*>(event)->pos());
        return true;
    }
    return QFrame::event(event);
}
