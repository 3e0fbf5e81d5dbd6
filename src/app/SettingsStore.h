#pragma once

#include <QVariant>

// The remembered settings: every key lives under "/Veltrane/Tintora/" in the user's settings
// store. Each read or write opens the store, does its one operation and closes it again.
namespace SettingsStore {

// The value stored under the key, or the fallback when there is none.
QVariant read(const char* key, const QVariant& fallback);
void write(const char* key, const QVariant& value);
// Whether anything is stored under the key.
bool contains(const char* key);

} // namespace SettingsStore
