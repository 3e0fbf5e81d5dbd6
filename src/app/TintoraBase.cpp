#include "TintoraBase.h"

#include "NumberText.h"
#include "RangeValidator.h"
#include "csCIEConstants.h"

#include <QKeyEvent>
#include <QLocale>

#include <cmath>
#include <limits>
#include <string>

namespace {

using csCIE::pi;

constexpr int referenceDecimals = 2;
constexpr int deviceDecimals = 2;
constexpr int sourceDecimals = 1;

// The fields take '.' as the decimal point whatever the user's locale, as the window writes them.
void setNumberValidator(QLineEdit* field, double bottom, double top, int decimals) {
    field->setValidator(new RangeValidator(bottom, top, decimals, field));
}

void setVisibleAll(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* widget : widgets)
        widget->setVisible(visible);
}

} // namespace

TintoraBase::TintoraBase(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {
    dev.fill(std::numeric_limits<double>::quiet_NaN());
    setupUi(this);

    setNumberValidator(lineEditRefL, 0, 100, 10);
    setNumberValidator(lineEditRefA, -128, 128, 10);
    setNumberValidator(lineEditRefB, -128, 128, 10);
    setNumberValidator(lineEditRefC, 0, 184, 10);
    setNumberValidator(lineEditRefH, 0, 360, 10);

    for (SpinLineEdit* field : deviceFields()) {
        field->setText(numberText(0.0, deviceDecimals));
        setNumberValidator(field, 0, 100, 5);
    }
    for (SpinLineEdit* field : sourceFields())
        setNumberValidator(field, 0, 100, 5);

    comboBoxPreserve->setCurrentIndex(0);
    preserveSelected();

    checkBoxLab->setChecked(false);
    checkBoxLCh->setChecked(true);
    displayAB();
    displayCH();
    resetResults();
}

std::array<SpinLineEdit*, 5> TintoraBase::referenceFields() const {
    return {lineEditRefL, lineEditRefA, lineEditRefB, lineEditRefC, lineEditRefH};
}

std::array<SpinLineEdit*, 4> TintoraBase::deviceFields() const {
    return {lineEditDev1, lineEditDev2, lineEditDev3, lineEditDev4};
}

std::array<SpinLineEdit*, 4> TintoraBase::sourceFields() const {
    return {lineEditSrc1, lineEditSrc2, lineEditSrc3, lineEditSrc4};
}

void TintoraBase::setNumberText(QLineEdit* field, double value, int decimals) {
    const QString text = numberText(value, decimals);
    if (field->text() != text)
        field->setText(text);
}

void TintoraBase::setDeviceLabels(const char* first, const char* second, const char* third,
                                  bool cmyk) {
    // Locks hold values of the channels they were set on: another colour space releases them.
    if (textLabelDev1->text() != tr(first) || checkBoxLock4->isVisibleTo(this) != cmyk)
        for (QCheckBox* lock : {checkBoxLock1, checkBoxLock2, checkBoxLock3, checkBoxLock4})
            lock->setChecked(false);
    textLabelDev1->setText(tr(first));
    textLabelDev2->setText(tr(second));
    textLabelDev3->setText(tr(third));
    if (cmyk)
        textLabelDev4->setText(tr("K"));
    setVisibleAll({textLabelDev4, lineEditDev4, textLabelBlack, textLabelBlackNo, textLabelBlackMax,
                   sliderBlack, comboBoxBlackMode, textLabelBlackLimit, spinBoxBlackLimit,
                   checkBoxLock4},
                  cmyk);
    // Inks add up to a coverage; the light of a display does not.
    const bool inks = std::string(first) != "R";
    setVisibleAll({textLabelPress, textLabelInkLimit, spinBoxInkLimit, textLabelCoverage}, inks);
}

void TintoraBase::setSourceLabels(const char* first, const char* second, const char* third,
                                  bool cmyk) {
    textLabelSrc1->setText(tr(first));
    textLabelSrc2->setText(tr(second));
    textLabelSrc3->setText(tr(third));
    if (cmyk)
        textLabelSrc4->setText(tr("K"));
    setVisibleAll({textLabelSrc4, lineEditSrc4}, cmyk);
}

void TintoraBase::setModeCMYK() {
    setDeviceLabels(QT_TR_NOOP("C"), QT_TR_NOOP("M"), QT_TR_NOOP("Y"), true);
}
void TintoraBase::setModeCMY() {
    setDeviceLabels(QT_TR_NOOP("C"), QT_TR_NOOP("M"), QT_TR_NOOP("Y"), false);
}
void TintoraBase::setModeRGB() {
    setDeviceLabels(QT_TR_NOOP("R"), QT_TR_NOOP("G"), QT_TR_NOOP("B"), false);
}
void TintoraBase::setSourceModeCMYK() {
    setSourceLabels(QT_TR_NOOP("C"), QT_TR_NOOP("M"), QT_TR_NOOP("Y"), true);
}
void TintoraBase::setSourceModeCMY() {
    setSourceLabels(QT_TR_NOOP("C"), QT_TR_NOOP("M"), QT_TR_NOOP("Y"), false);
}
void TintoraBase::setSourceModeRGB() {
    setSourceLabels(QT_TR_NOOP("R"), QT_TR_NOOP("G"), QT_TR_NOOP("B"), false);
}

void TintoraBase::preserveSelected() {
    // The emphasis slider runs between the two attributes that remain after the preserved one.
    static const char* const remaining[3][2] = {{QT_TR_NOOP("C*"), QT_TR_NOOP("L*")},
                                                {QT_TR_NOOP("h*"), QT_TR_NOOP("L*")},
                                                {QT_TR_NOOP("h*"), QT_TR_NOOP("C*")}};
    const int index = comboBoxPreserve->currentIndex();
    const bool preserving = index >= 0 && index < 3;
    if (preserving) {
        textLabelPriority1->setText(tr(remaining[index][0]));
        textLabelPriority2->setText(tr(remaining[index][1]));
    }
    setVisibleAll({textLabelPriority, textLabelPriority1, textLabelPriority2, sliderPriority,
                   textLabelStrength, textLabelStrength1, textLabelStrength2, sliderStrength},
                  preserving);
}

void TintoraBase::updateRefABfromCH() {
    const double r = refH * pi / 180.0;
    refA = refC * std::cos(r);
    refB = refC * std::sin(r);
    setNumberText(lineEditRefA, refA, referenceDecimals);
    setNumberText(lineEditRefB, refB, referenceDecimals);
}

void TintoraBase::updateRefCHfromAB() {
    refC = std::sqrt(refA * refA + refB * refB);
    // Not wrapped into [0, 360): a negative b* shows as a negative hue angle.
    refH = std::atan2(refB, refA) * 180.0 / pi;
    setNumberText(lineEditRefC, refC, referenceDecimals);
    setNumberText(lineEditRefH, refH, referenceDecimals);
}

void TintoraBase::displayAB() {
    setVisibleAll({textLabelRefA, textLabelRefB, textLabelAchA, textLabelAchB, textLabelDeltaA,
                   textLabelDeltaB, lineEditRefA, lineEditRefB, lineEditAchA, lineEditAchB,
                   lineEditDeltaA, lineEditDeltaB},
                  checkBoxLab->isChecked());
}

void TintoraBase::displayCH() {
    setVisibleAll({textLabelRefC, textLabelRefH, textLabelAchC, textLabelAchH, textLabelDeltaC,
                   textLabelDeltaH, lineEditRefC, lineEditRefH, lineEditAchC, lineEditAchH,
                   lineEditDeltaC, lineEditDeltaH},
                  checkBoxLCh->isChecked());
}

void TintoraBase::resetResults() {
    for (QLineEdit* field :
         {static_cast<QLineEdit*>(lineEditDev1), static_cast<QLineEdit*>(lineEditDev2),
          static_cast<QLineEdit*>(lineEditDev3), static_cast<QLineEdit*>(lineEditDev4),
          lineEditAchL, lineEditAchA, lineEditAchB, lineEditAchC, lineEditAchH, lineEditDeltaL,
          lineEditDeltaA, lineEditDeltaB, lineEditDeltaC, lineEditDeltaH, lineEditDeltaE,
          lineEditProfile})
        field->setText(QString());
}

bool TintoraBase::readChangedNumber(const QLineEdit* field, double current, int decimals,
                                    double* value) {
    if (!field->hasAcceptableInput() || field->text() == numberText(current, decimals))
        return false;
    *value = QLocale::c().toDouble(field->text());
    return *value != current;
}

// L*, a*, b* (index 0 to 2) or C*, h (3, 4) from its field; true when it changed.
bool TintoraBase::referenceChanged(int index) {
    double* const values[5] = {&refL, &refA, &refB, &refC, &refH};
    double value = 0;
    if (!readChangedNumber(referenceFields()[index], *values[index], referenceDecimals, &value))
        return false;
    *values[index] = value;
    return true;
}

void TintoraBase::updateRefL() {
    if (referenceChanged(0))
        requestSearch();
}

void TintoraBase::updateRefA() {
    if (!referenceChanged(1))
        return;
    updateRefCHfromAB();
    requestSearch();
}

void TintoraBase::updateRefB() {
    if (!referenceChanged(2))
        return;
    updateRefCHfromAB();
    requestSearch();
}

void TintoraBase::updateRefC() {
    if (!referenceChanged(3))
        return;
    updateRefABfromCH();
    requestSearch();
}

void TintoraBase::updateRefH() {
    if (!referenceChanged(4))
        return;
    updateRefABfromCH();
    requestSearch();
}

// Exact comparison on purpose: only a number that really differs is stored and converted, so
// rewriting a field with the same value (or with text that reads as the same number) does nothing.
bool TintoraBase::takeChangedValue(const std::array<SpinLineEdit*, 4>& fields,
                                   std::array<double, 4>& values, int index) {
    if (!fields[index]->hasAcceptableInput())
        return false;
    const double value = QLocale::c().toDouble(fields[index]->text());
    if (value == values[index])
        return false;
    values[index] = value;
    return true;
}

void TintoraBase::showValues(const std::array<SpinLineEdit*, 4>& fields,
                             const std::array<double, 4>& values, int decimals) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        setNumberText(fields[i], values[i], decimals);
}

