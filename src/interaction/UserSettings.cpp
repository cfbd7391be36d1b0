#include "interaction/UserSettings.h"

namespace quantaro {

QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quantaro"),
                     QStringLiteral("Quantaro"));
}

bool UserChoice(const QString& key, bool fallback) {
    return UserSettings().value(key, fallback).toBool();
}

void SetUserChoice(const QString& key, bool value) {
    UserSettings().setValue(key, value);
}

}  // namespace quantaro
