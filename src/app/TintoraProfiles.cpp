// The window's profile binding: choosing, reading, checking and binding the output and source
// profiles, and preparing their converters for the chosen rendering intents.

#include "ProfileBinding.h"
#include "SettingsStore.h"
#include "Tintora.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <array>

void Tintora::showWarning(const QString& title, const QString& text) {
    QMessageBox::warning(this, title, text);
}

QString Tintora::askOpenFileName(const QString& title, const QString& start) {
    return QFileDialog::getOpenFileName(this, title, start);
}

void Tintora::warnAbout(const BindingMessage& message, const QString& argument,
                        const QString& reason) {
    QString text = tr(message.text);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(argument);
    // What the library found wrong, below what was refused.
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason;
    showWarning(tr(message.title), text);
}

void Tintora::chooseProfile(bool tryLast) {
    const QString last = SettingsStore::read("lastProfilePath", QDir::homePath()).toString();
    QString candidate;
    if (!tryLast) {
        candidate = askOpenFileName(tr("Choose ICC output profile"), last);
    } else {
        const QFileInfo info(last);
        if (!info.exists() || !info.isFile())
            return;
        candidate = last;
    }
    if (!candidate.isEmpty())
        setProfile(candidate);
}

void Tintora::chooseProfile() { chooseProfile(false); }

void Tintora::chooseSource(bool tryLast) {
    const QString last = SettingsStore::read("lastSourcePath", QDir::homePath()).toString();
    QString candidate;
    if (!tryLast) {
        candidate = askOpenFileName(tr("Choose ICC source profile"), last);
    } else {
        const QFileInfo info(last);
        if (!info.exists() || !info.isFile())
            return;
        candidate = last;
    }
    if (!candidate.isEmpty())
        setSource(candidate);
}

void Tintora::chooseSource() { chooseSource(false); }

void Tintora::setProfile(const QString& path) { bindProfile(path, true); }

void Tintora::setSource(const QString& path) { bindProfile(path, false); }

void Tintora::bindProfile(const QString& path, bool outputSide) {
    QComboBox* intent = outputSide ? comboBoxIntent : comboBoxSourceIntent;
    ProfileBinding binding =
        ::bindProfileFile(path.toUtf8().constData(), outputSide, intent->currentIndex());
    if (!binding.bound()) {
        // A refused file changes nothing: the bound profile, its converter, the results and the
        // remembered path stay.
        const bool aboutTheFile =
            binding.stage == BindingStage::open || binding.stage == BindingStage::read;
        warnAbout(*binding.refusal,
                  aboutTheFile ? path : QString::fromLatin1(binding.refusal->argument.c_str()),
                  QString::fromUtf8(binding.reason.c_str()));
        if (binding.logExplains())
            printLog();
        clearLog();
        return;
    }
    clearLog();
    SettingsStore::write(outputSide ? "lastProfilePath" : "lastSourcePath",
                         QFileInfo(path).absoluteFilePath());
    SearchBatch batch(*this);

    csICCProfile*& profile = outputSide ? outProfile : srcProfile;
    csICCProfileConverter*& bound = outputSide ? outConverter : srcConverter;
    delete bound;
    delete profile;
    profile = binding.profile.release();
    bound = binding.converter.release();
    (outputSide ? boundIntent_ : boundSourceIntent_) = intent->currentIndex();
    const Signature space = profile->header().colorSpace();
    if (space == Signature("CMYK"))
        outputSide ? setModeCMYK() : setSourceModeCMYK();
    else if (space == Signature("CMY "))
        outputSide ? setModeCMY() : setSourceModeCMY();
    else
        outputSide ? setModeRGB() : setSourceModeRGB();
    (outputSide ? lineEditProfile : lineEditSource)->setText(QFileInfo(path).fileName());
    showProfileState();
    // The fourth field is K, always in percent.
    const double top = space == Signature("RGB ") ? 255.0 : 100.0;
    const std::array<SpinLineEdit*, 4> fields = outputSide ? deviceFields() : sourceFields();
    setFieldTop({fields[0], fields[1], fields[2]}, top);
    outputSide ? intentChange() : sourceIntentChange();
}

bool Tintora::applyIntent(bool outputSide) {
    QComboBox* combo = outputSide ? comboBoxIntent : comboBoxSourceIntent;
    csICCProfileConverter*& converter = outputSide ? outConverter : srcConverter;
    int& bound = outputSide ? boundIntent_ : boundSourceIntent_;
    const int index = combo->currentIndex();
    if (prepareForIntent(*converter, index) == 0) {
        // A successful preparation can leave warnings too, and a long session of intent changes
        // must not fill the log.
        clearLog();
        bound = index;
        SettingsStore::write(outputSide ? "lastIntent" : "lastSourceIntent", index);
        return true;
    }
    // The lut of this intent cannot be used: the intent that worked stays in force, and so do the
    // results it gave.
    qDebug("prepare() failed, intent %d", index);
    warnAbout(preparationFailure(), {}, QString::fromUtf8(firstLogError().c_str()));
    printLog();
    clearLog();
    combo->setCurrentIndex(bound);
    if (prepareForIntent(*converter, bound) != 0) {
        csICCProfile*& profile = outputSide ? outProfile : srcProfile;
        delete converter;
        converter = nullptr;
        delete profile;
        profile = nullptr;
        showProfileState();
    }
    clearLog();
    return false;
}

void Tintora::intentChange() {
    if (outConverter != nullptr && applyIntent(true))
        requestSearch();
}

void Tintora::sourceIntentChange() {
    // Only a reference that is taken from the source follows it; a typed one stays.
    if (srcConverter != nullptr && applyIntent(false) && checkBoxUseSource->isChecked())
        updateReferenceFromSource();
}
