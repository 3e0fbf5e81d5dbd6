// The whole window against real profiles, offscreen: binding, searching, showing results,
// refusing bad files, remembering settings.

#include "DiagramLAB.h"
#include "DisplayColour.h"
#include "LutBytes.h"
#include "OpenTintora.h"
#include "ResultFigures.h"
#include "TestProfiles.h"
#include "csICCProfileConverter.h"
#include "csICCXYZTag.h"
#include "csLog.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString samples = TINTORA_SAMPLE_PROFILES;
const QString sampleCMYK = samples + "/Tintora-Sample-CMYK.icc";
const QString ghostscript = "/usr/share/color/icc/ghostscript/";

// The real window, with its warning boxes recorded instead of shown.
class Window : public OpenTintora {
public:
    QStringList warnings;
    QString nextFile;

protected:
    void showWarning(const QString& title, const QString& text) override {
        warnings << title + " / " + text;
    }
    QString askOpenFileName(const QString&, const QString&) override { return nextFile; }
};

class WindowSession : public testing::Test {
protected:
    WindowSession() { clearLog(); }

    // Types a reference L* as a user does: the field searches on every keystroke.
    void typeLightness(double L) {
        window.lineEditRefL->selectAll();
        QTest::keyClicks(window.lineEditRefL, QString::number(L, 'f', 2));
    }
    void choose(QComboBox* combo, int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    QStringList deviceTexts() const {
        return {window.lineEditDev1->text(), window.lineEditDev2->text(),
                window.lineEditDev3->text(), window.lineEditDev4->text()};
    }

    EmptySettingsStore emptyStore;
    Window window;
};

TEST_F(WindowSession, AnIntentWhoseLutIsRefusedKeepsTheIntentThatWorked) {
    // A2B0 fits the profile; A2B1, used by both colorimetric intents, has 16 outputs.
    csICCProfile profile;
    setHeader(profile, "prtr", "CMYK", "Lab ");
    profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f));
    for (const auto& [name, outputs] : {std::pair{"A2B0", 3u}, {"A2B1", 16u}}) {
        LutBytes bytes;
        bytes.inputs = 4;
        bytes.outputs = outputs;
        ASSERT_EQ(addBlock(profile, name, bytes.mft2()), 0);
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("a2b1-16-outputs.icc");
    ASSERT_EQ(writeProfile(profile, path.toStdString()), 0);

    choose(window.comboBoxIntent, 0);
    window.setProfile(path);
    ASSERT_TRUE(window.warnings.isEmpty()) << window.warnings.join("\n").toStdString();
    window.setReferenceLab(50, 20, 0);
    const QStringList shown = deviceTexts();
    for (int refused : {1, 3}) {
        window.warnings.clear();
        choose(window.comboBoxIntent, refused);
        EXPECT_EQ(window.warnings,
                  QStringList{"Internal error / Failed to prepare profile converter\n\n'A2B1' has "
                              "4 inputs and 16 outputs; the conversion needs 4 and 3"});
        EXPECT_EQ(window.comboBoxIntent->currentIndex(), 0);
        ASSERT_NE(window.outConverter, nullptr);
        EXPECT_TRUE(window.outConverter->isPrepared() && window.outConverter->intent() == 0);
        EXPECT_EQ(deviceTexts(), shown);
        EXPECT_EQ(QSettings(QSettings::UserScope, "Veltrane", "Tintora")
                      .value("/Veltrane/Tintora/lastIntent")
                      .toInt(),
                  0);
    }
}

TEST(DeltaColour, BoundsBelongToTheLowerBand) {
    EXPECT_EQ(Tintora::deltaColour(0.1), QColor(192, 255, 192));
    EXPECT_EQ(Tintora::deltaColour(-0.04), QColor(192, 255, 192));
    EXPECT_EQ(Tintora::deltaColour(1.0), QColor(224, 255, 192));
    EXPECT_EQ(Tintora::deltaColour(1.05), QColor(255, 255, 192));
    EXPECT_EQ(Tintora::deltaColour(-2.5), QColor(255, 224, 192));
    EXPECT_EQ(Tintora::deltaColour(4.0), QColor(255, 192, 192));
    EXPECT_EQ(Tintora::deltaColour(5.0), QColor(255, 128, 128));
    EXPECT_EQ(Tintora::deltaColour(5.01), QColor(255, 64, 64));
    EXPECT_EQ(Tintora::deltaColour(std::nan("")), QColor(255, 64, 64));
}

