#include "Tintora.h"

#include "ColourDifference.h"
#include "DataDirectory.h"
#include "DisplayColour.h"
#include "NumberText.h"
#include "QDropFrame.h"
#include "SettingsStore.h"
#include "ViewingConditions.h"
#include "csContext.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"
#include "velt.h"

#include <tintora/version.h>

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>

namespace {

constexpr int menuBarHeight = 24;

// A style value of the installation; an absent one reads as an empty string.
QString styleValue(const char* name) { return QString::fromLatin1(velt_findStyleElement(name)); }

// A file of the Resources folder in the program's data folder.
QString resourcePath(const QString& name) { return dataDirectory() + "/Resources/" + name; }

} // namespace

Tintora::Tintora(QWidget* parent, Qt::WindowFlags flags) : TintoraBase(parent, flags) {
    setWindowTitle(tr("%1 %2").arg(styleValue("vendor"), styleValue("product")));

    // The menu bar is not part of the form's layout; the layout leaves room for it instead.
    layout()->setContentsMargins(0, menuBarHeight, 0, 0);
    buildMenus();
    showBanner(resourcePath("banner.png"));

    context = new csContext;
    setWindowViewingConditions(*context);
    display_ = DisplayColour::sRGB();
    // A remembered display profile that no longer binds leaves the packaged sRGB, silently.
    const QString displayPath = SettingsStore::read("lastDisplayProfile", QString()).toString();
    if (!displayPath.isEmpty()) {
        std::string why;
        if (auto chosen = DisplayColour::bindFile(displayPath.toStdString(), &why))
            display_ = std::move(chosen);
        clearLog();
    }

    // Tolerances are read and shown with '.', as every number of the window.
    spinBoxTolerance->setLocale(QLocale::c());
    restoreLastSettings();

    // Drops are taken by the two profile fields, each of which knows which profile it sets.
    setAcceptDrops(false);

    lineEditRefA->minimum = -128;
    lineEditRefA->maximum = 128;
    lineEditRefB->minimum = -128;
    lineEditRefB->maximum = 128;
    lineEditRefC->maximum = 181;
    lineEditRefH->maximum = 359;
    lineEditRefH->wrap = true;

    QPalette warning{QColor(Qt::white)};
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        warning.setBrush(group, QPalette::Text, QBrush(Qt::red));
        warning.setBrush(group, QPalette::WindowText, QBrush(Qt::red));
    }
    textLabelOutOfGamut->setPalette(warning);
    textLabelNearNeutral->setPalette(warning);
    // Nothing has been searched yet; without an output profile there is nothing to search in.
    textLabelOutOfGamut->hide();
    textLabelNearNeutral->hide();
    showTolerance();
    showProfileState();
    frameDiagram(diagramLAB, false, 50);
    frameDiagram(diagramLCH, true, 50);

    // Made after the remembered settings are restored, so that restoring starts no search.
    makeConnections();
    fitToScreen();
    raise();
}

Tintora::~Tintora() {
    // Converters first: they work on their profiles.
    delete outConverter;
    delete outProfile;
    delete srcConverter;
    delete srcProfile;
    delete context;
}

void Tintora::buildMenus() {
    auto* menubar = new QMenuBar(this);
    menubar->setObjectName("menubar");
    menubar->setGeometry(0, 0, width(), menuBarHeight);
    // Which reference and result fields to show is a matter of the view, not of the search: the
    // choice sits at the right end of the menu bar.
    menubar->setCornerWidget(displayBox);

    QMenu* file = menubar->addMenu(tr("&File"));
    file->addAction(tr("&Display Profile for Swatches..."), this, &Tintora::chooseDisplayProfile)
        ->setMenuRole(QAction::NoRole);
    file->addAction(tr("Display Profile: &sRGB"), this, [this] { setDisplayProfile({}); })
        ->setMenuRole(QAction::NoRole);
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &Tintora::appquit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu* helpMenu = menubar->addMenu(tr("&Help"));
    QAction* aboutAction = helpMenu->addAction(tr("&About"), this, &Tintora::about);
    aboutAction->setMenuRole(QAction::AboutRole);
    helpMenu->addAction(tr("&Help"), this, &Tintora::help)->setMenuRole(QAction::NoRole);
    helpMenu->addSeparator();
    // Installations without an update service say so in their style file.
    if (styleValue("updater") != QLatin1String("false"))
        helpMenu->addAction(tr("&Update..."), this, &Tintora::updateDialog)
            ->setMenuRole(QAction::NoRole);
    helpMenu->addAction(tr("&Support..."), this, &Tintora::supportDialog)
        ->setMenuRole(QAction::NoRole);
}