void TintoraBase::updateDev(int index) {
    if (takeChangedValue(deviceFields(), dev, index))
        deviceChange();
}

void TintoraBase::updateDev1() { updateDev(0); }
void TintoraBase::updateDev2() { updateDev(1); }
void TintoraBase::updateDev3() { updateDev(2); }
void TintoraBase::updateDev4() { updateDev(3); }
void TintoraBase::updateUIFromDev() { showValues(deviceFields(), dev, deviceDecimals); }

void TintoraBase::updateSrc(int index) {
    if (takeChangedValue(sourceFields(), src, index))
        sourceChange();
}

void TintoraBase::updateSrc1() { updateSrc(0); }
void TintoraBase::updateSrc2() { updateSrc(1); }
void TintoraBase::updateSrc3() { updateSrc(2); }
void TintoraBase::updateSrc4() { updateSrc(3); }
void TintoraBase::updateUIFromSrc() { showValues(sourceFields(), src, sourceDecimals); }

void TintoraBase::languageChange() {
    // The form compiler keeps combo-box items across a retranslation; the window has always
    // refilled them, which also puts every combo box back on its first item.
    for (QComboBox* combo :
         {comboBoxSourceIntent, comboBoxIntent, comboBoxPreserve, comboBoxDeltaFormula}) {
        const int count = combo->count();
        combo->clear();
        for (int i = 0; i < count; ++i)
            combo->addItem(QString());
    }
    retranslateUi(this);
}

