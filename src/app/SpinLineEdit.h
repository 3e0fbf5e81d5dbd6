#pragma once

#include <QLineEdit>

// A line edit for one number that the Up and Down arrow keys and the mouse wheel step within
// limits. Typed text is left to the validator the owner installs; the limits below govern
// stepping only.
class SpinLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit SpinLineEdit(QWidget* parent = nullptr);

    // Adds delta to the number shown, keeps the result within [minimum, maximum] (or wraps to the
    // opposite limit), writes it with `decimals` decimals and emits valueChanged(). Text that is
    // not a number is left alone and nothing is emitted.
    void stepBy(double delta);

    // Plain settings, set by the owner right after construction.
    double minimum = 0.0;
    double maximum = 100.0;
    double step = 1.0;
    int decimals = 1;
    bool wrap = false;

signals:
    // Emitted after every step, and only then: typing and setText() emit the ordinary text signals.
    void valueChanged();
    // Emitted when the field loses the keyboard focus.
    void lostFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int wheelEighths_ = 0; // of a degree, not yet a whole notch
};