void Tintora::showBanner(const QString& path) {
    const QPixmap banner(path);
    if (banner.isNull())
        return;
    labelHead->setPixmap(banner);
    // The side labels stretch the banner's edge columns across the rest of the window's width.
    labelHead_left->setPixmap(banner.copy(0, 0, 1, banner.height()));
    labelHead_right->setPixmap(banner.copy(banner.width() - 1, 0, 1, banner.height()));
}

void Tintora::makeConnections() {
    connect(checkBoxUseSource, &QCheckBox::clicked, this, &Tintora::setUseSource);
    connect(pushButtonSource, &QPushButton::clicked, this, qOverload<>(&Tintora::chooseSource));
    connect(comboBoxSourceIntent, &QComboBox::activated, this, &Tintora::sourceIntentChange);
    connect(pushButtonProfile, &QPushButton::clicked, this, qOverload<>(&Tintora::chooseProfile));
    connect(comboBoxIntent, &QComboBox::activated, this, &Tintora::intentChange);
    connect(comboBoxPreserve, &QComboBox::activated, this, &Tintora::requestSearch);
    connect(comboBoxDeltaFormula, &QComboBox::activated, this, &Tintora::requestSearch);
    connect(comboBoxDeltaFormula, &QComboBox::activated, this, &Tintora::methodChanged);
    connect(sliderBlack, &QSlider::valueChanged, this, &Tintora::requestSearch);
    connect(comboBoxBlackMode, &QComboBox::activated, this, [this] {
        SearchBatch batch(*this);
        showLocks();
        keepInkLimit();
        requestSearch();
    });
    connect(spinBoxInkLimit, &QSpinBox::valueChanged, this, [this] {
        SearchBatch batch(*this);
        keepInkLimit();
        requestSearch();
    });
    connect(sliderBlack, &QSlider::valueChanged, this, [this] {
        SearchBatch batch(*this);
        keepInkLimit();
    });
    connect(spinBoxBlackLimit, &QSpinBox::valueChanged, this, [this](int limit) {
        // A fixed black never above the limit: the slider's end follows it (and a value past
        // it moves back, which searches).
        SearchBatch batch(*this);
        sliderBlack->setMaximum(limit);
        requestSearch();
    });
    for (QCheckBox* lock : {checkBoxLock1, checkBoxLock2, checkBoxLock3, checkBoxLock4})
        connect(lock, &QCheckBox::toggled, this, &Tintora::lockChanged);
    connect(spinBoxTolerance, &QDoubleSpinBox::valueChanged, this, [this](double tolerance) {
        showTolerance();
        SettingsStore::write("lastTolerance", tolerance);
    });
    connect(sliderStrength, &QSlider::valueChanged, this, &Tintora::requestSearch);
    connect(sliderPriority, &QSlider::valueChanged, this, &Tintora::requestSearch);

    connect(lineEditRefL, &SpinLineEdit::valueChanged, this, &Tintora::updateRefL);
    connect(lineEditRefA, &SpinLineEdit::valueChanged, this, &Tintora::updateRefA);
    connect(lineEditRefB, &SpinLineEdit::valueChanged, this, &Tintora::updateRefB);
    connect(lineEditRefC, &SpinLineEdit::valueChanged, this, &Tintora::updateRefC);
    connect(lineEditRefH, &SpinLineEdit::valueChanged, this, &Tintora::updateRefH);
    connect(lineEditDev1, &SpinLineEdit::valueChanged, this, &Tintora::updateDev1);
    connect(lineEditDev2, &SpinLineEdit::valueChanged, this, &Tintora::updateDev2);
    connect(lineEditDev3, &SpinLineEdit::valueChanged, this, &Tintora::updateDev3);
    connect(lineEditDev4, &SpinLineEdit::valueChanged, this, &Tintora::updateDev4);
    connect(lineEditSrc1, &SpinLineEdit::valueChanged, this, &Tintora::updateSrc1);
    connect(lineEditSrc2, &SpinLineEdit::valueChanged, this, &Tintora::updateSrc2);
    connect(lineEditSrc3, &SpinLineEdit::valueChanged, this, &Tintora::updateSrc3);
    connect(lineEditSrc4, &SpinLineEdit::valueChanged, this, &Tintora::updateSrc4);

    // L* searches on every keystroke; the other reference fields when they are left.
    connect(lineEditRefL, &QLineEdit::textChanged, this, &Tintora::updateRefL);
    connect(lineEditRefA, &SpinLineEdit::lostFocus, this, &Tintora::updateRefA);
    connect(lineEditRefB, &SpinLineEdit::lostFocus, this, &Tintora::updateRefB);
    connect(lineEditRefC, &SpinLineEdit::lostFocus, this, &Tintora::updateRefC);
    connect(lineEditRefH, &SpinLineEdit::lostFocus, this, &Tintora::updateRefH);
    connect(lineEditDev1, &QLineEdit::textChanged, this, &Tintora::updateDev1);
    connect(lineEditDev2, &QLineEdit::textChanged, this, &Tintora::updateDev2);
    connect(lineEditDev3, &QLineEdit::textChanged, this, &Tintora::updateDev3);
    connect(lineEditDev4, &QLineEdit::textChanged, this, &Tintora::updateDev4);
    connect(lineEditSrc1, &QLineEdit::textChanged, this, &Tintora::updateSrc1);
    connect(lineEditSrc2, &QLineEdit::textChanged, this, &Tintora::updateSrc2);
    connect(lineEditSrc3, &QLineEdit::textChanged, this, &Tintora::updateSrc3);
    connect(lineEditSrc4, &QLineEdit::textChanged, this, &Tintora::updateSrc4);
    // A field left half-typed shows the value the window works with again.
    const auto restoreOnLeaving = [this](const auto& fields) {
        for (SpinLineEdit* field : fields)
            connect(field, &SpinLineEdit::lostFocus, this, &Tintora::restoreUnreadableFields);
    };
    restoreOnLeaving(referenceFields());
    restoreOnLeaving(deviceFields());
    restoreOnLeaving(sourceFields());

    connect(this, &Tintora::dropOpenDocuments, this, &Tintora::openDocuments);
    connect(this, &Tintora::processDocument, this, &Tintora::setProfile);
    connect(currentProfileFrame, &QDropFrame::receivedDrop, this, &Tintora::setProfile);
    connect(sourceProfileFrame, &QDropFrame::receivedDrop, this, &Tintora::setSource);
}

