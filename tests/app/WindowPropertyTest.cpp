// Random sessions of user actions, seeded: after every action the window must show exactly what
// one fresh search of the search core gives for the reference, profile, intent and preferences it
// shows, and no action may search more than once.

#include "ColourDifference.h"
#include "ConverterIntent.h"
#include "CraftedLuts.h"
#include "DeviceToLab.h"
#include "NumberText.h"
#include "OpenTintora.h"
#include "ResultFigures.h"
#include "SpotSearch.h"
#include "TestProfiles.h"
#include "VariationOptimizer.h"
#include "ViewingConditions.h"
#include "csContext.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

const QString samples = TINTORA_SAMPLE_PROFILES;

class Window : public OpenTintora {
public:
    void findAgain() override {
        if (outProfile != nullptr)
            ++searches;
        Tintora::findAgain();
    }
    int searches = 0;

protected:
    void showWarning(const QString&, const QString&) override {}
};

class Session {
public:
    explicit Session(unsigned seed) : random_(seed) {
        EmptySettingsStore{};
        setWindowViewingConditions(context_);
        const CraftedLut crafted{"mft2", 4, 16};
        refused_ = folder_.filePath("crafted.icc");
        writeBytes(refused_.toStdString(), crafted.profile());
        window_ = std::make_unique<Window>();
    }

    // One random action; returns its name for the failure message.
    QString act() {
        Window& w = *window_;
        const int searchesBefore = w.searches;
        QString done;
        switch (pick(15)) {
        case 0:
            done = type(w.lineEditRefL, number(0, 100), false);
            break;
        case 1:
        case 2: {
            SpinLineEdit* fields[] = {w.lineEditRefA, w.lineEditRefB, w.lineEditRefC,
                                      w.lineEditRefH};
            const int which = pick(4);
            const double top[] = {128, 128, 184, 360}, bottom[] = {-128, -128, 0, 0};
            done = type(fields[which], number(bottom[which], top[which]), true);
            break;
        }
        case 3: {
            // Stepped with a key, or only visited.
            SpinLineEdit* fields[] = {w.lineEditRefA, w.lineEditRefB, w.lineEditRefC,
                                      w.lineEditRefH};
            SpinLineEdit* field = fields[pick(4)];
            const int how = pick(3);
            if (how < 2)
                QTest::keyClick(field, how == 0 ? Qt::Key_Up : Qt::Key_Down);
            leave(field);
            done = "step or visit " + field->objectName();
            break;
        }
        case 4: {
            QSlider* sliders[] = {w.sliderStrength, w.sliderPriority, w.sliderBlack};
            QSlider* slider = sliders[pick(3)];
            slider->setValue(slider->minimum() + pick(slider->maximum() - slider->minimum() + 1));
            done = "slide " + slider->objectName();
            break;
        }
        case 5: {
            QComboBox* combos[] = {w.comboBoxPreserve, w.comboBoxDeltaFormula, w.comboBoxIntent,
                                   w.comboBoxSourceIntent};
            QComboBox* combo = combos[pick(4)];
            const int index = pick(combo->count());
            combo->setCurrentIndex(index);
            emit combo->activated(index);
            done = "choose " + combo->objectName();
            break;
        }
        case 6:
            (pick(2) ? w.checkBoxLab : w.checkBoxLCh)->click();
            done = "display";
            break;
        case 14: {
            // The press constraints: black generation, the limits, a lock.
            const int what = pick(4);
            if (what == 0 && w.comboBoxBlackMode->isVisibleTo(&w)) {
                const int index = pick(4);
                w.comboBoxBlackMode->setCurrentIndex(index);
                emit w.comboBoxBlackMode->activated(index);
            } else if (what == 1 && w.spinBoxInkLimit->isVisibleTo(&w)) {
                w.spinBoxInkLimit->setValue(pick(2) ? 0 : 150 + pick(250));
            } else if (what == 2 && w.spinBoxBlackLimit->isVisibleTo(&w)) {
                w.spinBoxBlackLimit->setValue(pick(101));
            } else if (what == 3) {
                QCheckBox* locks[] = {w.checkBoxLock1, w.checkBoxLock2, w.checkBoxLock3,
                                      w.checkBoxLock4};
                QCheckBox* lock = locks[pick(4)];
                if (lock->isVisibleTo(&w))
                    QTest::mouseClick(lock, Qt::LeftButton);
            }
            done = "press constraint " + QString::number(what);
            break;
        }
        case 7:
            QTest::mouseClick(w.checkBoxUseSource, Qt::LeftButton);
            done = "use source";
            break;
        case 8:
            if (w.checkBoxUseSource->isChecked()) {
                const double top = w.lineEditSrc1->maximum;
                done = type(w.lineEditSrc1, number(0, top), false);
            }
            break;
        case 9: {
            // ps_cmyk.icc has an XYZ PCS; colord's sRGB is a matrix/TRC display profile.
            const QString outputs[] = {samples + "/Tintora-Sample-CMYK.icc",
                                       samples + "/Tintora-Sample-RGB.icc",
                                       "/usr/share/color/icc/ghostscript/default_cmyk.icc",
                                       "/usr/share/color/icc/ghostscript/ps_cmyk.icc",
                                       "/usr/share/color/icc/colord/sRGB.icc",
                                       refused_,
                                       "/no/such.icc"};
            const QString path = outputs[pick(7)];
            w.setProfile(path);
            done = "output profile " + path;
            break;
        }
        case 10: {
            const QString sources[] = {samples + "/Tintora-Sample-CMY.icc",
                                       samples + "/Tintora-Sample-RGB.icc", refused_};
            const QString path = sources[pick(3)];
            const double before[3] = {w.refL, w.refA, w.refB};
            w.setSource(path);
            done = "source profile " + path;
            if (!w.checkBoxUseSource->isChecked()) {
                EXPECT_TRUE(before[0] == w.refL && before[1] == w.refA && before[2] == w.refB)
                    << "a source that is not in use leaves the typed reference alone";
            }
            break;
        }
        case 11: {
            w.rememberEverything();
            window_ = std::make_unique<Window>();
            if (pick(2)) {
                window_->restoreLastSession();
                done = "restart";
            } else {
                window_->setParams(samples + "/Tintora-Sample-CMYK.icc", number(0, 100),
                                   number(-128, 128), number(-128, 128));
                done = "restart with arguments";
            }
            manual_ = false;
            EXPECT_LE(window_->searches, 1) << done.toStdString();
            return done;
        }
        default: {
            if (window_->outProfile == nullptr)
                return "nothing";
            SpinLineEdit* fields[] = {w.lineEditDev1, w.lineEditDev2, w.lineEditDev3};
            done = type(fields[pick(3)], number(0, w.lineEditDev1->maximum), false);
            manual_ = true;
            break;
        }
        }
        if (w.searches > searchesBefore)
            manual_ = false;
        if (!done.startsWith("type")) {
            EXPECT_LE(w.searches - searchesBefore, 1)
                << "one search per action: " << done.toStdString();
        }
        return done;
    }

