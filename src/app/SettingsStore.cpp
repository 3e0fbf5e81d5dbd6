#include "SettingsStore.h"

#include <QSettings>

namespace {

QString path(const char* key) { return QStringLiteral("/Veltrane/Tintora/") + QLatin1String(key); }

// Qt 6 stores nothing for a store without an organisation, so the store is named after the
// vendor and the product; the key paths inside it are the fixed ones.
QSettings store() { return QSettings(QSettings::UserScope, "Veltrane", "Tintora"); }

} // namespace

namespace SettingsStore {

QVariant read(const char* key, const QVariant& fallback) {
    return store().value(path(key), fallback);
}

void write(const char* key, const QVariant& value) { store().setValue(path(key), value); }

bool contains(const char* key) { return store().contains(path(key)); }

} // namespace SettingsStore
