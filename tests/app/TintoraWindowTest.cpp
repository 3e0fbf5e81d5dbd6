#include "NumberText.h"
#include "OpenTintora.h"
#include "ResultFigures.h"
#include "VeltFramework.h"
#include "VeltGlue.h"

#include <QApplication>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iomanip>
#include <random>

namespace {

// The window with its search and conversions replaced by a record of when they were asked for.
class RecordingWindow : public OpenTintora {
public:
    void findAgain() override { calls << "findAgain " + textLabelDeltaE->text(); }
    void deviceChange() override { calls << "deviceChange"; }
    void sourceChange() override { calls << "sourceChange"; }

    QStringList takeCalls() { return std::exchange(calls, {}); }
    QStringList calls;

protected:
    void showWarning(const QString& title, const QString& text) override {
        calls << "warning " + title + ": " + text;
    }
};

bool shown(const QWidget* widget) { return widget->isVisibleTo(widget->window()); }

QStringList actionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QString("----") : action->text());
    return texts;
}

QMenu* menuNamed(const QWidget& window, const QString& title) {
    auto* bar = window.findChild<QMenuBar*>("menubar");
    for (QAction* action : bar ? bar->actions() : QList<QAction*>{}) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

void step(QWidget* field, Qt::Key key) { QTest::keyClick(field, key); }

class TintoraWindowTest : public testing::Test {
protected:
    ~TintoraWindowTest() override {
        // Tests that change the style values put the installed ones back.
        VeltFramework::useStyle(VeltGlue::instance().style());
    }
    EmptySettingsStore emptyStore;
    RecordingWindow window;
};

// The command line prints, and the search rounds the device values by, the digits the window
// shows: exact halves, values just beside them and ordinary ones.
TEST(NumberText, TheCommandLineWritesTheDigitsTheWindowShows) {
    std::mt19937_64 random(15);
    std::uniform_real_distribution<double> anywhere(-200, 200);
    for (int i = 0; i < 3000; ++i) {
        double value = anywhere(random);
        if (i % 3 == 0)
            value = std::round(value * 8) / 8; // halves of the second decimal, exactly
        else if (i % 3 == 1)
            value = std::nextafter(std::round(value * 200) / 200, i % 2 ? 1e9 : -1e9);
        for (int decimals : {0, 1, 2})
            ASSERT_EQ(numberText(value, decimals).toStdString(), fieldText(value, decimals))
                << std::setprecision(17) << value << " with " << decimals;
    }
}

TEST_F(TintoraWindowTest, GeometryTitleAndEscape) {
    window.show();
    QTest::keyClick(window.lineEditRefL, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible()) << "Escape does not close the window";
    EXPECT_EQ(window.size(),
              QSize(797, std::min(780, window.screen()->availableGeometry().height() - 40)))
        << "780 high where the screen has room";
    EXPECT_EQ(window.minimumSize(), QSize(680, 680))
        << "fits a 768-pixel screen with a title bar and a panel";
    // Every field and control fits at that size, with both reference notations and four channels
    // showing; the legend beside the diagrams keeps its lines.
    window.checkBoxLab->click();
    window.resize(window.minimumSize());
    QApplication::processEvents();
    ASSERT_TRUE(shown(window.lineEditDev4) && shown(window.lineEditRefA));
    const QSize needed = window.layout()->totalMinimumSize();
    EXPECT_LE(needed.width(), 680);
    EXPECT_LE(needed.height(), 680);
    for (const QLabel* line :
         {window.textLabelLegend, window.textLabelLegend_2, window.textLabelLegend_3,
          window.textLabelLegend_4, window.textLabelLegend_5})
        EXPECT_GE(line->height(), line->heightForWidth(line->width()))
            << line->text().toStdString();
    EXPECT_EQ(window.windowTitle(), "Veltrane Tintora");
    const QImage banner = window.labelHead->pixmap().toImage();
    EXPECT_EQ(window.labelHead_left->pixmap().toImage(), banner.copy(0, 0, 1, banner.height()));
    EXPECT_EQ(window.labelHead_right->pixmap().toImage(),
              banner.copy(banner.width() - 1, 0, 1, banner.height()))
        << "the banner's first and last columns, stretched";

    // A language change applies the texts again and puts the combos back to their first entry.
    window.comboBoxIntent->setCurrentIndex(2);
    window.setWindowTitle("changed");
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&window, &change);
    EXPECT_EQ(window.windowTitle(), "Veltrane Tintora");
    EXPECT_EQ(window.comboBoxIntent->currentIndex(), 0);
}