    // The window against a fresh search of what it shows.
    void check(const QString& action) {
        Window& w = *window_;
        SCOPED_TRACE(action.toStdString());
        ASSERT_EQ(logCount(), 0u) << "the log is cleared after every action";
        const double reference[3] = {w.refL, w.refA, w.refB};
        // The fields show the reference (a stepped field with one decimal, as stepping writes).
        const auto shows = [](const QLineEdit* field, double value) {
            return numberText(field->text().toDouble(), 2) == numberText(value, 2);
        };
        EXPECT_TRUE(shows(w.lineEditRefL, w.refL)) << w.lineEditRefL->text().toStdString();
        EXPECT_TRUE(shows(w.lineEditRefA, w.refA)) << w.lineEditRefA->text().toStdString();
        EXPECT_TRUE(shows(w.lineEditRefB, w.refB)) << w.lineEditRefB->text().toStdString();
        EXPECT_NEAR(w.refC, std::hypot(w.refA, w.refB), 1e-9);
        // The controls follow the choices: columns, emphasis labels, the total's name, the
        // reference fields' state.
        EXPECT_EQ(w.lineEditRefA->isVisibleTo(&w), w.checkBoxLab->isChecked());
        EXPECT_EQ(w.lineEditDeltaH->isVisibleTo(&w), w.checkBoxLCh->isChecked());
        const int preserve = w.comboBoxPreserve->currentIndex();
        const char* emphasis[3] = {"C* L*", "h* L*", "h* C*"};
        EXPECT_EQ(w.sliderPriority->isVisibleTo(&w) && w.sliderStrength->isVisibleTo(&w),
                  preserve < 3);
        if (preserve < 3) {
            EXPECT_EQ(w.textLabelPriority1->text() + " " + w.textLabelPriority2->text(),
                      emphasis[preserve]);
        }
        EXPECT_EQ(w.textLabelDeltaE->text().toStdString(),
                  differenceLabel(w.comboBoxDeltaFormula->currentIndex()));
        EXPECT_NE(w.lineEditRefL->isEnabled(), w.checkBoxUseSource->isChecked());
        if (w.checkBoxUseSource->isChecked() && w.srcConverter != nullptr) {
            double lab[3];
            deviceToLab(*w.srcConverter, w.srcProfile->header().colorSpace(),
                        w.srcProfile->header().pcs() == Signature("XYZ "), w.src.data(), lab);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(reference[k], lab[k], 1e-9) << "the reference is the source's";
        }
        if (w.outProfile == nullptr) {
            EXPECT_TRUE(w.textLabelNoProfile->isVisibleTo(&w));
            EXPECT_FALSE(w.textLabelOutOfGamut->isVisibleTo(&w));
            return;
        }
        EXPECT_FALSE(w.textLabelNoProfile->isVisibleTo(&w));
        const ConverterIntent intent = converterIntentForIndex(w.comboBoxIntent->currentIndex());
        ASSERT_EQ(w.outConverter->intent(), static_cast<unsigned>(intent.intent));
        ASSERT_EQ(w.outConverter->whiteMode(), static_cast<unsigned>(intent.whiteMode));

        const Signature space = w.outProfile->header().colorSpace();
        EXPECT_EQ(w.textLabelDev1->text(), space == Signature("RGB ") ? "R" : "C");
        EXPECT_EQ(w.lineEditDev4->isVisibleTo(&w) && w.sliderBlack->isVisibleTo(&w),
                  space == Signature("CMYK"));
        const bool xyzPcs = w.outProfile->header().pcs() == Signature("XYZ ");
        double achieved[3];
        if (manual_) {
            deviceToLab(*w.outConverter, space, xyzPcs, w.dev.data(), achieved);
        } else {
            const SearchPreferences preferences = w.searchPreferences();
            const SpotSearchResult expected = searchSpotColour(
                workspace_, *w.outConverter, space, xyzPcs, context_, reference, preferences);
            const SpinLineEdit* fields[] = {w.lineEditDev1, w.lineEditDev2, w.lineEditDev3,
                                            w.lineEditDev4};
            for (int c = 0; c < (space == Signature("CMYK") ? 4 : 3); ++c)
                EXPECT_EQ(fields[c]->text().toStdString(), fieldText(expected.device[c], 2)) << c;
            EXPECT_EQ(w.textLabelOutOfGamut->isVisibleTo(&w), expected.outOfGamut);
            EXPECT_EQ(w.textLabelNearNeutral->isVisibleTo(&w), expected.nearNeutral);
            std::copy(expected.achieved, expected.achieved + 3, achieved);
        }
        const ResultFigures f =
            resultFigures(reference, achieved, w.comboBoxDeltaFormula->currentIndex(), context_);
        EXPECT_EQ(w.lineEditAchL->text().toStdString(), fieldText(f.L, 2));
        EXPECT_EQ(w.lineEditAchH->text().toStdString(), fieldText(f.h, 2));
        EXPECT_EQ(w.lineEditDeltaC->text().toStdString(), deltaText(f.dC));
        EXPECT_EQ(w.lineEditDeltaE->text().toStdString(), deltaText(f.total));
        const auto& shownReference = w.diagramLAB->points(0);
        ASSERT_EQ(shownReference.size(), 1u);
        EXPECT_EQ(shownReference[0].x, w.refA);
        EXPECT_EQ(shownReference[0].y, w.refB);
        EXPECT_NEAR(w.diagramLCH->points(0)[0].x, w.refC, 1e-9)
            << "the C-L diagram draws the reference at its chroma";
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    double number(double bottom, double top) {
        return std::round(std::uniform_real_distribution<double>(bottom, top)(random_) * 100) / 100;
    }
    // Selects the field's text and types value over it, as a user does, and leaves it if asked.
    // Every keystroke is an action of its own (L* and the source values follow each one).
    QString type(SpinLineEdit* field, double value, bool andLeave) {
        field->selectAll();
        const QString text = numberText(value, 2);
        for (const QChar c : text) {
            const int before = window_->searches;
            QTest::keyClicks(field, QString(c));
            EXPECT_LE(window_->searches - before, 1) << "one search per keystroke";
        }
        if (andLeave)
            leave(field);
        return "type " + text + " in " + field->objectName();
    }

    std::mt19937 random_;
    QTemporaryDir folder_;
    QString refused_;
    csContext context_;
    SearchWorkspace workspace_;
    std::unique_ptr<Window> window_;
    bool manual_ = false; // device values typed since the last search
};

TEST(WindowProperty, WhatTheWindowShowsIsOneFreshSearchOfIt) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        Session session(seed);
        for (int step = 0; step < 120 && !testing::Test::HasFatalFailure(); ++step)
            session.check(session.act());
    }
}

} // namespace
