#pragma once

#include <QSettings>
#include <QString>

#include <optional>

namespace quantaro {

// What the program keeps for the user between runs in the user's
// configuration folder: window places and the choices that are not part of
// the three-option settings file beside the documents. Every use of that
// store goes through here.
//
// The store's file, Quantaro.conf, is read and written only while it is a
// regular file (or a link to one) or missing. Anything else would do harm:
// opening a FIFO waits for a writer that never comes, and writing replaces a
// device, or what a link leads to, by a regular file. Then the store
// returned reads nothing and writes nowhere, so that the program goes on
// with its defaults, and UserSettingsProblem() says why.
QSettings UserSettings();

// The store's file: Quantaro/Quantaro.conf in the user's configuration folder.
QString UserSettingsPath();

// Why the store cannot be read, in a sentence for the user; nothing while
// it can.
std::optional<QString> UserSettingsProblem();

// A yes-or-no choice kept under key; fallback until one was kept.
bool UserChoice(const QString& key, bool fallback);
void SetUserChoice(const QString& key, bool value);

}  // namespace quantaro
