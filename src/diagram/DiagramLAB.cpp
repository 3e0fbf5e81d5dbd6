#include "DiagramLAB.h"

#include <QDebug>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double pi = 3.14159265358979;
constexpr double twoPi = 6.283185307179586;

[[noreturn]] void unknownView(const char* where) {
    qDebug("DiagramLAB::%s: unknown view!", where);
    std::exit(1);
}

} // namespace

DiagramLAB::DiagramLAB(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : Diagram(parent, name, flags) {
    setHueAngle(0);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

DiagramLAB::~DiagramLAB() = default;

// Square-ish by default: both views plot two axes of similar extent.
QSize DiagramLAB::sizeHint() const { return {240, 220}; }

void DiagramLAB::setReference(double L, double a, double b) {
    reference_[0] = L;
    reference_[1] = a;
    reference_[2] = b;
    precalcIsoDeltaE();
}

void DiagramLAB::setView(std::uint32_t view) {
    view_ = view;
    // The a-b plane keeps its proportions, so that hue angles and distances look as they are.
    equalScales = view == 0;
    precalcIsoDeltaE();
}

void DiagramLAB::setDeltaE(double target) {
    target_ = target;
    precalcIsoDeltaE();
}

void DiagramLAB::setHueAngle(double degrees) {
    hueAngle_ = degrees;
    hueCos_ = std::cos(degrees * pi / 180);
    hueSin_ = std::sin(degrees * pi / 180);
}

void DiagramLAB::centre(double& x, double& y) const {
    const double L = reference_[0], a = reference_[1], b = reference_[2];
    switch (view_) {
    case 0:
        x = a;
        y = b;
        break;
    case 1:
        x = a;
        y = L;
        break;
    case 2:
        x = b;
        y = L;
        break;
    default:
        x = a * hueCos_ + b * hueSin_;
        y = L;
        break;
    }
}

double DiagramLAB::tryR(double r) const {
    if (view_ > 3)
        unknownView("tryR");
    return r;
}

double DiagramLAB::findRadius(double, double) const {
    const double T = target_;
    if (T <= 0)
        return 0;
    double low, high;
    double r = T;
    if (tryR(T) > T) {
        while (tryR(r) > T)
            r /= 1.5;
        low = r;
        high = r * 1.5;
    } else {
        while (tryR(r) <= T)
            r *= 1.5;
        low = r / 1.5;
        high = r;
    }
    while (high - low > 0.1) {
        const double mid = (low + high) / 2;
        if (tryR(mid) <= T)
            low = mid;
        else
            high = mid;
    }
    return (low + high) / 2;
}

void DiagramLAB::precalcIsoDeltaE() {
    if (view_ > 3)
        unknownView("precalcIsoDeltaE");
    double cx, cy;
    centre(cx, cy);
    curveXMin_ = curveXMax_ = cx;
    curveYMin_ = curveYMax_ = cy;
    if (!curveX_) {
        curveX_ = std::make_unique<double[]>(static_cast<std::size_t>(curveCount_));
        curveY_ = std::make_unique<double[]>(static_cast<std::size_t>(curveCount_));
    }
    for (int k = 0; k < curveCount_; ++k) {
        const double phi = twoPi * k / curveCount_;
        const double r = findRadius(std::cos(phi), std::sin(phi));
        curveX_[k] = cx + r * std::cos(phi);
        curveY_[k] = cy + r * std::sin(phi);
        curveXMin_ = std::min(curveXMin_, curveX_[k]);
        curveXMax_ = std::max(curveXMax_, curveX_[k]);
        curveYMin_ = std::min(curveYMin_, curveY_[k]);
        curveYMax_ = std::max(curveYMax_, curveY_[k]);
    }
}

void DiagramLAB::dataBounds(double& xMinOut, double& xMaxOut, double& yMinOut, double& yMaxOut) {
    xMinOut = xMaxOut = yMinOut = yMaxOut = 0;
    if (numLists() == 0)
        return;
    bool any = false;
    const auto widen = [&](double x, double y) {
        if (!any) {
            xMinOut = xMaxOut = x;
            yMinOut = yMaxOut = y;
            any = true;
            return;
        }
        xMinOut = std::min(xMinOut, x);
        xMaxOut = std::max(xMaxOut, x);
        yMinOut = std::min(yMinOut, y);
        yMaxOut = std::max(yMaxOut, y);
    };
    for (unsigned list = 0; list < numLists(); ++list)
        for (const MyPoint& p : points(list))
            widen(p.x, p.y);
    if (reference_[0] != 0) {
        precalcIsoDeltaE();
        widen(curveXMin_, curveYMin_);
        widen(curveXMax_, curveYMax_);
    }
}

void DiagramLAB::pointSelected(std::uint32_t tag) { emit selectedByMouseSig(tag); }

void DiagramLAB::drawBackground(QPainter* painter, const QSize&) {
    if (!backgroundColor.isValid())
        return;
    painter->fillRect(QRect(QPoint(valueToPixelX(viewXMin()), valueToPixelY(viewYMax())),
                            QPoint(valueToPixelX(viewXMax()), valueToPixelY(viewYMin()))),
                      backgroundColor);
}

void DiagramLAB::drawForeground(QPainter* painter, const QSize&) {
    if (reference_[0] == 0)
        return;
    if (!curveX_)
        precalcIsoDeltaE();
    painter->setPen(Qt::black);
    painter->setBrush(Qt::NoBrush);
    painter->setClipRect(QRect(QPoint(valueToPixelX(viewXMin()), valueToPixelY(viewYMax())),
                               QPoint(valueToPixelX(viewXMax()), valueToPixelY(viewYMin()))));
    QPolygon curve;
    for (int k = 0; k < curveCount_; ++k)
        curve << QPoint(valueToPixelX(curveX_[k]), valueToPixelY(curveY_[k]));
    painter->drawPolygon(curve);
    painter->setClipping(false);
}
