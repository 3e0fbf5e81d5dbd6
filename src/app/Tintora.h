#pragma once

#include "SpotSearch.h"
#include "TintoraBase.h"

#include <QColor>
#include <QStringList>

#include <memory>
#include <optional>

class DisplayColour;
class csContext;
class csICCProfile;
class csICCProfileConverter;
class DiagramLAB;
struct BindingMessage;

// The main window: adds the output and source profiles with their converters, the search, the
// results, the menus and the remembered settings to the form's widget behaviour.
class Tintora : public TintoraBase {
    Q_OBJECT

public:
    explicit Tintora(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~Tintora() override;

    // The colour a difference is shown in: from light green (at most 0.1) to red (above 5).
    static QColor deltaColour(double value);

    // The search preferences and press constraints as the controls hold them.
    SearchPreferences searchPreferences() const;

    // A start without arguments: the profiles and the reference of the last session, or on the
    // very first start the bundled sample press profile; one search for all of it.
    void restoreLastSession();

signals:
    void dropOpenDocuments(const QStringList& files);
    void processDocument(const QString& path);

public slots:
    void openDocuments(const QStringList& files);
    void chooseProfile(bool tryLast);
    void chooseProfile();
    void setProfile(const QString& path);
    void deviceChange() override;
    void chooseSource(bool tryLast);
    void chooseSource();
    // Binds an RGB display profile for the swatches and remembers it; a refusal is reported and
    // keeps the one in use. An empty path goes back to the packaged sRGB.
    void setDisplayProfile(const QString& path);
    void chooseDisplayProfile();
    void setSource(const QString& path);
    void sourceChange() override;
    void restoreLastSettings();
    void restoreLastLAB();
    void setReferenceLab(double L, double a, double b);
    void setAchievedLab(double L, double a, double b);
    void findAgain() override;
    void intentChange();
    void sourceIntentChange();
    void setUseSource();
    void methodChanged();
    void setParams(QString icc, double l0, double a0, double b0);
    void rememberRefL();
    void rememberRefA();
    void rememberRefB();
    void rememberUseSource();
    void rememberDisplayAB();
    void rememberDisplayCH();
    void rememberPreserve();
    void rememberMethod();
    void rememberBlack();
    // A lock box changed: the channel is held at its field's value, or released.
    void lockChanged();
    void rememberPress();
    void rememberStrength();
    void rememberPriority();
    void rememberSrc();
    void rememberEverything();
    void about();
    void help();
    void updateDialog();
    void supportDialog();
    void appquit();

protected:
    // Every warning box of the window goes through here, so that tests can read them.
    virtual void showWarning(const QString& title, const QString& text);
    // The open-file dialog of the profile choice; an empty string when it is cancelled.
    virtual QString askOpenFileName(const QString& title, const QString& start);

    // Converts dev through the output converter and shows the colour (deviceChange()).
    void updateAchievedFromDevice();
    // Converts src through the source converter into the reference (sourceChange()).
    void updateReferenceFromSource();
    // One difference into its field: one decimal, coloured by its size.
    void showDelta(QLineEdit* lineEdit, double value);

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The menu bar spans the window, so that its corner (the display choice) stays in view.
    void resizeEvent(QResizeEvent* event) override;

    // The window owns these; each is null until a profile of its side is bound.
    csICCProfile* outProfile = nullptr;
    csICCProfileConverter* outConverter = nullptr;
    csICCProfile* srcProfile = nullptr;
    csICCProfileConverter* srcConverter = nullptr;

    // The colour of the best device values found.
    double achievedL = 0.0;
    double achievedA = 0.0;
    double achievedB = 0.0;

    // Illuminant, observer and viewing conditions for the colour appearance computations.
    csContext* context = nullptr;

    // Shows the banner image at path across the top of the window; a missing or unreadable file
    // leaves the banner row empty.
    void showBanner(const QString& path);

private:
    void buildMenus();
    // The results area asks for an output profile while none is bound.
    void showProfileState();
    // Starts no taller than the screen has room for.
    void fitToScreen();
    void makeConnections();
    // setProfile and setSource: read, check and prepare; then bind, set the mode and name and
    // apply the intent. A refusal is reported and changes nothing.
    void bindProfile(const QString& path, bool outputSide);
    // Prepares the converter of a side for its combo's intent and remembers it. When that intent
    // cannot be prepared, says so and goes back to the last intent that could; false then.
    bool applyIntent(bool outputSide);
    void warnAbout(const BindingMessage& message, const QString& argument,
                   const QString& reason = {});
    void frameDiagram(DiagramLAB* diagram, bool chromaLightness, double range);
    void fillDiagram(DiagramLAB* diagram, bool chromaLightness, double L, double a, double b,
                     double total);

    // Shows the locked device fields as locked (read-only, greyed) and the black slider as
    // enabled only while it decides black.
    void showLocks();
    // Raises a total ink limit that is below what the locks and a fixed black take.
    void keepInkLimit();
    // The swatches of the reference and the achieved colour on the paper, through the display.
    void showSwatches();
    // With a tolerance set, colours the total field by whether the shown total passes it and
    // says so beside it; without one, the total keeps the colour of its size.
    void showTolerance();

    // The search's fixed storage, reused by every search of this window.
    SearchWorkspace search_;
    // The value each device channel is locked at (its field's units); negative, not locked.
    double locks_[4] = {-1, -1, -1, -1};
    // The combo index each side's converter is prepared for.
    int boundIntent_ = 0;
    int boundSourceIntent_ = 0;
    std::unique_ptr<DisplayColour> display_;
    // The total of the achieved colour, as the total field shows it; none before the first.
    std::optional<double> shownTotal_;
};