TEST_F(WindowSession, ResultsRowsAndDiagrams) {
    window.setReferenceLab(50, 0.3, 0.44);
    window.setAchievedLab(50, 0.3, 0.4);
    EXPECT_EQ(window.lineEditAchH->palette().color(window.lineEditAchH->foregroundRole()),
              QColor(224, 224, 224))
        << "a hue below chroma 1 is greyed";
    EXPECT_EQ(window.lineEditDeltaB->palette().color(window.lineEditDeltaB->backgroundRole()),
              QColor(192, 255, 192));
    EXPECT_EQ(window.diagramLAB->xMax, 50.0) << "small chromas keep the range +-50";

    window.setReferenceLab(50, 100, 0);
    window.setAchievedLab(48, 100, -0.1);
    EXPECT_EQ(window.lineEditAchH->text(), "359.94");
    EXPECT_NEAR(window.diagramLAB->xMax, 110.0, 1e-4) << "1.1 x the larger chroma";
    const DiagramLAB* lab = window.diagramLAB;
    EXPECT_EQ(lab->points(4).size(), 2u) << "the connection";
    EXPECT_EQ(lab->color(4), Tintora::deltaColour(window.lineEditDeltaE->text().toDouble()));
    ASSERT_EQ(lab->points(2).size(), 11u);
    EXPECT_NEAR(lab->points(2)[10].x, 100, 0.05) << "the curve ends at the reference";
    const DiagramLAB* cl = window.diagramLCH;
    EXPECT_NEAR(cl->points(1)[0].x, 100, 1e-9) << "chroma along the reference hue";
    EXPECT_EQ(cl->points(1)[0].y, 48.0);
    EXPECT_EQ(cl->points(5).size(), 2u) << "the neutral axis";

    // A tolerance colours the total by the total as shown, and says so beside it.
    const auto totalColour = [&] {
        return window.lineEditDeltaE->palette().color(window.lineEditDeltaE->backgroundRole());
    };
    const QColor bySize = totalColour();
    const double shown = window.lineEditDeltaE->text().toDouble();
    EXPECT_FALSE(window.textLabelTolerancePass->isVisibleTo(&window));
    window.spinBoxTolerance->setValue(shown);
    EXPECT_TRUE(window.textLabelTolerancePass->isVisibleTo(&window));
    EXPECT_EQ(window.textLabelTolerancePass->text(), "within tolerance");
    const QColor pass = totalColour();
    window.spinBoxTolerance->setValue(shown - 0.1);
    EXPECT_EQ(window.textLabelTolerancePass->text(), "outside tolerance");
    EXPECT_NE(totalColour(), pass);
    window.spinBoxTolerance->setValue(0);
    EXPECT_FALSE(window.textLabelTolerancePass->isVisibleTo(&window));
    EXPECT_EQ(totalColour(), bySize);
}

// Writes a synthetic profile into the folder and returns its path.
QString profileFile(const QTemporaryDir& folder, const char* name, const char* cls,
                    const char* space, const char* lut) {
    csICCProfile profile;
    setHeader(profile, cls, space, "Lab ");
    profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f));
    if (lut != nullptr)
        addBlock(profile, lut, LutBytes{}.mft2());
    const QString path = folder.filePath(name);
    writeProfile(profile, path.toStdString());
    return path;
}

