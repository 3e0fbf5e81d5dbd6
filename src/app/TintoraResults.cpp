// The window's search driver and results: running the search for the reference, converting
// device and source values, and showing the achieved colour, its differences and the diagrams.

#include "ColourDifference.h"
#include "DeviceToLab.h"
#include "DiagramLAB.h"
#include "DisplayColour.h"
#include "NumberText.h"
#include "ResultFigures.h"
#include "SpotSearch.h"
#include "Tintora.h"
#include "csCIEConstants.h"
#include "csContext.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

bool xyzPcs(const csICCProfile& profile) { return profile.header().pcs() == Signature("XYZ "); }

void setBrushForAllGroups(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, role, QBrush(colour));
    widget->setPalette(palette);
}

} // namespace

QColor Tintora::deltaColour(double value) {
    const BandColour band = differenceColour(value);
    return {band.r, band.g, band.b};
}

void Tintora::showDelta(QLineEdit* lineEdit, double value) {
    lineEdit->setText(deltaNumberText(value));
    setBrushForAllGroups(lineEdit, lineEdit->backgroundRole(), deltaColour(value));
}

void Tintora::showSwatches() {
    if (outProfile == nullptr || outConverter == nullptr) {
        swatchStrip->clear();
        return;
    }
    // The paper is what the profile makes of no ink (or full RGB), under the intent in use.
    const Signature space = outProfile->header().colorSpace();
    const double white = deviceValuesAreBytes(space) ? 255 : 0;
    const double noInk[4] = {white, white, white, 0};
    double paper[3];
    deviceToLab(*outConverter, space, xyzPcs(*outProfile), noInk, paper);
    const double reference[3] = {refL, refA, refB}, achieved[3] = {achievedL, achievedA, achievedB};
    const auto patch = [this](const double lab[3]) {
        const DisplayRGB shown = display_->show(lab);
        return SwatchStrip::Patch{QColor(shown.rgb[0], shown.rgb[1], shown.rgb[2]), shown.clipped};
    };
    swatchStrip->setSwatches(patch(paper).colour, patch(reference), patch(achieved));
}

void Tintora::showTolerance() {
    const double tolerance = spinBoxTolerance->value();
    const bool judged = tolerance > 0 && shownTotal_.has_value();
    if (shownTotal_)
        showDelta(lineEditDeltaE, *shownTotal_);
    const bool pass = judged && withinTolerance(*shownTotal_, tolerance);
    if (judged)
        setBrushForAllGroups(lineEditDeltaE, lineEditDeltaE->backgroundRole(),
                             pass ? QColor(160, 235, 160) : QColor(255, 128, 128));
    textLabelTolerancePass->setText(pass ? tr("within tolerance") : tr("outside tolerance"));
    setBrushForAllGroups(textLabelTolerancePass, QPalette::WindowText,
                         pass ? QColor(0, 128, 0) : QColor(Qt::red));
    textLabelTolerancePass->setVisible(judged);
}

SearchPreferences Tintora::searchPreferences() const {
    SearchPreferences preferences;
    preferences.strength = sliderStrength->value();
    preferences.priority = sliderPriority->value();
    preferences.preserve = comboBoxPreserve->currentIndex();
    preferences.black = sliderBlack->value();
    preferences.method = comboBoxDeltaFormula->currentIndex();
    PressConstraints& press = preferences.press;
    const bool cmyk = checkBoxLock4->isVisibleTo(this), inks = spinBoxInkLimit->isVisibleTo(this);
    press.inkLimit = inks ? spinBoxInkLimit->value() : 0;
    if (cmyk) {
        static const BlackGeneration modes[4] = {BlackGeneration::Fixed, BlackGeneration::Minimum,
                                                 BlackGeneration::Maximum, BlackGeneration::Free};
        press.black = modes[std::clamp(comboBoxBlackMode->currentIndex(), 0, 3)];
        press.blackLimit = spinBoxBlackLimit->value();
    }
    for (int c = 0; c < (cmyk ? 4 : 3); ++c)
        press.locks[c] = locks_[c];
    return preferences;
}

