#include "SpinLineEdit.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// Presses key in field and returns the text and how often valueChanged() was emitted.
std::pair<QString, int> press(SpinLineEdit& field, Qt::Key key) {
    QSignalSpy spy(&field, &SpinLineEdit::valueChanged);
    QTest::keyClick(&field, key);
    return {field.text(), static_cast<int>(spy.count())};
}

// Wheel turned by eighths of a degree; 120 is one notch.
int turn(SpinLineEdit& field, int eighths) {
    QSignalSpy spy(&field, &SpinLineEdit::valueChanged);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, eighths), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&field, &wheel);
    return static_cast<int>(spy.count());
}

TEST(SpinLineEdit, ArrowsAndWheelStepWithTheInitialSettings) {
    SpinLineEdit field;
    field.setText("50.00");
    EXPECT_EQ(press(field, Qt::Key_Down), std::make_pair(QString("49.0"), 1));
    EXPECT_EQ(turn(field, 360), 3);
    EXPECT_EQ(field.text(), "52.0");
    EXPECT_EQ(turn(field, -60), 0) << "half a notch waits for the other half";
    EXPECT_EQ(turn(field, -60), 1);
    EXPECT_EQ(field.text(), "51.0");
}

// A step past a limit stops there, or with wrap on goes to the opposite limit (not by the
// overshoot), and signals all the same; text that is not a number is not stepped.
TEST(SpinLineEdit, LimitsWrapAndTextThatIsNotANumber) {
    struct Case {
        double minimum, maximum;
        bool wrap;
        const char* text;
        Qt::Key key;
        const char* after;
        int emitted;
    };
    for (const Case& c : {Case{0, 100, false, "100", Qt::Key_Up, "100.0", 1},
                          Case{0, 100, false, "0.4", Qt::Key_Down, "0.0", 1},
                          Case{0, 359, true, "359", Qt::Key_Up, "0.0", 1},
                          Case{0, 359, true, "358.5", Qt::Key_Up, "0.0", 1},
                          Case{0, 100, false, "", Qt::Key_Up, "", 0},
                          Case{0, 100, false, "12,5", Qt::Key_Up, "12,5", 0}}) {
        SpinLineEdit field;
        field.minimum = c.minimum;
        field.maximum = c.maximum;
        field.wrap = c.wrap;
        field.setText(c.text);
        EXPECT_EQ(press(field, c.key), std::make_pair(QString(c.after), c.emitted)) << c.text;
    }
}

TEST(SpinLineEdit, OnlySteppingEmitsValueChanged) {
    SpinLineEdit field;
    QSignalSpy stepped(&field, &SpinLineEdit::valueChanged);
    QSignalSpy edited(&field, &QLineEdit::textChanged);
    field.setText("5");
    QTest::keyClicks(&field, "12");
    EXPECT_EQ(field.text(), "512");
    EXPECT_EQ(edited.count(), 3);
    EXPECT_EQ(stepped.count(), 0);
    // Return is kept from the field and from any dialog around it.
    QSignalSpy returned(&field, &QLineEdit::returnPressed);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&field, &enter);
    EXPECT_EQ(returned.count(), 0);
    EXPECT_TRUE(enter.isAccepted()) << "a default button does not get it";
}

} // namespace
