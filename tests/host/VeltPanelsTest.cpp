#include "velt.h"

#include <tintora/version.h>

#include <QApplication>
#include <QLabel>
#include <QSplashScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QList<QWidget*> openPanels(const QString& name) {
    QList<QWidget*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            found << widget;
    }
    return found;
}

QString bodyOf(QWidget* panel) {
    auto* body = panel->findChild<QLabel*>("panelBody");
    return body != nullptr ? body->text() : QString();
}

class VeltPanelsTest : public testing::Test {
protected:
    ~VeltPanelsTest() override {
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->close();
        QApplication::processEvents();
    }
};

TEST_F(VeltPanelsTest, AboutAndSupportShowTheVersionTextTheyAreGiven) {
    velt_aboutPanel(TINTORA_VERSION);
    velt_showSupport("9.8.7");
    const auto about = openPanels("veltAboutPanel");
    const auto support = openPanels("veltSupportPanel");
    ASSERT_EQ(about.size(), 1);
    ASSERT_EQ(support.size(), 1);
    EXPECT_TRUE(bodyOf(about.first()).contains("Version 1.0.1"));
    EXPECT_TRUE(bodyOf(support.first()).contains("Version 9.8.7"));
    EXPECT_FALSE(about.first()->isModal()) << "a panel must not block the window";

    // A panel opens once, and again after it is closed.
    QWidget* first = about.first();
    velt_aboutPanel(TINTORA_VERSION);
    EXPECT_EQ(openPanels("veltAboutPanel"), QList<QWidget*>{first});

    first->close();
    QApplication::processEvents();
    EXPECT_TRUE(openPanels("veltAboutPanel").isEmpty());
    velt_aboutPanel(TINTORA_VERSION);
    EXPECT_EQ(openPanels("veltAboutPanel").size(), 1);
}

TEST_F(VeltPanelsTest, SplashClosesItself) {
    velt_splashPanel();
    auto* splash = qobject_cast<QSplashScreen*>(openPanels("veltSplashPanel").value(0));
    ASSERT_NE(splash, nullptr);
    EXPECT_FALSE(splash->pixmap().isNull());
    EXPECT_TRUE(QTest::qWaitFor([] { return openPanels("veltSplashPanel").isEmpty(); }, 5000));
}

} // namespace