void Tintora::findAgain() {
    if (outProfile == nullptr || outConverter == nullptr)
        return;
    const SearchPreferences preferences = searchPreferences();
    const double reference[3] = {refL, refA, refB};
    const SpotSearchResult result =
        searchSpotColour(search_, *outConverter, outProfile->header().colorSpace(),
                         xyzPcs(*outProfile), *context, reference, preferences);
    textLabelOutOfGamut->setVisible(result.outOfGamut);
    textLabelNearNeutral->setVisible(result.nearNeutral);
    // The values as the fields will hold them, so that the fields and dev never disagree (a field
    // whose text does not change is not read back).
    std::copy(result.device, result.device + 4, dev.begin());
    updateUIFromDev();
    updateAchievedFromDevice();
}

void Tintora::deviceChange() { updateAchievedFromDevice(); }

void Tintora::sourceChange() { updateReferenceFromSource(); }

void Tintora::updateAchievedFromDevice() {
    if (outProfile == nullptr || outConverter == nullptr)
        return;
    double lab[3];
    deviceToLab(*outConverter, outProfile->header().colorSpace(), xyzPcs(*outProfile), dev.data(),
                lab);
    setAchievedLab(lab[0], lab[1], lab[2]);
    const int channels = checkBoxLock4->isVisibleTo(this) ? 4 : 3;
    textLabelCoverage->setText(
        tr("TAC %1 %")
            .arg(numberText(std::accumulate(dev.begin(), dev.begin() + channels, 0.0), 2)));
}

void Tintora::updateReferenceFromSource() {
    if (srcProfile == nullptr || srcConverter == nullptr)
        return;
    double lab[3];
    deviceToLab(*srcConverter, srcProfile->header().colorSpace(), xyzPcs(*srcProfile), src.data(),
                lab);
    setReferenceLab(lab[0], lab[1], lab[2]);
}

void Tintora::setAchievedLab(double L, double a, double b) {
    achievedL = L;
    achievedA = a;
    achievedB = b;
    const double reference[3] = {refL, refA, refB}, achieved[3] = {L, a, b};
    const ResultFigures f =
        resultFigures(reference, achieved, comboBoxDeltaFormula->currentIndex(), *context);

    lineEditAchL->setText(numberText(L, 2));
    lineEditAchA->setText(numberText(a, 2));
    lineEditAchB->setText(numberText(b, 2));
    lineEditAchC->setText(numberText(f.C, 2));
    lineEditAchH->setText(numberText(f.h, 2));
    // A hue is hardly worth reading below chroma 1.
    setBrushForAllGroups(lineEditAchH, lineEditAchH->foregroundRole(),
                         f.C >= 1.0 ? QColor(0, 0, 0) : QColor(224, 224, 224));

    showDelta(lineEditDeltaL, f.dL);
    showDelta(lineEditDeltaA, f.da);
    showDelta(lineEditDeltaB, f.db);
    showDelta(lineEditDeltaC, f.dC);
    showDelta(lineEditDeltaH, f.dH);
    shownTotal_ = f.total;
    showTolerance();
    showSwatches();

    fillDiagram(diagramLAB, false, L, a, b, f.total);
    fillDiagram(diagramLCH, true, L, a, b, f.total);

    const QPalette first = lineEditDev1->palette();
    QPalette palette = first;
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, QPalette::Text, first.brush(QPalette::Active, QPalette::Text));
    for (SpinLineEdit* field : deviceFields()) {
        field->setEnabled(true);
        field->setPalette(palette);
    }
    showLocks();
}