TEST_F(TintoraWindowTest, MenusTitleAndUpdateEntryFollowTheStyleValues) {
    // The installed style has no update service.
    const QMenu* file = menuNamed(window, "&File");
    ASSERT_TRUE(file && menuNamed(window, "&Help"));
    EXPECT_EQ(actionTexts(file), (QStringList{"&Display Profile for Swatches...",
                                              "Display Profile: &sRGB", "----", "&Quit"}));
    EXPECT_EQ(actionTexts(menuNamed(window, "&Help")),
              (QStringList{"&About", "&Help", "----", "&Support..."}));

    const auto styled = [](const std::string& xml) {
        const std::string path = QDir::tempPath().toStdString() + "/tintora-style-test.xml";
        std::ofstream(path) << xml;
        StyleFile style;
        EXPECT_TRUE(style.load(path));
        VeltFramework::useStyle(style);
        return std::make_unique<RecordingWindow>();
    };
    auto acme = styled("<s><vendor>Acme</vendor><product>Spotter</product>"
                       "<updater>False</updater></s>");
    EXPECT_EQ(acme->windowTitle(), "Acme Spotter");
    EXPECT_EQ(actionTexts(menuNamed(*acme, "&Help")),
              (QStringList{"&About", "&Help", "----", "&Update...", "&Support..."}))
        << "only the exact text \"false\" removes the entry";
    auto bare = styled("<s/>");
    EXPECT_EQ(bare->windowTitle(), " ");
    EXPECT_TRUE(actionTexts(menuNamed(*bare, "&Help")).contains("&Update..."));
}

TEST_F(TintoraWindowTest, InitialStateOfAFreshWindow) {
    EXPECT_FALSE(shown(window.lineEditRefA) || shown(window.textLabelOutOfGamut));
    EXPECT_TRUE(shown(window.lineEditRefH) && shown(window.textLabelNoProfile));
    EXPECT_TRUE(window.lineEditDev1->text().isEmpty() && window.lineEditDeltaE->text().isEmpty());
    EXPECT_EQ(window.lineEditDeltaE->palette().color(QPalette::Base),
              window.lineEditDeltaL->palette().color(QPalette::Base))
        << "no total is coloured as a difference";
    EXPECT_FALSE(window.swatchStrip->isShowing());

    EXPECT_EQ(window.comboBoxIntent->currentText(), "absolute colorimetric");
    EXPECT_EQ(window.comboBoxSourceIntent->currentIndex(), 3);
    EXPECT_EQ(window.comboBoxPreserve->currentIndex(), 0);
    EXPECT_EQ(window.comboBoxDeltaFormula->currentIndex(), 3) << "CIECAM02 on a first run";
    EXPECT_EQ(window.textLabelDeltaE->text(), QString::fromUtf8("\u0394JCh"));
    EXPECT_TRUE(std::isnan(window.dev[0]));
    EXPECT_EQ(window.lineEditRefL->text(), "50.00");
    EXPECT_EQ(window.lineEditRefC->text(), "0.00");
    EXPECT_EQ(window.sliderStrength->value() * 10 + window.sliderPriority->value(), 22);
    EXPECT_EQ(window.sliderBlack->value(), 0);
    EXPECT_FALSE(window.checkBoxUseSource->isChecked());
    EXPECT_TRUE(window.calls.isEmpty()) << "building the window runs no search";
}

// The fields take numbers in their range only, with '.' whatever the user's locale.
TEST_F(TintoraWindowTest, FieldsTakeNumbersInTheirRange) {
    const auto state = [](QLineEdit* field, QString text) {
        int position = 0;
        return field->validator()->validate(text, position);
    };
    struct Case {
        QLineEdit* field;
        const char* text;
        QValidator::State expected;
    };
    for (const Case& c : {Case{window.lineEditRefL, "100", QValidator::Acceptable},
                          Case{window.lineEditRefL, "150", QValidator::Invalid},
                          Case{window.lineEditRefL, "50,5", QValidator::Invalid},
                          Case{window.lineEditRefL, "", QValidator::Intermediate},
                          Case{window.lineEditRefA, "-", QValidator::Intermediate},
                          Case{window.lineEditRefB, "-129", QValidator::Invalid},
                          Case{window.lineEditRefC, "184", QValidator::Acceptable},
                          Case{window.lineEditRefC, "185", QValidator::Invalid},
                          Case{window.lineEditDev3, "12.34567", QValidator::Acceptable},
                          Case{window.lineEditDev3, "12.345678", QValidator::Invalid},
                          Case{window.lineEditSrc1, "150", QValidator::Invalid},
                          Case{window.lineEditSrc1, "1e3", QValidator::Invalid}})
        EXPECT_EQ(state(c.field, c.text), c.expected)
            << c.field->objectName().toStdString() << " " << c.text;
    // Hue wraps round when stepped; the others stop at their limits.
    window.lineEditRefH->setText("0");
    step(window.lineEditRefH, Qt::Key_Down);
    EXPECT_EQ(window.lineEditRefH->text(), "359.0");
    window.lineEditRefA->setText("-127.5");
    step(window.lineEditRefA, Qt::Key_Down);
    EXPECT_EQ(window.lineEditRefA->text(), "-128.0");
}