void Tintora::openDocuments(const QStringList& files) {
    qDebug("openDocs...");
    if (files.isEmpty())
        return;
    qDebug("openDocuments <%s>", qPrintable(files.first()));
    emit processDocument(files.first());
    if (files.size() > 1)
        qDebug("openDocuments: multiple docs are not supported");
}

void Tintora::dragEnterEvent(QDragEnterEvent* event) {
    if (QDropFrame::canDecode(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void Tintora::dropEvent(QDropEvent* event) {
    const QStringList files = QDropFrame::decodeLocalFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    qDebug("tintora::dropEvent: uri");
    for (const QString& file : files)
        qDebug("list contains <%s>", qPrintable(file));
    emit dropOpenDocuments(files);
}

void Tintora::resizeEvent(QResizeEvent* event) {
    TintoraBase::resizeEvent(event);
    if (auto* bar = findChild<QMenuBar*>("menubar"))
        bar->resize(width(), menuBarHeight);
}

void Tintora::lockChanged() {
    SearchBatch batch(*this);
    QCheckBox* const boxes[4] = {checkBoxLock1, checkBoxLock2, checkBoxLock3, checkBoxLock4};
    for (int i = 0; i < 4; ++i)
        locks_[i] = !boxes[i]->isChecked() ? -1 : (locks_[i] >= 0 ? locks_[i] : dev[i]);
    showLocks();
    keepInkLimit();
    requestSearch();
}

void Tintora::keepInkLimit() {
    // What the locked channels and a fixed black already take; an ink limit set below it goes up
    // to it.
    const double used = inkTaken(searchPreferences(), checkBoxLock4->isVisibleTo(this));
    const int needed = static_cast<int>(std::ceil(used - 1e-9));
    if (spinBoxInkLimit->value() > 0 && spinBoxInkLimit->value() < needed)
        spinBoxInkLimit->setValue(needed);
}

void Tintora::showLocks() {
    SpinLineEdit* const fields[4] = {lineEditDev1, lineEditDev2, lineEditDev3, lineEditDev4};
    for (int i = 0; i < 4; ++i) {
        const bool locked = locks_[i] >= 0;
        fields[i]->setReadOnly(locked);
        fields[i]->setToolTip(locked ? tr("locked at %1").arg(numberText(locks_[i], 2))
                                     : QString());
        // A locked field takes the window's colour instead of a field's.
        QPalette colours = fields[i]->palette();
        colours.setColor(QPalette::Base,
                         palette().color(locked ? QPalette::Window : QPalette::Base));
        fields[i]->setPalette(colours);
    }
    sliderBlack->setEnabled(comboBoxBlackMode->currentIndex() == 0 && locks_[3] < 0);
}

void Tintora::rememberEverything() {
    rememberRefL();
    rememberRefA();
    rememberRefB();
    rememberUseSource();
    rememberDisplayAB();
    rememberDisplayCH();
    rememberPreserve();
    rememberMethod();
    rememberBlack();
    rememberPress();
    rememberStrength();
    rememberPriority();
    rememberSrc();
}

void Tintora::setReferenceLab(double L, double a, double b) {
    // One search, after all of the reference is in place, for the exact values given: the fields
    // show them rounded, and reading the L* text back must not round the reference.
    SearchBatch batch(*this);
    const bool changed = L != refL || a != refA || b != refB;
    setNumberText(lineEditRefL, L, 2);
    setNumberText(lineEditRefA, a, 2);
    setNumberText(lineEditRefB, b, 2);
    refL = L;
    refA = a;
    refB = b;
    updateRefCHfromAB();
    if (changed)
        requestSearch();
}

void Tintora::setUseSource() {
    // Either the reference is typed, or it comes from source device values; never both.
    const bool useSource = checkBoxUseSource->isChecked();
    SearchBatch batch(*this);
    if (useSource)
        updateReferenceFromSource();
    for (QWidget* widget : std::initializer_list<QWidget*>{
             textLabelSource, lineEditSource, pushButtonSource, comboBoxSourceIntent, textLabelSrc,
             textLabelSrc1, textLabelSrc2, textLabelSrc3, textLabelSrc4, lineEditSrc1, lineEditSrc2,
             lineEditSrc3, lineEditSrc4})
        widget->setEnabled(useSource);
    for (QWidget* widget : std::initializer_list<QWidget*>{lineEditRefL, lineEditRefA, lineEditRefB,
                                                           lineEditRefC, lineEditRefH})
        widget->setEnabled(!useSource);
}

void Tintora::methodChanged() {
    const std::string label = differenceLabel(comboBoxDeltaFormula->currentIndex());
    if (!label.empty())
        textLabelDeltaE->setText(QString::fromStdString(label));
}

void Tintora::setParams(QString icc, double l0, double a0, double b0) {
    SearchBatch batch(*this);
    checkBoxUseSource->setChecked(false);
    setUseSource();
    if (!icc.isNull())
        setProfile(icc);
    setReferenceLab(l0, a0, b0);
}

void Tintora::about() { velt_aboutPanel(TINTORA_VERSION); }
void Tintora::help() { velt_showHelp(); }
void Tintora::updateDialog() { velt_searchUpdate(); }
void Tintora::supportDialog() { velt_showSupport(TINTORA_VERSION); }
void Tintora::appquit() { QCoreApplication::quit(); }

void Tintora::chooseDisplayProfile() {
    const QString last = SettingsStore::read("lastDisplayProfile", QDir::homePath()).toString();
    const QString path = askOpenFileName(tr("Choose RGB display profile"), last);
    if (!path.isEmpty())
        setDisplayProfile(path);
}

void Tintora::setDisplayProfile(const QString& path) {
    if (path.isEmpty()) {
        display_ = DisplayColour::sRGB();
    } else {
        std::string why;
        auto chosen = DisplayColour::bindFile(path.toUtf8().constData(), &why);
        clearLog();
        if (!chosen) {
            showWarning(tr("Display profile"), tr("\"%1\" cannot draw the swatches: %2")
                                                   .arg(path, QString::fromUtf8(why.c_str())));
            return;
        }
        display_ = std::move(chosen);
    }
    SettingsStore::write("lastDisplayProfile", path);
    showSwatches();
}

void Tintora::showProfileState() { textLabelNoProfile->setVisible(outProfile == nullptr); }

void Tintora::restoreLastSession() {
    SearchBatch batch(*this);
    // The remembered reference first: a source that is in use then replaces it with its own.
    restoreLastLAB();
    if (!SettingsStore::contains("lastProfilePath")) {
        // The very first start: the sample press profile, so that a search is on screen at once.
        const QString sample = resourcePath("profiles/Tintora-Sample-CMYK.icc");
        if (QFileInfo(sample).isFile())
            setProfile(sample);
    } else {
        chooseProfile(true);
    }
    chooseSource(true);
}

void Tintora::fitToScreen() {
    // On a short screen (768 pixels, with a panel and the title bar) the window starts as tall as
    // there is room for; the diagrams take what is left.
    constexpr int titleAndFrame = 40;
    if (const QScreen* shown = screen()) {
        const int room = shown->availableGeometry().height() - titleAndFrame;
        if (room < height())
            resize(width(), std::max(minimumHeight(), room));
    }
}