TEST_F(WindowSession, RefusalsWarnAndKeepWhatIsBound) {
    QTemporaryDir folder;
    const QString scanner = profileFile(folder, "scanner.icc", "scnr", "RGB ", "A2B0");
    const QString labSpace = profileFile(folder, "lab.icc", "prtr", "Lab ", "A2B0");
    const QString onlyB2A = profileFile(folder, "b2a.icc", "prtr", "CMYK", "B2A0");
    // A display profile with neither A2B tables nor a matrix and TRCs.
    const QString bareDisplay = profileFile(folder, "rgb.icc", "mntr", "RGB ", nullptr);
    const QString truncated = folder.filePath("truncated.icc");
    std::vector<std::uint8_t> head = fileBytes(sampleCMYK.toStdString());
    head.resize(1000);
    writeBytes(truncated.toStdString(), head);

    window.setProfile(sampleCMYK);
    window.setReferenceLab(51, 120, 0);
    const QStringList shown = deviceTexts();
    const QString achieved = window.lineEditAchL->text();
    csICCProfile* bound = window.outProfile;

    struct Refusal {
        QString path, expected;
    };
    const QString readme = QString(TINTORA_SOURCE_DIR) + "/README.md";
    for (const Refusal& r : {
             Refusal{scanner,
                     "Not an output profile / Profile is not an output profile, but 'scnr'"},
             Refusal{ghostscript + "default_gray.icc",
                     "Unsupported device space / Profile is not a CMYK, CMY, or RGB output "
                     "profile, but 'GRAY'"},
             Refusal{labSpace, "Unsupported device space / Profile is not a CMYK, CMY, or RGB "
                               "output profile, but 'Lab '"},
             Refusal{onlyB2A, "No A2B tables found / Profile does not have A2B tables"},
             Refusal{bareDisplay, "No A2B tables found / Profile does not have A2B tables"},
             Refusal{truncated, "Failed to read profile / Failed to read profile " + truncated +
                                    "\n\ntag 'A2B0' offset 428, size 504762 larger than profile "
                                    "1000"},
             Refusal{readme, "Failed to read profile / Failed to read profile " + readme +
                                 "\n\nno 'acsp' signature in profile header"},
             Refusal{QDir::tempPath(), "Failed to read profile / Failed to read profile " +
                                           QDir::tempPath() +
                                           "\n\nfile of 9223372036854775807 bytes is too large "
                                           "for a profile"},
             Refusal{"/no/such.icc", "Failed to open file / Failed to open profile /no/such.icc"},
         }) {
        window.warnings.clear();
        window.setProfile(r.path);
        EXPECT_EQ(window.warnings, QStringList{r.expected});
        EXPECT_EQ(window.outProfile, bound) << r.path.toStdString();
        EXPECT_EQ(deviceTexts(), shown);
        EXPECT_EQ(window.lineEditAchL->text(), achieved);
        EXPECT_EQ(window.lineEditProfile->text(), "Tintora-Sample-CMYK.icc");
        EXPECT_EQ(logCount(), 0u) << "the log is cleared after every attempt";
    }

    // The source side has no A2B check: a B2A-only profile fails when it is prepared.
    window.warnings.clear();
    window.setSource(onlyB2A);
    EXPECT_EQ(window.warnings,
              QStringList{"Internal error / Failed to prepare profile converter\n\ncannot find "
                          "'A2B0' tag for requested conversion"});
    EXPECT_EQ(window.srcConverter, nullptr);
}

