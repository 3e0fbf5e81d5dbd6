#include "SpinLineEdit.h"

#include "NumberText.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include <cstdlib>

SpinLineEdit::SpinLineEdit(QWidget* parent) : QLineEdit(parent) {}

void SpinLineEdit::stepBy(double delta) {
    bool ok = false;
    const double current = text().toDouble(&ok);
    if (!ok)
        return;

    // Wrapping jumps to the opposite limit rather than carrying the overshoot, so that stepping a
    // hue of 358.5 up by one lands on 0, a value the user can read, not on 0.5.
    double value = current + delta;
    if (value > maximum)
        value = wrap ? minimum : maximum;
    else if (value < minimum)
        value = wrap ? maximum : minimum;

    setText(numberText(value, decimals));
    emit valueChanged();
}

void SpinLineEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        stepBy(step);
        event->accept();
        return;
    case Qt::Key_Down:
        stepBy(-step);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Swallowed: in a dialog, Return would otherwise press a button or close the window
        // while the user is only confirming a number.
        event->accept();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void SpinLineEdit::wheelEvent(QWheelEvent* event) {
    // One step a notch, as a spin box takes it; a high-resolution wheel adds up its eighths.
    wheelEighths_ += event->angleDelta().y();
    const int notches = wheelEighths_ / 120;
    wheelEighths_ -= notches * 120;
    for (int i = 0; i < std::abs(notches); ++i)
        stepBy(notches > 0 ? step : -step);
    event->accept();
}

void SpinLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit lostFocus();
}
