// The window's profile binding: choosing, reading, checking and binding the output and source
// profiles, and preparing their converters for the chosen rendering intents.

#include "ConverterIntent.h"
#include "ProfileChecks.h"
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
#include <cstdio>

namespace {

// The converter of a side set to the intent of its combo-box index and prepared again; a failure
// is written to the debug output with the log, and the converter stays as it is.
void applyIntent(csICCProfileConverter& converter, int index) {
    const ConverterIntent mapped = converterIntentForIndex(index);
    converter.setWhiteMode(mapped.whiteMode);
    converter.setIntent(mapped.intent);
    if (converter.prepare() != 0) {
        qDebug("prepare() failed, intent %d", index);
        printLog();
    }
    // Cleared either way: a successful preparation can leave warnings too, and a long session of
    // intent changes must not fill the log.
    clearLog();
}

} // namespace

void Tintora::showWarning(const QString& title, const QString& text) {
    QMessageBox::warning(this, title, text);
}

QString Tintora::askOpenFileName(const QString& title, const QString& start) {
    return QFileDialog::getOpenFileName(this, title, start);
}

void Tintora::warnAbout(const BindingMessage& message, const QString& argument) {
    QString text = tr(message.text);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(argument);
    showWarning(tr(message.title), text);
}

std::unique_ptr<csICCProfile> Tintora::readProfile(const QString& path, bool outputSide) {
    auto profile = std::make_unique<csICCProfile>();
    std::FILE* file = std::fopen(path.toUtf8().constData(), "rb");
    if (file == nullptr) {
        warnAbout(openFailure({}), path);
        clearLog();
        return nullptr;
    }
    const int read = profile->setProfile(file);
    std::fclose(file);
    if (read != 0) {
        warnAbout(readFailure({}), path);
        printLog();
        clearLog();
        return nullptr;
    }
    if (const auto refusal = profileRefusal(*profile, outputSide)) {
        warnAbout(*refusal, QString::fromLatin1(refusal->argument.c_str()));
        clearLog();
        return nullptr;
    }
    return profile;
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
    if (candidate.isEmpty())
        return;
    // Remembered before it is opened, so that a file that fails is offered again next time.
    SettingsStore::write("lastProfilePath", candidate);
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
    if (candidate.isEmpty())
        return;
    SettingsStore::write("lastSourcePath", candidate);
    setSource(candidate);
}

void Tintora::chooseSource() { chooseSource(false); }

void Tintora::setProfile(const QString& path) { bindProfile(path, true); }

void Tintora::setSource(const QString& path) { bindProfile(path, false); }

void Tintora::bindProfile(const QString& path, bool outputSide) {
    std::unique_ptr<csICCProfile> read = readProfile(path, outputSide);
    if (!read)
        return;

    csICCProfile*& profile = outputSide ? outProfile : srcProfile;
    csICCProfileConverter*& bound = outputSide ? outConverter : srcConverter;
    delete profile;
    profile = read.release();
    const Signature space = profile->header().colorSpace();
    if (space == Signature("CMYK"))
        outputSide ? setModeCMYK() : setSourceModeCMYK();
    else if (space == Signature("CMY "))
        outputSide ? setModeCMY() : setSourceModeCMY();
    else
        outputSide ? setModeRGB() : setSourceModeRGB();
    (outputSide ? lineEditProfile : lineEditSource)->setText(QFileInfo(path).fileName());

    const QComboBox* intent = outputSide ? comboBoxIntent : comboBoxSourceIntent;
    auto converter = std::make_unique<csICCProfileConverter>(
        profile, 0, static_cast<unsigned>(intent->currentIndex()), 0);
    if (converter->prepare() != 0) {
        warnAbout(preparationFailure(), {});
        printLog();
        clearLog();
        // The previous converter worked on the profile just replaced: both go.
        delete bound;
        bound = nullptr;
        delete profile;
        profile = nullptr;
        return;
    }
    delete bound;
    bound = converter.release();
    clearLog();
    outputSide ? intentChange() : sourceIntentChange();

    const double top = space == Signature("RGB ") ? 255.0 : 100.0;
    const auto fields = outputSide ? std::array{lineEditDev1, lineEditDev2, lineEditDev3}
                                   : std::array{lineEditSrc1, lineEditSrc2, lineEditSrc3};
    for (SpinLineEdit* field : fields)
        field->maximum = top;
}

void Tintora::intentChange() {
    if (outConverter == nullptr)
        return;
    const int index = comboBoxIntent->currentIndex();
    SettingsStore::write("lastIntent", index);
    applyIntent(*outConverter, index);
    findAgain();
}

void Tintora::sourceIntentChange() {
    if (srcConverter == nullptr)
        return;
    const int index = comboBoxSourceIntent->currentIndex();
    SettingsStore::write("lastSourceIntent", index);
    applyIntent(*srcConverter, index);
    // The check box being enabled, not checked, is what the window has always tested here; the
    // start-up sequence restores the remembered reference afterwards for that reason.
    if (checkBoxUseSource->isEnabled())
        updateReferenceFromSource();
}
