#pragma once

#include "Tintora.h"

#include <QApplication>
#include <QFocusEvent>
#include <QSettings>

// The window with the state the tests read made public.
class OpenTintora : public Tintora {
public:
    using Tintora::achievedA;
    using Tintora::achievedB;
    using Tintora::achievedL;
    using Tintora::context;
    using Tintora::outConverter;
    using Tintora::outProfile;
    using Tintora::srcConverter;
    using Tintora::srcProfile;
    using TintoraBase::dev;
    using TintoraBase::refA;
    using TintoraBase::refB;
    using TintoraBase::refC;
    using TintoraBase::refH;
    using TintoraBase::refL;
    using TintoraBase::src;
};

// Empties the remembered settings, so that every window starts as on a first run.
struct EmptySettingsStore {
    EmptySettingsStore() { QSettings(QSettings::UserScope, "Veltrane", "Tintora").clear(); }
};

// Takes the focus from a field, as the Tab key does.
inline void leave(QWidget* field) {
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &focusOut);
}
