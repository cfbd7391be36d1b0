#pragma once

#include <QSettings>
#include <QString>

namespace quantaro {

// What the program keeps for the user between runs in the user's
// configuration folder: window places and the choices that are not part of
// the three-option settings file beside the documents.
QSettings UserSettings();

// A yes-or-no choice kept under key; fallback until one was kept.
bool UserChoice(const QString& key, bool fallback);
void SetUserChoice(const QString& key, bool value);

}  // namespace quantaro