void TintoraBase::setFieldTop(std::initializer_list<SpinLineEdit*> fields, double top) {
    for (SpinLineEdit* field : fields) {
        field->maximum = top;
        if (auto* range = field->findChild<RangeValidator*>())
            range->setTop(top);
    }
}

TintoraBase::SearchBatch::SearchBatch(TintoraBase& window) : window_(window) {
    ++window_.batchDepth_;
}

TintoraBase::SearchBatch::~SearchBatch() {
    if (--window_.batchDepth_ == 0 && window_.searchPending_) {
        window_.searchPending_ = false;
        window_.findAgain();
    }
}

void TintoraBase::requestSearch() {
    if (batchDepth_ > 0)
        searchPending_ = true;
    else
        findAgain();
}

void TintoraBase::restoreUnreadableFields() {
    const auto restore = [](SpinLineEdit* field, double value, int decimals) {
        if (!field->hasFocus() && !field->hasAcceptableInput() && !std::isnan(value))
            setNumberText(field, value, decimals);
    };
    const double reference[5] = {refL, refA, refB, refC, refH};
    for (int i = 0; i < 5; ++i)
        restore(referenceFields()[i], reference[i], referenceDecimals);
    for (int i = 0; i < 4; ++i) {
        restore(deviceFields()[i], dev[i], deviceDecimals);
        restore(sourceFields()[i], src[i], sourceDecimals);
    }
}

void TintoraBase::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TintoraBase::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        languageChange();
    QDialog::changeEvent(event);
}
