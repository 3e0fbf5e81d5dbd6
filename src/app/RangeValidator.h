#pragma once

#include <QValidator>

// What a number field takes while the user types: digits with '.' as the decimal point (in every
// locale) and at most `decimals` decimals, a minus only where the range has negative numbers, and
// no number outside [bottom, top]. A text that is still on its way to a number ("", "-", ".") is
// intermediate; a field with such text keeps the value it had.
class RangeValidator : public QValidator {
    Q_OBJECT

public:
    RangeValidator(double bottom, double top, int decimals, QObject* parent);

    State validate(QString& input, int& position) const override;

    double bottom() const { return bottom_; }
    double top() const { return top_; }
    void setTop(double top) { top_ = top; }

private:
    double bottom_, top_;
    int decimals_;
};
