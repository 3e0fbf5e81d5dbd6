// The window's remembered settings: restored while the window is built, written at exit.

#include "SettingsStore.h"
#include "Tintora.h"

#include <QSignalBlocker>

namespace {

const char* const lockKeys[4] = {"lastLock1", "lastLock2", "lastLock3", "lastLock4"};

} // namespace

void Tintora::restoreLastSettings() {
    using SettingsStore::read;
    comboBoxIntent->setCurrentIndex(read("lastIntent", 3).toInt());
    comboBoxSourceIntent->setCurrentIndex(read("lastSourceIntent", 3).toInt());
    comboBoxPreserve->setCurrentIndex(read("lastPreserve", 0).toInt());
    sliderStrength->setValue(read("lastStrength", 2).toInt());
    sliderPriority->setValue(read("lastPriority", 2).toInt());
    comboBoxDeltaFormula->setCurrentIndex(read("lastMethod", 3).toInt());
    spinBoxBlackLimit->setValue(read("lastBlackLimit", 100).toInt());
    sliderBlack->setMaximum(spinBoxBlackLimit->value());
    sliderBlack->setValue(read("lastBlack", 0).toInt());
    comboBoxBlackMode->setCurrentIndex(read("lastBlackMode", 0).toInt());
    spinBoxInkLimit->setValue(read("lastInkLimit", 0).toInt());
    spinBoxTolerance->setValue(read("lastTolerance", 0.0).toDouble());
    QCheckBox* const lockBoxes[4] = {checkBoxLock1, checkBoxLock2, checkBoxLock3, checkBoxLock4};
    for (int i = 0; i < 4; ++i) {
        locks_[i] = read(lockKeys[i], -1.0).toDouble();
        const QSignalBlocker quiet(lockBoxes[i]);
        lockBoxes[i]->setChecked(locks_[i] >= 0);
    }
    showLocks();
    const bool displayLab = read("lastDisplayAB", false).toBool();
    const bool displayLCh = read("lastDisplayCH", true).toBool();
    checkBoxLab->setChecked(displayLab);
    checkBoxLCh->setChecked(displayLCh);
    checkBoxUseSource->setChecked(read("lastUseSource", false).toBool());
    static const char* const sourceKeys[4] = {"lastSrc1", "lastSrc2", "lastSrc3", "lastSrc4"};
    for (int i = 0; i < 4; ++i)
        src[i] = read(sourceKeys[i], 0.0).toDouble();

    restoreLastLAB();
    setUseSource();
    methodChanged();
    preserveSelected();
    displayAB();
    displayCH();
    updateUIFromSrc();
}

void Tintora::restoreLastLAB() {
    using SettingsStore::read;
    refL = read("lastL", 50.0).toDouble();
    refA = read("lastA", 0.0).toDouble();
    refB = read("lastB", 0.0).toDouble();
    setReferenceLab(refL, refA, refB);
    preserveSelected();
}

void Tintora::rememberRefL() { SettingsStore::write("lastL", refL); }
void Tintora::rememberRefA() { SettingsStore::write("lastA", refA); }
void Tintora::rememberRefB() { SettingsStore::write("lastB", refB); }
void Tintora::rememberUseSource() {
    SettingsStore::write("lastUseSource", checkBoxUseSource->isChecked());
}
void Tintora::rememberDisplayAB() {
    SettingsStore::write("lastDisplayAB", checkBoxLab->isChecked());
}
void Tintora::rememberDisplayCH() {
    SettingsStore::write("lastDisplayCH", checkBoxLCh->isChecked());
}
void Tintora::rememberPreserve() {
    SettingsStore::write("lastPreserve", comboBoxPreserve->currentIndex());
}
void Tintora::rememberMethod() {
    SettingsStore::write("lastMethod", comboBoxDeltaFormula->currentIndex());
}
void Tintora::rememberBlack() { SettingsStore::write("lastBlack", sliderBlack->value()); }
void Tintora::rememberPress() {
    SettingsStore::write("lastBlackMode", comboBoxBlackMode->currentIndex());
    SettingsStore::write("lastInkLimit", spinBoxInkLimit->value());
    SettingsStore::write("lastBlackLimit", spinBoxBlackLimit->value());
    for (int i = 0; i < 4; ++i)
        SettingsStore::write(lockKeys[i], locks_[i]);
}
void Tintora::rememberStrength() { SettingsStore::write("lastStrength", sliderStrength->value()); }
void Tintora::rememberPriority() { SettingsStore::write("lastPriority", sliderPriority->value()); }
void Tintora::rememberSrc() {
    SettingsStore::write("lastSrc1", src[0]);
    SettingsStore::write("lastSrc2", src[1]);
    SettingsStore::write("lastSrc3", src[2]);
    SettingsStore::write("lastSrc4", src[3]);
}
