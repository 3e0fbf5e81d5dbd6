#pragma once

#include "ui_TintoraBase.h"

#include <QDialog>

#include <array>

// The main window's form and its widget-level behaviour: the reference colour as Lab and LCh kept
// in step, the device and source value chains, the CMYK/CMY/RGB modes, and which controls are
// shown. The search and the colour conversions behind findAgain(), deviceChange() and
// sourceChange() are supplied by the derived window, so this class is abstract.
class TintoraBase : public QDialog, public Ui_TintoraBase {
    Q_OBJECT

public:
    explicit TintoraBase(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

public slots:
    virtual void setModeCMYK();
    virtual void setModeCMY();
    virtual void setModeRGB();
    virtual void setSourceModeCMYK();
    virtual void setSourceModeCMY();
    virtual void setSourceModeRGB();
    virtual void preserveSelected();
    virtual void updateRefABfromCH();
    virtual void updateRefCHfromAB();
    virtual void displayAB();
    virtual void displayCH();
    virtual void resetResults();
    virtual void findAgain() = 0;
    virtual void deviceChange() = 0;
    virtual void updateRefL();
    virtual void updateRefA();
    virtual void updateRefB();
    virtual void updateRefC();
    virtual void updateRefH();
    virtual void updateDev1();
    virtual void updateDev2();
    virtual void updateDev3();
    virtual void updateDev4();
    virtual void updateUIFromDev();
    virtual void updateSrc1();
    virtual void updateSrc2();
    virtual void updateSrc3();
    virtual void updateSrc4();
    virtual void updateUIFromSrc();
    virtual void sourceChange() = 0;

protected slots:
    virtual void languageChange();
    // Runs the search now; while one action changes several things (a SearchBatch is held), once
    // at the end of it. Every trigger of a search goes through here.
    void requestSearch();
    // A field left with text that is not (yet) a number shows its value again.
    void restoreUnreadableFields();

protected:
    // Held while one user action changes several things (a profile, the reference, the intent):
    // the searches they ask for run once, after the outermost batch, on the state as it then is.
    class SearchBatch {
    public:
        explicit SearchBatch(TintoraBase& window);
        ~SearchBatch();
        SearchBatch(const SearchBatch&) = delete;
        SearchBatch& operator=(const SearchBatch&) = delete;

    private:
        TintoraBase& window_;
    };

    // Escape would close the dialog, and with it the program.
    void keyPressEvent(QKeyEvent* event) override;
    // A change of the application's language re-applies the texts.
    void changeEvent(QEvent* event) override;
    // The value field holds now, when its text is a complete number in its range that is not just
    // the formatted current value; otherwise nothing (so that leaving a field whose text did not
    // change changes nothing).
    static bool readChangedNumber(const QLineEdit* field, double current, int decimals,
                                  double* value);
    // The typing range of the device or source fields: 0 to 255 for RGB, 0 to 100 otherwise.
    static void setFieldTop(std::initializer_list<SpinLineEdit*> fields, double top);

    // Writes value into field with the given number of decimals, but only when the text differs:
    // every field's text-changed signal is wired to a slot, and an unchanged text must not start
    // those chains again.
    static void setNumberText(QLineEdit* field, double value, int decimals);

    // L*, a*, b*, C*, h.
    std::array<SpinLineEdit*, 5> referenceFields() const;
    std::array<SpinLineEdit*, 4> deviceFields() const;
    std::array<SpinLineEdit*, 4> sourceFields() const;

    // The reference colour, as L*a*b* and as chroma and hue angle in degrees.
    double refL = 0.0;
    double refA = 0.0;
    double refB = 0.0;
    double refC = 0.0;
    double refH = 0.0;
    // Device values of the output profile: percent for CMYK and CMY, 0 to 255 for RGB. They start
    // as NaN, which no typed number equals, so the first typed value always converts.
    std::array<double, 4> dev;
    // Device values for the source profile, in the same units.
    std::array<double, 4> src{0.0, 0.0, 0.0, 0.0};

private:
    int batchDepth_ = 0;
    bool searchPending_ = false;

    // Reads field index as a number into values[index]; true when the stored number changed.
    static bool takeChangedValue(const std::array<SpinLineEdit*, 4>& fields,
                                 std::array<double, 4>& values, int index);
    static void showValues(const std::array<SpinLineEdit*, 4>& fields,
                           const std::array<double, 4>& values, int decimals);
    bool referenceChanged(int index);
    void updateDev(int index);
    void updateSrc(int index);
    void setDeviceLabels(const char* first, const char* second, const char* third, bool cmyk);
    void setSourceLabels(const char* first, const char* second, const char* third, bool cmyk);
};