TEST_F(WindowSession, OnlyProfilesThatBindAreRememberedAndReopened) {
    const auto remembered = [](const char* key) {
        return QSettings(QSettings::UserScope, "Veltrane", "Tintora")
            .value(QString("/Veltrane/Tintora/") + key)
            .toString();
    };
    {
        // The very first start opens the bundled sample profile.
        Window first;
        first.restoreLastSession();
        EXPECT_EQ(first.lineEditProfile->text(), "Tintora-Sample-CMYK.icc");
        EXPECT_FALSE(first.textLabelNoProfile->isVisibleTo(&first));
    }
    window.nextFile = samples + "/Tintora-Sample-RGB.icc";
    window.chooseProfile();
    EXPECT_EQ(remembered("lastProfilePath"), window.nextFile);
    window.nextFile = "/no/such.icc";
    window.chooseProfile();
    EXPECT_EQ(window.warnings.size(), 1);
    EXPECT_EQ(remembered("lastProfilePath"), samples + "/Tintora-Sample-RGB.icc")
        << "a refused file does not replace the last good one";

    // The command line and drops bind through the same path, and are remembered too.
    window.setParams(sampleCMYK, 40, 30, 20);
    window.setSource(samples + "/Tintora-Sample-CMY.icc");
    EXPECT_EQ(remembered("lastProfilePath"), sampleCMYK);
    EXPECT_EQ(remembered("lastSourcePath"), samples + "/Tintora-Sample-CMY.icc");
    window.rememberEverything();

    Window second;
    second.restoreLastSession();
    EXPECT_EQ(second.lineEditProfile->text(), "Tintora-Sample-CMYK.icc");
    EXPECT_EQ(second.lineEditSource->text(), "Tintora-Sample-CMY.icc");
    EXPECT_EQ(deviceTexts(),
              (QStringList{second.lineEditDev1->text(), second.lineEditDev2->text(),
                           second.lineEditDev3->text(), second.lineEditDev4->text()}))
        << "the same reference in the same profile";
}

TEST_F(WindowSession, SettingsSurviveASecondWindow) {
    window.setReferenceLab(42.5, -12, 33);
    choose(window.comboBoxDeltaFormula, 1);
    choose(window.comboBoxPreserve, 3);
    window.sliderBlack->setValue(15);
    window.sliderStrength->setValue(4);
    window.sliderPriority->setValue(0);
    window.checkBoxLab->setChecked(true);
    window.checkBoxLCh->setChecked(false);
    window.src = {1, 2, 3, 4};
    window.spinBoxTolerance->setValue(2.5);
    window.rememberEverything();

    Window second;
    EXPECT_EQ(second.refA, -12.0);
    EXPECT_EQ(second.lineEditRefB->text(), "33.00");
    EXPECT_EQ(second.comboBoxDeltaFormula->currentIndex(), 1);
    EXPECT_EQ(second.textLabelDeltaE->text(), QString::fromUtf8("\u0394E94"));
    EXPECT_EQ(second.comboBoxPreserve->currentIndex(), 3);
    EXPECT_FALSE(second.sliderStrength->isVisibleTo(&second)) << "no preference";
    EXPECT_EQ(second.sliderBlack->value() * 100 + second.sliderStrength->value() * 10 +
                  second.sliderPriority->value(),
              1540);
    EXPECT_FALSE(second.checkBoxLCh->isChecked());
    EXPECT_EQ(second.lineEditSrc3->text(), "3.0");
    EXPECT_EQ(second.spinBoxTolerance->text(), "2.5") << "with '.' in every locale";
}
} // namespace

namespace {

// The press constraints reach the search, show in the results and come back in a second window.
TEST_F(WindowSession, PressConstraintsHoldAndSurviveASecondWindow) {
    window.setProfile(sampleCMYK);
    window.setReferenceLab(20, 5, 0);
    window.lineEditDev1->setText("10.00");
    window.checkBoxLock1->setChecked(true);
    choose(window.comboBoxBlackMode, 3);
    window.spinBoxInkLimit->setValue(250);
    window.spinBoxBlackLimit->setValue(80);
    const auto sum = [](Window& w) { return w.dev[0] + w.dev[1] + w.dev[2] + w.dev[3]; };
    EXPECT_EQ(window.lineEditDev1->text(), "10.00") << "held at the value locked";
    EXPECT_TRUE(window.lineEditDev1->isReadOnly());
    EXPECT_LE(sum(window), 250);
    EXPECT_LE(window.dev[3], 80);
    EXPECT_EQ(window.textLabelCoverage->text(),
              QString("TAC %1 %").arg(QString::fromStdString(fieldText(sum(window), 2))));
    EXPECT_FALSE(window.sliderBlack->isEnabled()) << "black searched";
    EXPECT_EQ(window.sliderBlack->maximum(), 80);
    window.spinBoxInkLimit->setValue(5);
    EXPECT_EQ(window.spinBoxInkLimit->value(), 10) << "not below the locked C";
    window.spinBoxInkLimit->setValue(250);
    window.rememberEverything();

    Window second;
    second.restoreLastSession();
    EXPECT_EQ(second.comboBoxBlackMode->currentIndex(), 3);
    EXPECT_EQ(second.spinBoxInkLimit->value() * 1000 + second.spinBoxBlackLimit->value(), 250080);
    EXPECT_TRUE(second.checkBoxLock1->isChecked());
    EXPECT_EQ(second.lineEditDev1->text(), "10.00");

    // Another colour space releases the locks and hides what it has no use for.
    second.setProfile("/usr/share/color/icc/colord/sRGB.icc");
    EXPECT_FALSE(second.checkBoxLock1->isChecked());
    EXPECT_FALSE(second.lineEditDev1->isReadOnly());
    EXPECT_FALSE(second.spinBoxInkLimit->isVisibleTo(&second));
    EXPECT_FALSE(second.textLabelCoverage->isVisibleTo(&second));
}

} // namespace

