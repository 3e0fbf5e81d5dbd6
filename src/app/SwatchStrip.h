#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// The reference and the achieved colour as two patches side by side, split like a proof strip,
// on the paper: the strip's ground is the colour of the paper, so that absolute colorimetric shows
// a paper that is not white. A colour the display cannot show is drawn as near as it can and
// hatched, with "clipped" on it.
class SwatchStrip : public QWidget {
    Q_OBJECT

public:
    struct Patch {
        QColor colour;
        bool clipped = false;
    };

    explicit SwatchStrip(QWidget* parent = nullptr);

    void setSwatches(const QColor& paper, const Patch& reference, const Patch& achieved);
    // Nothing to show: no profile, or nothing searched yet.
    void clear();

    bool isShowing() const { return showing_; }
    QColor paper() const { return paper_; }
    const Patch& reference() const { return reference_; }
    const Patch& achieved() const { return achieved_; }

    QSize sizeHint() const override { return {170, 96}; }
    QSize minimumSizeHint() const override { return {40, 64}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool showing_ = false;
    QColor paper_;
    Patch reference_, achieved_;
};