// The empty frame of a diagram: the a-b plane (view 0) or the C-L plane (view 3) over +-range,
// with its grid, titles and list styles, and no points.
void Tintora::frameDiagram(DiagramLAB* diagram, bool chromaLightness, double range) {
    diagram->backgroundColor = QColor(128, 128, 128);
    diagram->xMin = -range;
    diagram->xMax = range;
    diagram->yMin = chromaLightness ? 0 : -range;
    diagram->yMax = chromaLightness ? 100 : range;
    diagram->autoXMin = diagram->autoXMax = diagram->autoYMin = diagram->autoYMax = false;
    diagram->gridOriginX = diagram->gridOriginY = -100;
    diagram->gridStepX = diagram->gridStepY = 25;
    diagram->setNumLists(6);
    diagram->clearLists();
    diagram->setColor(0, QColor(255, 255, 255));
    diagram->setColor(1, chromaLightness ? QColor(64, 64, 255) : QColor(0, 0, 255));
    diagram->setColor(2, QColor(192, 192, 192));
    diagram->setColor(3, chromaLightness ? QColor(128, 128, 255) : QColor(64, 64, 255));
    diagram->setColor(4, deltaColour(0));
    diagram->setColor(5, QColor(64, 64, 64));
    diagram->setView(chromaLightness ? 3 : 0);
    diagram->xTitle = chromaLightness ? "C" : "a";
    diagram->yTitle = chromaLightness ? "L" : "b";
    diagram->gridX = diagram->gridY = true;
    for (unsigned list : {0u, 1u})
        diagram->setDataStyle(list, Diagram::circles);
    for (unsigned list : {2u, 3u, 4u})
        diagram->setDataStyle(list, Diagram::lines);
    diagram->setDataStyle(5, chromaLightness ? Diagram::lines : Diagram::circles);
    diagram->setPointSize(0, 6);
    diagram->setPointSize(1, 6);
    if (!chromaLightness)
        diagram->setPointSize(5, 3);
}

// One diagram of the results: the a-b plane (view 0), or chroma along the reference's hue against
// L* (view 3), with the reference, the achieved colour, their connection, the constant-hue curves
// of both and the neutral point or axis.
void Tintora::fillDiagram(DiagramLAB* diagram, bool chromaLightness, double L, double a, double b,
                          double total) {
    const double referenceC = std::sqrt(refB * refB + refA * refA);
    const double achievedC = std::sqrt(b * b + a * a);
    const double R = std::max({1.1 * referenceC, 1.1 * achievedC, 50.0});
    frameDiagram(diagram, chromaLightness, R);
    diagram->setColor(4, deltaColour(total));
    diagram->setReference(refL, refA, refB);
    if (chromaLightness)
        diagram->setHueAngle(refH);

    // In the C-L view a colour lies at its chroma along the diagram's hue direction.
    const double theta = diagram->hueAngle() * csCIE::pi / 180;
    const auto x = [&](double pa, double pb) {
        return chromaLightness ? pb * std::sin(theta) + pa * std::cos(theta) : pa;
    };
    const auto y = [&](double pL, double pb) { return chromaLightness ? pL : pb; };
    diagram->appendPoint(0, x(refA, refB), y(refL, refB), 0);
    diagram->appendPoint(1, x(a, b), y(L, b), 1);
    diagram->appendPoint(4, x(refA, refB), y(refL, refB), 0);
    diagram->appendPoint(4, x(a, b), y(L, b), 1);
    diagram->appendPoint(5, 0, 0, 0);
    if (chromaLightness)
        diagram->appendPoint(5, 0, 100, 1);

    // Constant perceived hue from the neutral axis out to each colour, through the appearance
    // model: the same J and h at a tenth, two tenths, ... of the colour's chroma.
    const double colours[2][3] = {{refL, refA, refB}, {L, a, b}};
    for (int which = 0; which < 2; ++which) {
        float J, ac, bc, C, h;
        context->labToJab(static_cast<float>(colours[which][0]),
                          static_cast<float>(colours[which][1]),
                          static_cast<float>(colours[which][2]), &J, &ac, &bc, &C, &h);
        const double hr = h * csCIE::pi / 180;
        for (int i = 0; i <= 10; ++i) {
            const double c = i * C / 10.0;
            float pL, pa, pb;
            context->jabToLab(J, static_cast<float>(c * std::cos(hr)),
                              static_cast<float>(c * std::sin(hr)), &pL, &pa, &pb);
            diagram->appendPoint(2 + which, x(pa, pb), y(pL, pb), 0);
        }
    }
    diagram->repaint();
}