TEST_F(TintoraWindowTest, ReferenceLabWritesFieldsAndFollowsWithLCh) {
    window.setReferenceLab(55, 0, -10);
    EXPECT_EQ(window.lineEditRefB->text(), "-10.00");
    EXPECT_EQ(window.lineEditRefC->text(), "10.00");
    EXPECT_EQ(window.lineEditRefH->text(), "-90.00") << "hue angles are not wrapped";
    EXPECT_EQ(window.takeCalls(), QStringList{QString::fromUtf8("findAgain \u0394JCh")})
        << "one search, after the whole reference is in place";

    window.setReferenceLab(55, 0, -10);
    EXPECT_TRUE(window.takeCalls().isEmpty()) << "the same reference starts nothing";

    window.setReferenceLab(55, 20, -10);
    EXPECT_EQ(window.takeCalls().size(), 1) << "a new a* with the same L* searches too";
    window.setReferenceLab(12.345, 0, 0);
    EXPECT_EQ(window.refL, 12.345) << "the field shows it rounded; the search takes it whole";
}

TEST_F(TintoraWindowTest, LChEditsDriveLabAndSearchWhenLeft) {
    window.setReferenceLab(60, 10, 0);
    window.takeCalls();

    window.lineEditRefC->setText("50");
    EXPECT_TRUE(window.takeCalls().isEmpty()) << "C* searches only when left";
    leave(window.lineEditRefC);
    window.lineEditRefH->setText("90");
    leave(window.lineEditRefH);
    EXPECT_EQ(window.takeCalls().size(), 2);
    EXPECT_EQ(window.lineEditRefA->text(), "0.00");
    EXPECT_EQ(window.lineEditRefB->text(), "50.00");
    // The window's value of pi is 3.14159265358979, a little short of the double's.
    EXPECT_DOUBLE_EQ(window.refA, 50 * std::cos(90 * 3.14159265358979 / 180));

    window.lineEditRefA->setText("-30");
    step(window.lineEditRefA, Qt::Key_Up); // -29.0, through valueChanged()
    EXPECT_EQ(window.lineEditRefC->text(), "57.80");
    EXPECT_EQ(window.lineEditRefH->text(), "120.11");
    EXPECT_EQ(window.takeCalls().size(), 1);

    // A field left half-typed shows its value again, and nothing is searched.
    window.lineEditRefA->setText("-");
    leave(window.lineEditRefA);
    EXPECT_EQ(window.lineEditRefA->text(), "-29.00");
    EXPECT_TRUE(window.takeCalls().isEmpty());
}

TEST_F(TintoraWindowTest, DeviceAndSourceEditsConvertOnlyRealChanges) {
    window.lineEditDev1->setText("0");
    EXPECT_EQ(window.takeCalls(), QStringList{"deviceChange"}) << "dev starts as NaN";
    window.lineEditDev1->setText("0.000");
    window.lineEditDev1->setText("abc"); // reads as 0
    EXPECT_TRUE(window.takeCalls().isEmpty());
    window.lineEditDev2->setText("12.5");
    EXPECT_EQ(window.takeCalls(), QStringList{"deviceChange"});
    EXPECT_EQ(window.dev[1], 12.5);

    window.dev = {1.234, 12.5, 0.0, 99.999};
    window.updateUIFromDev();
    EXPECT_EQ(window.lineEditDev4->text(), "100.00");
    // The shown values are read back, so what is converted is what the user sees.
    EXPECT_EQ(window.dev[0], 1.23);
    EXPECT_EQ(window.takeCalls().size(), 2) << "only the values the rounding changed convert again";

    window.lineEditSrc3->setText("45.5");
    EXPECT_EQ(window.takeCalls(), QStringList{"sourceChange"});
    window.src = {10.04, 0.0, 45.5, 7.0};
    window.updateUIFromSrc();
    EXPECT_EQ(window.lineEditSrc1->text(), "10.0");
    EXPECT_EQ(window.takeCalls(), QStringList{"sourceChange"}) << "only 10.04 became another value";
}

TEST_F(TintoraWindowTest, DropOnTheWindowOpensOnlyTheFirstFile) {
    QSignalSpy dropped(&window, &Tintora::dropOpenDocuments);
    QSignalSpy opened(&window, &Tintora::processDocument);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/p/first.icc"), QUrl::fromLocalFile("/p/second.icc")});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Delivered directly: the application passes drops only to the target of a real drag.
    static_cast<QObject&>(window).event(&drop);
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList().size(), 2);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).toString(), "/p/first.icc");
}

} // namespace
