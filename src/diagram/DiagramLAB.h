#pragma once

#include "Diagram.h"

#include <QColor>

#include <memory>

// A diagram of CIELAB: one of four planes (a*-b*, a*-L*, b*-L*, or chroma along a hue direction
// against L*), a coloured plot background, and the curve of constant colour difference around a
// reference colour. A click on a point is announced with the point's tag.
class DiagramLAB : public Diagram {
    Q_OBJECT

public:
    explicit DiagramLAB(QWidget* parent = nullptr, const char* name = nullptr,
                        Qt::WindowFlags flags = {});
    ~DiagramLAB() override;

    // The planes: 0 a*-b*, 1 a*-L*, 2 b*-L*, 3 a* cos h + b* sin h against L*.
    void setReference(double L, double a, double b);
    void setView(std::uint32_t view);
    void setDeltaE(double target);
    void setHueAngle(double degrees);

    // The curve of the target difference around the reference, and its bounds.
    void precalcIsoDeltaE();
    // The bounding box of the points of the first numLists() lists, widened by the curve when
    // there is a reference (L* not 0); all 0 without lists.
    void dataBounds(double& xMin, double& xMax, double& yMin, double& yMax);

    // The distance from the reference, in the direction (cos, sin) of the view's plane, at which
    // the difference reaches the target, to within 0.1.
    double findRadius(double cosine, double sine) const;
    // The colour difference at distance r from the reference: in every view, the distance in the
    // plane itself.
    double tryR(double r) const;

    QColor backgroundColor;

    std::uint32_t view() const { return view_; }
    double hueAngle() const { return hueAngle_; }
    int curvePointCount() const { return curveCount_; }
    const double* curveX() const { return curveX_.get(); }
    const double* curveY() const { return curveY_.get(); }

    QSize sizeHint() const override;

signals:
    void selectedByMouseSig(uint tag);

protected:
    void pointSelected(std::uint32_t tag) override;
    void drawBackground(QPainter* painter, const QSize& plotSize) override;
    void drawForeground(QPainter* painter, const QSize& plotSize) override;

private:
    // The reference's position in the view's plane.
    void centre(double& x, double& y) const;

    double target_ = 0;
    double reference_[3] = {0, 0, 0};
    std::uint32_t view_ = 0;
    double hueAngle_ = 0, hueCos_ = 1, hueSin_ = 0;
    int curveCount_ = 90;
    std::unique_ptr<double[]> curveX_, curveY_;
    double curveXMin_ = 0, curveXMax_ = 0, curveYMin_ = 0, curveYMax_ = 0;
};