namespace {

// The swatches follow every search: the reference and the achieved colour through the display
// profile, on the paper of the intent; a colour the display cannot show is marked; a chosen
// display profile is kept for the next window, a refused one changes nothing.
TEST_F(WindowSession, SwatchesShowTheColoursOnThePaperThroughTheDisplay) {
    EXPECT_FALSE(window.swatchStrip->isShowing()) << "nothing searched yet";
    window.setProfile(sampleCMYK);
    window.setReferenceLab(60, -90, 40);
    const auto rgb = [](DisplayColour& display, double L, double a, double b) {
        const double lab[3] = {L, a, b};
        const DisplayRGB shown = display.show(lab);
        return QColor(shown.rgb[0], shown.rgb[1], shown.rgb[2]);
    };
    const auto sRGB = DisplayColour::sRGB();
    ASSERT_TRUE(window.swatchStrip->isShowing());
    EXPECT_EQ(window.swatchStrip->reference().colour, rgb(*sRGB, 60, -90, 40));
    EXPECT_TRUE(window.swatchStrip->reference().clipped) << "a green beyond sRGB";
    EXPECT_EQ(window.swatchStrip->achieved().colour,
              rgb(*sRGB, window.achievedL, window.achievedA, window.achievedB));

    // Absolute colorimetric shows the press's paper, which is not white; relative, white.
    const QColor absolutePaper = window.swatchStrip->paper();
    EXPECT_LT(absolutePaper.blue(), 250) << absolutePaper.name().toStdString();
    choose(window.comboBoxIntent, 1);
    EXPECT_EQ(window.swatchStrip->paper(), QColor(255, 255, 255));

    // Another display profile, remembered; one that cannot show colours is refused.
    const QString adobe = "/usr/share/color/icc/colord/AdobeRGB1998.icc";
    window.nextFile = samples + "/Tintora-Sample-CMYK.icc";
    window.chooseDisplayProfile();
    ASSERT_EQ(window.warnings.size(), 1);
    EXPECT_NE(window.warnings[0].indexOf("not an RGB profile"), -1);
    window.nextFile = adobe;
    window.chooseDisplayProfile();
    EXPECT_EQ(window.warnings.size(), 1);
    std::string why;
    const auto adobeDisplay = DisplayColour::bindFile(adobe.toStdString(), &why);
    ASSERT_NE(adobeDisplay, nullptr) << why;
    EXPECT_EQ(window.swatchStrip->reference().colour, rgb(*adobeDisplay, 60, -90, 40));
    EXPECT_NE(window.swatchStrip->reference().colour, rgb(*sRGB, 60, -90, 40));
    Window second;
    second.setProfile(sampleCMYK);
    second.setReferenceLab(60, -90, 40);
    EXPECT_EQ(second.swatchStrip->reference().colour, rgb(*adobeDisplay, 60, -90, 40));
    second.setDisplayProfile({});
    EXPECT_EQ(second.swatchStrip->reference().colour, rgb(*sRGB, 60, -90, 40));
}

} // namespace
