#include "SwatchStrip.h"

#include <QPainter>

namespace {

// Black or white, whichever stands out on the colour.
QColor contrasting(const QColor& colour) {
    return colour.lightnessF() > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

SwatchStrip::SwatchStrip(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SwatchStrip::setSwatches(const QColor& paper, const Patch& reference, const Patch& achieved) {
    showing_ = true;
    paper_ = paper;
    reference_ = reference;
    achieved_ = achieved;
    const auto describe = [](const char* what, const Patch& patch) {
        return tr("%1: display RGB %2 %3 %4%5")
            .arg(tr(what))
            .arg(patch.colour.red())
            .arg(patch.colour.green())
            .arg(patch.colour.blue())
            .arg(patch.clipped ? tr(", clipped: outside the display's gamut") : QString());
    };
    setToolTip(describe("reference", reference) + "\n" + describe("achieved", achieved) + "\n" +
               tr("the ground is the paper"));
    update();
}

void SwatchStrip::clear() {
    showing_ = false;
    setToolTip(QString());
    update();
}

void SwatchStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    if (!showing_) {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(frame);
        return;
    }
    painter.fillRect(rect(), paper_);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(frame);

    // Captions on the paper below the patches; the patches meet in the middle with a thin gap.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    painter.setFont(small);
    const QFontMetrics metrics(small);
    const int caption = metrics.height();
    const int margin = 6;
    const QRect area = rect().adjusted(margin, margin, -margin, -margin - caption);
    const int half = area.width() / 2;
    const QRect left(area.left(), area.top(), half - 1, area.height());
    const QRect right(area.left() + half + 1, area.top(), area.width() - half - 1, area.height());
    // Texts only where they fit; the hatch marks a clipped patch at any size.
    const auto fits = [&](const QString& text, const QRect& where) {
        return metrics.horizontalAdvance(text) <= where.width() - 4;
    };
    const auto patch = [&](const QRect& where, const Patch& p, const QString& name) {
        painter.fillRect(where, p.colour);
        if (p.clipped) {
            const QColor mark = contrasting(p.colour);
            painter.fillRect(where, QBrush(mark, Qt::BDiagPattern));
            painter.setPen(mark);
            if (fits(tr("clipped"), where))
                painter.drawText(where.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop,
                                 tr("clipped"));
        }
        painter.setPen(contrasting(paper_));
        if (fits(name, where))
            painter.drawText(QRect(where.left(), where.bottom() + 1, where.width(), caption),
                             Qt::AlignHCenter | Qt::AlignTop, name);
    };
    patch(left, reference_, tr("reference"));
    patch(right, achieved_, tr("achieved"));
}
